#pragma once

#include "core/DbResult.h"

#include <QString>

#include <functional>

namespace tarvo {

// Operations on whole database files, apart from the live connection.

// Makes a file ready to become the live database: opens it on a connection of its own (refusing what
// is not a Tarvo database), brings its schema up to date and, when userId is not empty, tells whether
// that user ID has an account in it. The file is closed again.
DbResult<bool> prepareDatabaseFile(const QString& path, const QString& userId = {});

// Writes a consistent copy of the database at source to target, also while source is in use: SQLite
// writes a snapshot (VACUUM INTO) into a temporary file beside target, which then replaces target in
// one rename. On failure target is left as it was and no temporary file stays behind; the temporaries
// that crashed copies left in target's folder are removed first (see ReplacingFile).
DbOutcome copyDatabaseFile(const QString& source, const QString& target);

// The same copy, with a step run on the finished copy (its temporary path) right before it replaces
// target: a failure of the step leaves target as it was.
DbOutcome copyDatabaseFile(const QString& source, const QString& target,
                           const std::function<DbOutcome(const QString& staged)>& beforeReplacing);

// Whether two paths name the same existing file.
bool isSameFile(const QString& a, const QString& b);

} // namespace tarvo
