#include "assign/AddressAssignment.h"

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
                                         const QDateTime& now, const PendingAssignLog& log)
{
    record.DateIssue = DateIssueText(now.date());
    record.InputBy = LoginName;
    const QString block = AssignLogBlock(record, now);
    // The log's turn is taken before the transaction and held until the block is appended.
    PendingAssignLog::Turn turn(log);
    auto result = store.save(record, [&turn, &block](const QSqlDatabase& db) { return turn.add(db, block); });
    if (!result)
        return result.failure();
    AssignmentSaved saved{*result, {}};
    if (!result->saved())
        return saved;
    if (auto logged = turn.append(); !logged)
        saved.logError = logged.error();
    return saved;
}

} // namespace tarvo
