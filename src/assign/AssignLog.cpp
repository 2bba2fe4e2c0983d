#include "assign/AssignLog.h"

#include "core/AppState.h"
#include "core/DatabaseConnection.h"
#include "core/Sql.h"

#include <QDir>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QSqlQuery>
#include <QStringList>
#include <QSysInfo>

#include <cerrno>
#include <optional>

#include <unistd.h>

namespace tarvo {

namespace {

QString logPathOf(const QString& programFolder)
{
    return QDir::cleanPath(QDir(programFolder).absoluteFilePath(AssignLogFileName));
}

// Writes bytes after the end of a file open for reading and writing, through to the disk. What is
// written stays, also when the rest cannot be.
DbOutcome appendToEnd(QFile& file, const QByteArray& bytes)
{
    if (!file.seek(file.size()))
        return DbOutcome::failure(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.error() == QFileDevice::NoError
                                  ? QStringLiteral("The log could not take the whole block.")
                                  : file.errorString();
        return DbOutcome::failure(error);
    }
    if (::fsync(file.handle()) != 0)
        return DbOutcome::failure(qt_error_string(errno));
    return DbOutcome::success();
}

// The machine's own identity, set when its system was installed; its host name where it has none.
QString machineIdentity()
{
    const QByteArray id = QSysInfo::machineUniqueId();
    return id.isEmpty() ? QSysInfo::machineHostName() : QString::fromLatin1(id);
}

struct PendingBlock
{
    qint64 id = 0;
    QByteArray bytes;
    std::optional<qint64> offset; // where the block begins in the log, once noted
};

// The first pending block of a workstation's log, under its name or its former one, in the order saved.
DbResult<std::optional<PendingBlock>> firstPending(const QSqlDatabase& db, const QString& workstation,
                                                   const QString& formerName, const QString& logPath)
{
    auto query = runSql(db,
                        QStringLiteral("SELECT Id, Block, Offset FROM AssignLogPending WHERE Workstation IN "
                                       "(?, ?) AND LogPath = ? ORDER BY Id LIMIT 1"),
                        {workstation, formerName, logPath});
    if (!query)
        return query.failure();
    if (!query->next())
        return std::optional<PendingBlock>();
    PendingBlock block{query->value(0).toLongLong(), query->value(1).toByteArray(), std::nullopt};
    if (!query->value(2).isNull())
        block.offset = query->value(2).toLongLong();
    return std::optional<PendingBlock>(std::move(block));
}

// How much of a block the file holds from offset on: all of it, or a beginning of it that the file ends
// with; -1 when the bytes there are not the block's (or the file is shorter than offset).
qint64 bytesInPlace(QFile& file, qint64 offset, const QByteArray& block)
{
    const qint64 size = file.size();
    if (offset > size || !file.seek(offset))
        return -1;
    const qint64 available = qMin(size - offset, static_cast<qint64>(block.size()));
    const QByteArray found = file.read(available);
    if (found.size() != available || !block.startsWith(found))
        return -1;
    return available;
}

} // namespace

QString AssignLogBlock(const IpRecord& record, const QDateTime& savedAt)
{
    const QString rule(53, QLatin1Char('-'));
    // The continuation lines of the postal address line up under the text after "Address\t\t: ".
    const QString indent = QStringLiteral("       \t\t  ");
    QStringList lines{
        QStringLiteral("Date Assign : ") + savedAt.toString(QStringLiteral("dd/MM/yyyy (HH:mm:ss)")),
        rule,
        QStringLiteral("IP Address\t: ") + record.IP_Address,
        QStringLiteral("Hostname\t: ") + record.Name,
        QStringLiteral("Equipment\t: ") + record.Type,
        QStringLiteral("Username\t: ") + record.Username,
    };
    if (!record.UnitDivision.isEmpty()) {
        lines << QStringLiteral("Unit/Division\t: ") + record.UnitDivision
              << QStringLiteral("Address\t\t: ") + record.Floor + QStringLiteral(", ") + record.Building
              << indent + record.Roadname << indent + record.Postcode + QStringLiteral(", ") + record.City
              << indent + record.State;
    }
    lines << rule;
    return lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n");
}

DbOutcome WriteAssignLog(const QString& programFolder, const QString& block)
{
    QFile file(logPathOf(programFolder));
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return DbOutcome::failure(file.errorString());
    const ExclusiveFileLock lock(file);
    if (!lock.acquired())
        return DbOutcome::failure(lock.error());
    return appendToEnd(file, block.toUtf8());
}

PendingAssignLog::PendingAssignLog(const DatabaseConnection& database, const QString& programFolder)
    : PendingAssignLog(database, programFolder, thisWorkstation(), machineIdentity())
{}

PendingAssignLog::PendingAssignLog(const DatabaseConnection& database, const QString& programFolder,
                                   const QString& workstation, const QString& formerName)
    : m_database(database), m_workstation(workstation),
      m_formerName(formerName.isEmpty() ? workstation : formerName), m_logPath(logPathOf(programFolder))
{}

QString PendingAssignLog::thisWorkstation()
{
    // The same machine always gets the same name, and the name does not give its identity away.
    static const QByteArray Key("Tarvo assignment log workstation");
    return QString::fromLatin1(
        QMessageAuthenticationCode::hash(machineIdentity().toUtf8(), Key, QCryptographicHash::Sha256)
            .toHex());
}

PendingAssignLog::Turn::Turn(const PendingAssignLog& log) : m_log(log), m_file(log.m_logPath)
{
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        m_ready = DbOutcome::failure(m_file.errorString());
        return;
    }
    m_lock.emplace(m_file);
    if (!m_lock->acquired()) {
        m_ready = DbOutcome::failure(m_lock->error());
        m_lock.reset();
        return;
    }
    m_ready = appendAll();
}

