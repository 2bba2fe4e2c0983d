#include "records/SearchReader.h"

#include "core/DatabaseConnection.h"
#include "core/SqliteLink.h"

#include <QPointer>

#include <sqlite3.h>

namespace tarvo {

// A thread that runs the jobs posted to it one after another.
class SearchReader::Worker
{
public:
    Worker()
    {
        m_context.moveToThread(&m_thread);
        m_thread.start();
    }
    ~Worker()
    {
        m_thread.quit();
        m_thread.wait();
    }
    void post(std::function<void()> job)
    {
        QMetaObject::invokeMethod(&m_context, std::move(job), Qt::QueuedConnection);
    }

private:
    QThread m_thread;
    QObject m_context;
};

namespace {

// SQLite asks this every thousand steps of a statement; true ends the statement at once.
int stopWhenAsked(void* stop)
{
    return (*static_cast<const std::function<bool()>*>(stop))() ? 1 : 0;
}

// Runs a job on a connection of this thread to the file, closed when the job ends. A statement of the
// job ends as soon as `stop` says so, however many rows it still had to read, so that a newer search
// (or the window's closing) never waits on an older one. Where SQLite's own interfaces cannot be used
// (see sqliteLinkProblem), a statement runs to its end and what it found is dropped.
template <class Job>
void onOwnConnection(const QString& path, const std::function<bool()>& stop,
                     const std::function<void(const QString&)>& onError, Job job)
{
    DatabaseConnection connection;
    if (auto opened = connection.open(path); !opened)
        return onError(opened.error());
    if (auto db = sqliteHandle(connection.handle()))
        sqlite3_progress_handler(*db, 1000, stopWhenAsked, const_cast<std::function<bool()>*>(&stop));
    job(IpRecordStore(connection));
}

} // namespace

SearchReader::SearchReader(QObject* receiver)
    : m_receiver(receiver), m_ticket(std::make_shared<std::atomic<quint64>>(0)),
      m_parts(std::make_unique<Worker>()), m_counts(std::make_unique<Worker>())
{}

SearchReader::~SearchReader()
{
    newTicket();
}

quint64 SearchReader::newTicket()
{
    return ++*m_ticket;
}

void SearchReader::post(Worker& worker, std::function<void()> job)
{
    worker.post(std::move(job));
}

void SearchReader::readPart(quint64 ticket, const QString& path, const RecordSearch& search,
                            const QVariantList& after, qsizetype wanted,
                            std::function<void(const Rows&)> onRows,
                            std::function<void(const QString&)> onError)
{
    const QPointer<QObject> receiver = m_receiver;
    const auto current = m_ticket;
    const auto deliver = [receiver](std::function<void()> call) {
        if (receiver)
            QMetaObject::invokeMethod(receiver, std::move(call), Qt::QueuedConnection);
    };
    const auto fail = [deliver, onError](const QString& error) {
        deliver([onError, error] { onError(error); });
    };
    post(*m_parts, [=] {
        const std::function<bool()> stopped = [current, ticket] { return current->load() != ticket; };
        if (stopped())
            return;
        onOwnConnection(path, stopped, fail, [&](const IpRecordStore& store) {
            QVariantList position = after;
            qsizetype found = 0;
            // A search whose condition selects few rows through an index sorts them at once.
            auto few = after.isEmpty() ? store.findsFewerThan(search, FewRows) : DbResult<bool>(false);
            if (!few)
                return fail(few.error());
            for (int step = *few ? OrderedSteps : 0; !stopped(); ++step) {
                if (step == OrderedSteps) {
                    // The rows found are few among those examined: the rest is found through the
                    // condition and sorted, every row of it at once.
                    auto rest = store.findSorted(search, position, stopped);
                    if (!rest)
                        return fail(rest.error());
                    if (!stopped())
                        deliver([onRows, rows = Rows{ticket, *rest, true}] { onRows(rows); });
                    return;
                }
                auto part = store.scanInOrder(search, position, ExaminedRows, wanted - found);
                if (!part)
                    return fail(part.error());
                position = part->last;
                found += part->rowIds.size();
                const bool ended = part->complete || found >= wanted;
                deliver([onRows, rows = Rows{ticket, *part, ended}] { onRows(rows); });
                if (ended)
                    return;
            }
        });
    });
}

void SearchReader::count(quint64 ticket, const QString& path, const RecordSearch& search,
                         std::function<void(const DbResult<qint64>&)> onCount)
{
    const QPointer<QObject> receiver = m_receiver;
    const auto current = m_ticket;
    const auto deliver = [receiver, onCount](const DbResult<qint64>& counted) {
        if (receiver)
            QMetaObject::invokeMethod(
                receiver, [onCount, counted] { onCount(counted); }, Qt::QueuedConnection);
    };
    post(*m_counts, [=] {
        const std::function<bool()> stopped = [current, ticket] { return current->load() != ticket; };
        if (stopped())
            return;
        onOwnConnection(
            path, stopped, [&](const QString& error) { deliver(DbOutcome::failure(error)); },
            [&](const IpRecordStore& store) { deliver(store.count(search)); });
    });
}

} // namespace tarvo
