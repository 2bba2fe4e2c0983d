#pragma once

#include "assign/IpRecord.h"
#include "core/DbResult.h"
#include "core/FileLock.h"

#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace tarvo {

class DatabaseConnection;

// The block that a saved assignment appends to AssignLog.txt: the date and time of the save, a line of
// 53 hyphens, the address, host name, equipment and user name, then, when a unit or division was
// chosen, the unit and its postal address on four lines, and 53 hyphens again. Every line ends in
// CR LF; the next block follows without an empty line.
QString AssignLogBlock(const IpRecord& record, const QDateTime& savedAt);

// Appends a block to AssignLog.txt in the program folder (created when missing), in one write, under
// the log's lock. The file never becomes shorter: when the block cannot be written whole, the part
// written stays and the error is returned.
DbOutcome WriteAssignLog(const QString& programFolder, const QString& block);

// The blocks of saved assignments that are not yet known to be whole in the log of their program folder,
// kept in the database so that a record and its block go together exactly once, whatever moment the
// program is killed at. Every writer of a log takes its turn under the log's lock (Turn). A save takes a
// turn before its transaction and stores its block in the transaction that stores the record, with the
// place where the block will begin (the log's length: nobody else appends during the turn); after the
// commit the block is appended and its row removed. A pending block whose row notes a place is checked
// there first: a block found whole there is not written again, a beginning of it is completed, and
// anything else (the log was cleared since) gets the block appended anew, its new place noted first.
// Workstations share the database but each has a log of its own, even where their program folders have
// the same path: each appends only the blocks it saved into the log of that folder.
class PendingAssignLog
{
public:
    // The log of a program folder of this workstation.
    PendingAssignLog(const DatabaseConnection& database, const QString& programFolder);
    // The log of a workstation that stores its blocks under one name; the blocks it left pending under a
    // former name are finished too.
    PendingAssignLog(const DatabaseConnection& database, const QString& programFolder,
                     const QString& workstation, const QString& formerName = {});

    // What tells this workstation from the others that share the database: derived from the machine's
    // identity by a keyed hash, since every workstation reads the database and the identity itself is
    // to be kept private.
    // Blocks pending under the identity itself, as they were stored before, are finished too.
    static QString thisWorkstation();

    // One writer's turn at the log: the log is opened and locked, and the blocks left pending are
    // appended. The lock is held until the turn goes.
    class Turn
    {
    public:
        explicit Turn(const PendingAssignLog& log);
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

        // Whether the log is locked with nothing left pending before this turn; else why not.
        const DbOutcome& ready() const { return m_ready; }
        // Stores a block inside the write transaction that saves its record; with its place when ready.
        DbOutcome add(const QSqlDatabase& db, const QString& block) const;
        // Appends the blocks added. A turn that was not ready appends nothing and gives its reason; the
        // blocks stay pending for the next save or start.
        DbOutcome append();

    private:
        // Appends every pending block of the log in the order saved; stops at the first one that
        // cannot be written.
        DbOutcome appendAll();

        const PendingAssignLog& m_log;
        QFile m_file;
        std::optional<ExclusiveFileLock> m_lock;
        DbOutcome m_ready = DbOutcome::success();
    };

    // A turn of its own: appends every pending block of this log (at the start). Opens (and creates) the
    // log only when a block is pending.
    DbOutcome appendPending() const;

private:
    const DatabaseConnection& m_database;
    QString m_workstation;
    QString m_formerName;
    QString m_logPath;
};

// What the window shows when the log cannot be written (the record itself stays saved).
inline const QString AssignLogErrorMessage = QStringLiteral("Error !!! No info available ... ");
inline const QString AssignLogErrorTitle = QStringLiteral("Error !!!");

} // namespace tarvo
