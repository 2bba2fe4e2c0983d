#include "core/DatabaseService.h"

#include "core/AppState.h"
#include "core/DatabaseFiles.h"
#include "core/ProgramFolder.h"
#include "core/ReplacingFile.h"
#include "core/Sql.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QWidget>

namespace tarvo {

namespace {

// SQLite's result codes for a database that another connection holds.
bool isBusyError(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6");
}

} // namespace

DbOutcome verifyDatabaseFile(const QString& path)
{
    auto opened = openDatabaseFile(path);
    if (!opened)
        return opened.outcome();
    QString problem;
    {
        const QSqlDatabase db = QSqlDatabase::database(*opened, false);
        auto check = runSql(db, QStringLiteral("PRAGMA quick_check"));
        if (!check)
            problem = check.error();
        else if (!check->next() || check->value(0).toString() != QLatin1String("ok"))
            problem = QStringLiteral("it is damaged (%1)").arg(check->value(0).toString());
    }
    closeDatabaseFile(*opened);
    if (problem.isEmpty())
        return DbOutcome::success();
    return DbOutcome::failure(
        QStringLiteral("The Tarvo database \"%1\" cannot be used: %2.").arg(path, problem));
}

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

void DatabaseService::reloadAll()
{
    const QList<DatabaseHold*> holds = m_holds;
    for (DatabaseHold* hold : holds) {
        if (m_holds.contains(hold) && hold->m_calls.reload)
            hold->m_calls.reload();
    }
    Q_EMIT changed();
}

DbOutcome DatabaseService::reopenLive(const QString& path)
{
    if (auto opened = m_connection.open(path); !opened)
        return opened;
    m_program.DatabasePath = path;
    m_program.DatabaseFolder = folderOf(path);
    return DbOutcome::success();
}

DbResult<bool> DatabaseService::switchTo(const QString& path, const QString& userId)
{
    auto prepared = prepareDatabaseFile(path, userId);
    if (!prepared)
        return prepared;
    if (const QString reason = busyReason(); !reason.isEmpty())
        return DbOutcome::failure(reason);
    releaseAll();
    if (auto opened = reopenLive(path); !opened) {
        reloadAll();
        return opened.failure();
    }
    reloadAll();
    return prepared;
}

DbOutcome DatabaseService::replaceWith(const QString& source)
{
    const QString live = m_connection.path();
    if (live.isEmpty())
        return DbOutcome::failure(QStringLiteral("No database is open."));
    if (isSameFile(source, live))
        return DbOutcome::failure(
            QStringLiteral("\"%1\" is the Tarvo database in use; it cannot replace itself.").arg(source));
    if (auto sound = verifyDatabaseFile(source); !sound)
        return sound;
    if (const QString reason = busyReason(); !reason.isEmpty())
        return DbOutcome::failure(reason);

    // A consistent copy of the live database, taken while it is still open, brings it back should the
    // replacement not open. It is a temporary of its own that goes when this operation ends.
    ReplacingFile safety(live);
    if (!safety.open())
        return DbOutcome::failure(safety.errorString());
    safety.close();
    if (auto saved = execSql(handle(), QStringLiteral("VACUUM INTO ?"), {safety.temporaryPath()}); !saved)
        return saved;

    // The copy of the source is brought up to date beside the live file; only then do the holders let
    // go and the connection close, and the copy replaces the live file in one rename.
    bool closed = false;
    DbOutcome replaced = copyDatabaseFile(source, live, [this, &closed](const QString& staged) {
        if (auto prepared = prepareDatabaseFile(staged); !prepared)
            return prepared.outcome();
        releaseAll();
        m_connection.close();
        closed = true;
        return DbOutcome::success();
    });
    if (!closed)
        return replaced;
    DbOutcome reopened = reopenLive(live);
    if (replaced && !reopened) {
        // The new file is in place but does not open: the safety copy takes its place again.
        if (safety.commit())
            reopened = reopenLive(live);
        replaced = DbOutcome::failure(QStringLiteral("The restored database could not be opened; the "
                                                     "database in use was put back."));
    }
    reloadAll();
    if (!replaced)
        return replaced;
    return reopened;
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
    QString failure;
    {
        QSqlQuery vacuum(handle());
        if (!vacuum.exec(QStringLiteral("VACUUM"))) {
            failure = vacuum.lastError().text().trimmed();
            if (inUse)
                *inUse = isBusyError(vacuum.lastError());
        }
    }
    reloadAll();
    if (failure.isEmpty())
        return DbOutcome::success();
    return DbOutcome::failure(failure);
}

DbOutcome DatabaseService::copyTo(const QString& target) const
{
    if (m_connection.path().isEmpty())
        return DbOutcome::failure(QStringLiteral("No database is open."));
    return copyDatabaseFile(m_connection.path(), target);
}

void DatabaseService::close()
{
    releaseAll();
    m_connection.close();
}

} // namespace tarvo
