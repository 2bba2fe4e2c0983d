#include "assign/AddressAssignment.h"

#include "assign/AssignLog.h"

namespace tarvo {

DbResult<FreeAddress> proposeNextFree(const IpRecordStore& store, const QString& prefix,
                                      const Octet4Range& range, bool pseudoItem)
{
    auto used = store.usedOctets(prefix, range);
    if (!used)
        return used.failure();
    return nextFreeAddress(*used, range, pseudoItem);
}

DbResult<AssignmentSaved> saveAssignment(IpRecordStore& store, IpRecord record, const QString& LoginName,
                                         const QDateTime& now, const QString& programFolder)
{
    record.DateIssue = DateIssueText(now.date());
    record.InputBy = LoginName;
    auto result = store.save(record);
    if (!result)
        return result.failure();
    AssignmentSaved saved{*result, {}};
    if (!result->saved())
        return saved;
    if (auto logged = WriteAssignLog(programFolder, AssignLogBlock(record, now)); !logged)
        saved.logError = logged.error();
    return saved;
}

} // namespace tarvo
