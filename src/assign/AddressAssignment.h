#pragma once

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
// written, the reason (the record stays saved).
struct AssignmentSaved
{
    SaveResult result;
    QString logError;
};

// Saves a new assignment with the date of issue and the administrator's name, then appends its block
// to the assignment log in the program folder. The date of the record and the date and time of the
// log block are the one moment given. Nothing is logged unless the record was saved.
DbResult<AssignmentSaved> saveAssignment(IpRecordStore& store, IpRecord record, const QString& LoginName,
                                         const QDateTime& now, const QString& programFolder);

} // namespace tarvo
