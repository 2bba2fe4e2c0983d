#include "core/DatabaseService.h"

#include "core/AppState.h"
#include "core/BackgroundWork.h"
#include "core/DatabaseFiles.h"
#include "core/ProgramFolder.h"
#include "core/Sql.h"
#include "core/WidgetParts.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QMetaObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QWidget>

#include <atomic>
#include <memory>
#include <utility>

namespace tarvo {

DatabaseHold::DatabaseHold(DatabaseService& service, QObject* owner, DatabaseHolderCalls calls)
    : QObject(owner), m_service(&service), m_calls(std::move(calls))
{
    service.attach(this);
}

DatabaseHold::~DatabaseHold()
{
    if (m_service)
        m_service->detach(this);
}

void DatabaseHold::endHoldsIn(QObject* closedWindow)
{
    if (!closedWindow)
        return;
    for (DatabaseHold* hold : closedWindow->findChildren<DatabaseHold*>()) {
        if (hold->m_service)
            hold->m_service->detach(hold);
        hold->m_service = nullptr;
    }
}

QString DatabaseHold::ownerCaption() const
{
    if (const auto* window = qobject_cast<const QWidget*>(parent()))
        return window->windowTitle();
    return parent() ? parent()->objectName() : QString();
}

PreparedDatabase::~PreparedDatabase()
{
    closeDatabaseFile(m_connectionName);
}

PreparedDatabase::PreparedDatabase(PreparedDatabase&& other) noexcept
    : m_path(std::move(other.m_path)), m_connectionName(std::exchange(other.m_connectionName, QString())),
      m_userFound(other.m_userFound)
{}

DatabaseService::DatabaseService(ProgramState& program) : m_program(program) {}

DatabaseService::~DatabaseService()
{
    for (DatabaseHold* hold : std::as_const(m_holds))
        hold->m_service = nullptr;
    m_connection.close();
}

void DatabaseService::attach(DatabaseHold* hold)
{
    m_holds.append(hold);
}

void DatabaseService::detach(DatabaseHold* hold)
{
    m_holds.removeAll(hold);
}

QString DatabaseService::workInProgress() const
{
    if (!m_operation.isEmpty())
        return m_operation;
    for (const DatabaseHold* hold : m_holds) {
        if (hold->m_calls.busyReason) {
            if (QString reason = hold->m_calls.busyReason(); !reason.isEmpty())
                return reason;
        }
    }
    return {};
}

QString DatabaseService::busyReason() const
{
    if (QString reason = workInProgress(); !reason.isEmpty())
        return reason;
    if (m_editsMayBeDropped)
        return {};
    if (const QStringList edits = unsavedEdits(); !edits.isEmpty())
        return QStringLiteral("Save or cancel the change in %1 first.").arg(edits.first());
    return {};
}

QStringList DatabaseService::unsavedEdits() const
{
    QStringList captions;
    for (const DatabaseHold* hold : m_holds) {
        if (hold->m_calls.unsavedEdit && hold->m_calls.unsavedEdit()) {
            if (const QString caption = hold->ownerCaption(); !captions.contains(caption))
                captions.append(caption);
        }
    }
    return captions;
}

void DatabaseService::discardEdits()
{
    // A copy: dropping an edit may close or open another window.
    const QList<DatabaseHold*> holds = m_holds;
    for (DatabaseHold* hold : holds) {
        if (m_holds.contains(hold) && hold->m_calls.unsavedEdit && hold->m_calls.discardEdit &&
            hold->m_calls.unsavedEdit())
            hold->m_calls.discardEdit();
    }
}

void DatabaseService::releaseAll()
{
    // A copy: a holder may go away while it lets go.
    const QList<DatabaseHold*> holds = m_holds;
    for (DatabaseHold* hold : holds) {
        if (m_holds.contains(hold) && hold->m_calls.release)
            hold->m_calls.release();
    }
}

void DatabaseService::finishChange(bool changed)
{
    if (changed && m_editsMayBeDropped)
        discardEdits();
    const QList<DatabaseHold*> holds = m_holds;
    for (DatabaseHold* hold : holds) {
        if (!m_holds.contains(hold) || !hold->m_calls.reload)
            continue;
        if (changed || !hold->m_calls.unsavedEdit || !hold->m_calls.unsavedEdit())
            hold->m_calls.reload();
    }
    if (changed)
        Q_EMIT this->changed();
}

DbResult<bool> DatabaseService::inspectFile(const QString& path, const QString& userId)
{
    if (!m_operation.isEmpty())
        return DbOutcome::failure(m_operation);
    return runOperation(QStringLiteral("The chosen Tarvo database is being checked."),
                        [path, userId] { return inspectDatabaseFile(path, userId); });
}

DbResult<bool> DatabaseService::prepareFile(const QString& path, const QString& userId)
{
    // Refused before the file is read: the operation may hold its lock.
    if (!m_operation.isEmpty())
        return DbOutcome::failure(m_operation);
    // The work tells from its thread when an upgrade begins; upgradeStarted() is emitted here, by this
    // thread's events, which keep flowing meanwhile. A notice that comes only after the work ended is
    // dropped.
    const auto upgrading = std::make_shared<std::atomic_bool>(false);
    const QPointer<DatabaseService> self(this);
    const auto upgradeStarts = [self, upgrading] {
        upgrading->store(true);
        QMetaObject::invokeMethod(
            self,
            [self, upgrading] {
                if (self && upgrading->load())
                    Q_EMIT self->upgradeStarted();
            },
            Qt::QueuedConnection);
    };
    auto prepared = runOperation(QStringLiteral("The Tarvo database is being brought up to date."),
                                 [path, userId, upgradeStarts, wait = busyTimeout()] {
                                     return prepareDatabaseFile(path, userId, upgradeStarts, wait);
                                 });
    if (upgrading->exchange(false))
        Q_EMIT upgradeEnded();
    return prepared;
}

DbResult<PreparedDatabase> DatabaseService::prepareSwitch(const QString& path, const QString& userId)
{
    auto userFound = prepareFile(path, userId);
    if (!userFound)
        return userFound.failure();
    // The connection belongs to this thread and is opened here. The file was just checked and brought up
    // to date, so that reads little; but another workstation may lock it just then, between any two of
    // the open's reads, and no wait for a lock may hold up this thread's windows. So the open here never
    // waits: when it fails, the same open runs off this thread, waiting for locks as long as the live
    // connection would, and its failure is the answer; once it got through, the open here is tried again.
    const int wait = busyTimeout();
    const QDeadlineTimer deadline(wait);
    auto opened = openDatabaseFile(path, 0, nullptr);
    while (!opened && !deadline.hasExpired()) {
        const DbOutcome waited = runOperation(QStringLiteral("The chosen Tarvo database is being opened."),
                                              [path, remaining = int(deadline.remainingTime())] {
                                                  auto tried = openDatabaseFile(path, remaining, nullptr);
                                                  if (tried)
                                                      closeDatabaseFile(*tried);
                                                  return tried.outcome();
                                              });
        if (!waited) {
            opened = waited.failure();
            break;
        }
        opened = openDatabaseFile(path, 0, nullptr);
    }
    // What was typed while it opened answers nothing that follows, as after the work of the operations.
    dropPendingInput();
    if (!opened)
        return opened.failure();
    if (auto waits = execSql(QSqlDatabase::database(*opened, false),
                             QStringLiteral("PRAGMA busy_timeout = %1").arg(wait));
        !waits) {
        closeDatabaseFile(*opened);
        return waits.failure();
    }
    PreparedDatabase prepared;
    prepared.m_path = path;
    prepared.m_connectionName = *opened;
    prepared.m_userFound = *userFound;
    return prepared;
}

void DatabaseService::adopt(PreparedDatabase prepared)
{
    releaseAll();
    m_connection.adopt(std::exchange(prepared.m_connectionName, QString()), prepared.m_path);
    m_program.DatabasePath = prepared.m_path;
    m_program.DatabaseFolder = folderOf(prepared.m_path);
    finishChange(true);
}

DbResult<bool> DatabaseService::switchTo(const QString& path, const QString& userId)
{
    auto prepared = prepareSwitch(path, userId);
    if (!prepared)
        return prepared.failure();
    if (const QString reason = busyReason(); !reason.isEmpty())
        return DbOutcome::failure(reason);
    const bool userFound = prepared->userFound();
    adopt(std::move(*prepared));
    return userFound;
}

int DatabaseService::busyTimeout() const
{
    auto timeout = querySingleValue(handle(), QStringLiteral("PRAGMA busy_timeout"));
    return timeout ? timeout->toInt() : DefaultBusyTimeoutMs;
}

DbOutcome DatabaseService::replaceWith(const QString& source)
{
    const QString live = m_connection.path();
    if (live.isEmpty())
        return DbOutcome::failure(QStringLiteral("No database is open."));
    if (isSameFile(source, live))
        return DbOutcome::failure(
            QStringLiteral("\"%1\" is the Tarvo database in use; it cannot replace itself.").arg(source));
    if (const QString reason = busyReason(); !reason.isEmpty())
        return DbOutcome::failure(reason);
    // What is no Tarvo database at all is refused before the holders let go; its soundness is checked
    // while it is copied, and the copy keeps only a sound one.
    if (auto usable = DatabaseConnection::checkFile(source); !usable)
        return usable;
    // The copy goes into the live file in place, on a connection of the operation's own, while this
    // program's connection stays open and idle: the holders drop their queries so that none keeps a read
    // lock that the copy would wait for.
    releaseAll();
    DbOutcome restored = runOperation(
        QStringLiteral("The Tarvo database is being restored."),
        [source, live, wait = busyTimeout()] { return restoreDatabaseFile(source, live, wait); });
    finishChange(restored.ok());
    return restored;
}

DbOutcome DatabaseService::compact(bool* inUse)
{
    if (inUse)
        *inUse = false;
    if (!isOpen())
        return DbOutcome::failure(QStringLiteral("No database is open."));
    if (const QString reason = busyReason(); !reason.isEmpty()) {
        // A window that cannot let go is using the database as much as another workstation is.
        if (inUse)
            *inUse = true;
        return DbOutcome::failure(reason);
    }
    releaseAll();
    bool held = false;
    DbOutcome compacted = runOperation(QStringLiteral("The Tarvo database is being compacted."),
                                       [path = m_connection.path(), wait = busyTimeout(), &held] {
                                           return compactDatabaseFile(path, wait, &held);
                                       });
    if (inUse)
        *inUse = held;
    finishChange(compacted.ok());
    return compacted;
}

DbOutcome DatabaseService::copyTo(const QString& target) const
{
    if (m_connection.path().isEmpty())
        return DbOutcome::failure(QStringLiteral("No database is open."));
    if (!m_operation.isEmpty())
        return DbOutcome::failure(m_operation);
    return runOperation(QStringLiteral("The Tarvo database is being copied."),
                        [source = m_connection.path(), target] { return copyDatabaseFile(source, target); });
}

void DatabaseService::close()
{
    releaseAll();
    m_connection.close();
}

} // namespace tarvo
