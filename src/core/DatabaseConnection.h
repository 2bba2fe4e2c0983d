#pragma once

#include "core/DbResult.h"

#include <QSqlDatabase>
#include <QString>

namespace tarvo {

// The program's connection to the live database file. Opening never creates a file: a missing file, a
// file that is not an SQLite database (an old Jet file, say) and a database without Tarvo's tables are
// refused with a message that names the path and the reason. The file may lie on a share used by
// several workstations, so it is used with a rollback journal and a busy time-out.
class DatabaseConnection
{
public:
    DatabaseConnection();
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;

    // Opens the file, replacing the current connection only when the new one opened and holds every
    // table. On failure the current connection stays as it was.
    DbOutcome open(const QString& path);

    // Makes connectionName, a connection that openDatabaseFile() made on path, this connection; the
    // current one closes. Cannot fail: whatever could refuse the file was done when it was opened.
    void adopt(const QString& connectionName, const QString& path);

    // Closes the connection; handle() is then a closed database.
    void close();

    bool isOpen() const;
    const QString& path() const { return m_path; }

    // The connection for queries. Valid until the next open() or close(): ask for it per operation.
    QSqlDatabase handle() const;

    // Checks that a file can serve as a Tarvo database (exists, is SQLite, holds the tables), without
    // keeping it open.
    static DbOutcome checkFile(const QString& path);

private:
    QString m_connectionName;
    QString m_path;
};

// Opens a file that must already exist under a new connection name, with the program's connection
// settings. The caller removes the connection when done. Used by DatabaseConnection and by the tools
// that copy or check database files.
DbResult<QString> openDatabaseFile(const QString& path);

// How long a connection waits for another one's lock before it gives up, unless told otherwise.
constexpr int DefaultBusyTimeoutMs = 10000;

// The same, waiting busyTimeoutMs for other connections' locks. *locked tells, on failure, whether the
// file was locked by another connection (in use) rather than unusable.
DbResult<QString> openDatabaseFile(const QString& path, int busyTimeoutMs, bool* locked);

// The same, read-only: nothing is written to the file, not even its journal setting. For a look at a
// file before the user agreed to use it. Only the rollback of a save that a crash cut short (a hot
// journal beside the file) writes to it, as any connection's first read does: that is recovery, which
// gives back the file as it was before the save.
DbResult<QString> openDatabaseFileReadOnly(const QString& path);

// Removes a connection made by openDatabaseFile().
void closeDatabaseFile(const QString& connectionName);

} // namespace tarvo