DbOutcome PendingAssignLog::Turn::add(const QSqlDatabase& db, const QString& block) const
{
    // Without the lock, or behind a block still pending, the place is not known yet.
    const QVariant offset = m_ready ? QVariant(m_file.size()) : QVariant(QMetaType::fromType<qint64>());
    return execSql(db,
                   QStringLiteral("INSERT INTO AssignLogPending (Workstation, LogPath, Block, Offset) "
                                  "VALUES (?, ?, ?, ?)"),
                   {m_log.m_workstation, m_log.m_logPath, block.toUtf8(), offset});
}

DbOutcome PendingAssignLog::Turn::append()
{
    if (!m_ready)
        return m_ready;
    return appendAll();
}

DbOutcome PendingAssignLog::Turn::appendAll()
{
    const QSqlDatabase db = m_log.m_database.handle();
    for (;;) {
        auto pending = firstPending(db, m_log.m_workstation, m_log.m_formerName, m_log.m_logPath);
        if (!pending)
            return pending.outcome();
        if (!*pending)
            return DbOutcome::success();
        const PendingBlock& block = **pending;
        qint64 inPlace = block.offset ? bytesInPlace(m_file, *block.offset, block.bytes) : -1;
        if (inPlace < 0) {
            // Not begun, or the log was cut since: the block goes at the end, and its row says where
            // before a byte of it is written.
            if (auto noted =
                    execSql(db, QStringLiteral("UPDATE AssignLogPending SET Offset = ? WHERE Id = ?"),
                            {m_file.size(), block.id});
                !noted)
                return noted;
            inPlace = 0;
        }
        if (inPlace < block.bytes.size()) {
            if (auto appended = appendToEnd(m_file, block.bytes.mid(inPlace)); !appended)
                return appended;
        }
        if (auto removed =
                execSql(db, QStringLiteral("DELETE FROM AssignLogPending WHERE Id = ?"), {block.id});
            !removed)
            return removed;
    }
}

DbOutcome PendingAssignLog::appendPending() const
{
    // With nothing pending the log is not touched: a missing log stays missing. A block that another
    // save of this workstation adds meanwhile is appended by that save's own turn.
    auto pending = firstPending(m_database.handle(), m_workstation, m_formerName, m_logPath);
    if (!pending)
        return pending.outcome();
    if (!*pending)
        return DbOutcome::success();
    const Turn turn(*this);
    return turn.ready();
}

} // namespace tarvo
