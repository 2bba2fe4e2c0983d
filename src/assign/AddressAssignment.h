#pragma once

#include "assign/AssignLog.h"
#include "assign/AssignmentRules.h"
#include "assign/IpRecordStore.h"

#include <QDateTime>
#include <QString>

namespace tarvo {

// The proposal of a New-mode pick without its ping check: the distinct recorded fourth octets of the
// range, read through one indexed query, and the next free address found among them.
DbResult<FreeAddress> proposeNextFree(const IpRecordStore& store, const QString& prefix,
                                      const Octet4Range& range, bool pseudoItem);

// What a save did: the store's result, and when the record was saved but its log block could not be
// written, the reason (the record stays saved, its block pending).
struct AssignmentSaved
{
    SaveResult result;
    QString logError;
};

// Saves a new assignment with the date of issue and the administrator's name, together with its
// assignment-log block as a pending block of the log, during a turn at the log; then appends it. The
// date of the record and the date and time of the log block are the one moment given. Nothing is logged
// unless the record was saved; a block that cannot be appended stays pending for the next save or start.
DbResult<AssignmentSaved> saveAssignment(IpRecordStore& store, IpRecord record, const QString& LoginName,
                                         const QDateTime& now, const PendingAssignLog& log);

} // namespace tarvo
