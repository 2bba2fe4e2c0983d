#pragma once

#include "core/DbResult.h"

#include <QString>

namespace tarvo {

// The assignment log AssignLog.txt of the program folder as its viewer reads and clears it. The
// assignment window appends to it (assign/AssignLog.h).

// The whole log as stored, line ends and tabs included. A log that is not UTF-8 (written by an older
// program in a Windows code page) reads as Latin-1 rather than with replacement characters. Fails when
// the file is missing or cannot be read.
DbResult<QString> ReadAssignLog(const QString& programFolder);

// Cuts the log to one empty line (carriage return, line feed), creating it when it is missing; the next
// assignment block follows that line.
DbOutcome ClearAssignLog(const QString& programFolder);

} // namespace tarvo
