#pragma once

#include "core/DbResult.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>

struct sqlite3;

namespace tarvo {

// Why this program cannot use SQLite's own interfaces (the online backup) beside Qt's SQLite driver;
// empty when both use one and the same SQLite library. Two copies of SQLite in one process would not
// share their file locks, so a mismatch is reported rather than used. Worked out once per process.
QString sqliteLinkProblem();

// The SQLite connection under a Qt SQL connection, or a failure that says why there is none (the
// connection is closed or not SQLite's, or the driver uses another SQLite library).
DbResult<sqlite3*> sqliteHandle(const QSqlDatabase& db);

// Copies every page of the database open on source into the database open on destination with
// SQLite's online backup, in one transaction on the destination: a reader of the destination, or a
// process killed midway, finds the old contents or the new ones, never a mix. The source is read under
// a shared lock, the destination written under its write lock; both wait for other connections as
// their busy time-outs allow. When mayCommit is given, every page but the last is copied first, then
// mayCommit is asked: false abandons the copy and the destination stays as it was.
DbOutcome copyDatabasePages(sqlite3* source, sqlite3* destination,
                            const std::function<bool()>& mayCommit = {});

// Copies every page of the database open on source into the database open on destination, as
// copyDatabasePages does, in steps of a few megabytes, under one read transaction on source from the
// first step to the last: the copy is one state of the source even while connections of other processes
// write it, whose commits wait for the end of the copy (as their busy time-outs allow; a copy of a
// hundred megabytes takes a fraction of a second). The source's lock is waited for busyTimeoutMs.
// goOn is asked between two steps and while the lock is waited for: false abandons the copy (the
// destination is then left as it was). A source in a rollback journal's mode whose file holds more or
// less than its pages (bytes past them that a copy would lose, a part of a page) is not copied: under
// the read lock its length is always exactly theirs otherwise. *unreadable (when given) tells whether
// the copy failed because SQLite refused the source as not a database or as damaged (see
// isUnreadableDatabaseCode), or because of its length: the file is not a plain database.
DbOutcome copyDatabaseState(sqlite3* source, sqlite3* destination, int busyTimeoutMs,
                            const std::function<bool()>& goOn, bool* unreadable = nullptr);

// Whether an SQLite result code (primary or extended) refuses a file as not a database (SQLITE_NOTADB)
// or as damaged (SQLITE_CORRUPT).
bool isUnreadableDatabaseCode(int code);

// Opens (and creates) a database file with this program's SQLite library alone, for a copy that no
// other connection knows yet. The caller closes it with sqlite3_close.
DbResult<sqlite3*> openNewDatabaseFile(const QString& path);

// The first size bytes of a file (fewer when it is shorter), read through SQLite's file layer; empty
// when it cannot be read or when SQLite's interfaces cannot be used (see sqliteLinkProblem). Closing a
// plain descriptor of a file drops every lock this process holds on it; SQLite's layer keeps its
// descriptor open for as long as a connection of the program locks the file. So a file that may be the
// database in use is never opened with plain file calls.
QByteArray readFileHead(const QString& path, int size);

// The path of the rollback journal that SQLite keeps for the database file at path: beside the file
// that path names once its symbolic links are followed, as SQLite's file layer names it. When SQLite's
// interfaces cannot be used (see sqliteLinkProblem), beside the file's canonical path, the same place.
QString rollbackJournalPath(const QString& path);

// Opens an existing database file with this program's SQLite library, beside the connections Qt's driver
// may have open on it (both use one library, so they share its file locks). Read and write access, so
// that the journal of a save that a crash cut short can be rolled back. The caller closes it with
// sqlite3_close.
DbResult<sqlite3*> openExistingDatabaseFile(const QString& path);

} // namespace tarvo
