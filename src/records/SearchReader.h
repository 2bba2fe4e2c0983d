#pragma once

#include "assign/IpRecordStore.h"
#include "assign/RecordSearch.h"
#include "core/DbResult.h"

#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

namespace tarvo {

// Reads the searches that no index serves, and counts searches, on threads of their own, each job on
// a connection of its own to the database file, so that the window never waits while a search
// examines many rows. A part of a search is read in list order by examining the rows through the
// order's index a block at a time, and is handed over a block at a time; when blocks yield few rows the
// rest is found through the search's condition and sorted by SQLite. Results come back as calls on
// the receiver's thread. A newer ticket stops the older jobs at their next step; the receiver drops
// what they still hand over.
class SearchReader
{
public:
    // Rows of a part, in list order. rows.last is where the search goes on; rows.complete when no row
    // follows them. ended: the part is over (the rows wanted are there, or none follows).
    struct Rows
    {
        quint64 ticket = 0;
        FoundRows rows;
        bool ended = false;
    };

    explicit SearchReader(QObject* receiver);
    ~SearchReader();
    SearchReader(const SearchReader&) = delete;
    SearchReader& operator=(const SearchReader&) = delete;

    // A ticket for the next jobs; the jobs of older tickets stop.
    quint64 newTicket();

    // Reads at least `wanted` rows after the row at `after` (fewer only at the end of the search).
    void readPart(quint64 ticket, const QString& path, const RecordSearch& search, const QVariantList& after,
                  qsizetype wanted, std::function<void(const Rows&)> onRows,
                  std::function<void(const QString&)> onError);
    // Counts the rows of a search.
    void count(quint64 ticket, const QString& path, const RecordSearch& search,
               std::function<void(const DbResult<qint64>&)> onCount);

    // Rows examined in one step of a part, and the steps after which the rest is found through the
    // search's condition and sorted; at once when the condition selects fewer than FewRows.
    static constexpr qsizetype ExaminedRows = 8192;
    static constexpr int OrderedSteps = 3;
    static constexpr qsizetype FewRows = 4096;

private:
    class Worker;
    void post(Worker& worker, std::function<void()> job);

    QObject* m_receiver;
    std::shared_ptr<std::atomic<quint64>> m_ticket;
    std::unique_ptr<Worker> m_parts;
    std::unique_ptr<Worker> m_counts;
};

} // namespace tarvo
