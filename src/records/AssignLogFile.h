#pragma once

#include "core/DbResult.h"

#include <QString>

namespace tarvo {

// The assignment log AssignLog.txt of the program folder as its viewer clears it (the viewer reads it
// through IndexedTextFile). The assignment window appends to it (assign/AssignLog.h).

// Cuts the log to one empty line (carriage return, line feed), creating it when it is missing; the next
// assignment block follows that line.
DbOutcome ClearAssignLog(const QString& programFolder);

} // namespace tarvo
