#pragma once

#include "assign/IpRecord.h"
#include "core/DbResult.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

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
// program is killed at. A save stores its block in the transaction that stores the record (add); after
// the commit, appendPending writes it. Under the log's lock, for each pending block in the order saved:
// the place where it begins (the log's length) is noted in its row and committed, the block is appended
// and its row removed. A row that notes a place already is checked there first: a block found whole
// there is not written again, a beginning of it is completed, and anything else (the log was cleared
// since) gets the block appended anew. Workstations share the database but each has a log of its own,
// even where their program folders have the same path: each appends only the blocks it saved into the
// log of that folder.
class PendingAssignLog
{
public:
    // The log of a program folder of this workstation.
    PendingAssignLog(const DatabaseConnection& database, const QString& programFolder);
    PendingAssignLog(const DatabaseConnection& database, const QString& programFolder,
                     const QString& workstation);

    // What tells this workstation from the others that share the database.
    static QString thisWorkstation();

    // Stores a block inside the write transaction that saves its record.
    DbOutcome add(const QSqlDatabase& db, const QString& block) const;

    // Appends every pending block of this program folder's log. Stops at the first block that cannot be
    // written and returns the error; that block and the ones after it stay pending for the next save or
    // start.
    DbOutcome appendPending() const;

private:
    const DatabaseConnection& m_database;
    QString m_workstation;
    QString m_logPath;
};

// What the window shows when the log cannot be written (the record itself stays saved).
inline const QString AssignLogErrorMessage = QStringLiteral("Error !!! No info available ... ");
inline const QString AssignLogErrorTitle = QStringLiteral("Error !!!");

} // namespace tarvo
