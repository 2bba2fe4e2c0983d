#pragma once

#include "core/DatabaseConnection.h"
#include "core/DbResult.h"

#include <QString>

#include <functional>

namespace tarvo {

// Operations on whole database files, apart from the live connection.

// Makes a file ready to become the live database: opens it on a connection of its own (refusing what
// is not a Tarvo database), brings its schema up to date and, when userId is not empty, tells whether
// that user ID has an account in it. The file is closed again. upgradeStarts, when given, is called (on
// the calling thread) right before an upgrade that has something to change begins: on a large database
// it builds indexes for many seconds. Other connections' locks are waited for busyTimeoutMs.
DbResult<bool> prepareDatabaseFile(const QString& path, const QString& userId = {},
                                   const std::function<void()>& upgradeStarts = {},
                                   int busyTimeoutMs = DefaultBusyTimeoutMs);

// Looks at a file without writing to it: refuses what is not a Tarvo database, as prepareDatabaseFile
// does, and when userId is not empty tells whether that user ID has an account in it.
DbResult<bool> inspectDatabaseFile(const QString& path, const QString& userId = {});

// Writes a consistent copy of the database at source to target, also while source is in use: SQLite's
// online backup writes a snapshot into a temporary file beside target, which then replaces target in
// one rename, but only once SQLite's full integrity check has found the snapshot sound: a damaged
// database is refused, naming the damage, and never replaces a sound copy. On failure target is left
// as it was and no temporary file stays behind; the temporaries that crashed copies left in target's
// folder are removed first (see ReplacingFile).
DbOutcome copyDatabaseFile(const QString& source, const QString& target);

// Writes one state of the SQLite database file at source (any SQLite file, also one that connections of
// this and other processes write meanwhile) into the new file target, with copyDatabaseState: their
// commits wait while the pages are copied. Source is read through SQLite alone, on a connection of this
// program's SQLite library, never with plain file calls (closing a second descriptor of a file would
// drop this process's SQLite locks on it); where Qt's driver uses another SQLite library, this fails
// with the text of sqliteLinkProblem(). target is a temporary that only the caller knows: it is written
// without a journal or syncs. goOn, unreadable: see copyDatabaseState.
DbOutcome snapshotDatabaseFile(const QString& source, const QString& target, int busyTimeoutMs,
                               const std::function<bool()>& goOn, bool* unreadable = nullptr);

// Copies the database at source into the database file live in place, with SQLite's online backup
// under the live file's write lock: connections open on live (other workstations) read the new
// contents at their next read and go on writing. A source with an older schema is brought up to date
// on a private snapshot beside live first. One transaction on live: a failure or a crash leaves the old
// contents. While it is copied, the source goes through SQLite's full integrity check, the one
// copyDatabaseFile runs on its copy (every page and row, and every index against its table); the copy is
// kept only when the check finds the source sound. A damaged source is refused, naming the damage, and
// the live file stays as it was. The live file's lock is waited for busyTimeoutMs.
DbOutcome restoreDatabaseFile(const QString& source, const QString& live, int busyTimeoutMs);

// Rewrites the database file at path without its unused space (VACUUM), on a connection of its own
// that waits busyTimeoutMs for other connections. *inUse tells, on failure, whether another
// connection held the database.
DbOutcome compactDatabaseFile(const QString& path, int busyTimeoutMs, bool* inUse = nullptr);

// Checks that a file is a Tarvo database without changing it: an SQLite file with every table that passes
// SQLite's quick check. That check reads every page and row but does not compare the indexes with their
// tables, so an index that no longer matches its table passes: a quick look, as before a question. What
// is copied goes through the full check (copyDatabaseFile, restoreDatabaseFile).
DbOutcome verifyDatabaseFile(const QString& path);

// Whether two paths name the same existing file.
bool isSameFile(const QString& a, const QString& b);

} // namespace tarvo
