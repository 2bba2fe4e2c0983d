// Benchmarks of the search window's result list on large databases: how long the window waits for the
// first screen of each kind of search, and the longest wait of one step while a search of every row is
// scrolled to its end. A wait is the longest time the event loop did not run.

#include "SharedFixtures.h"

#include "assign/RecordSearch.h"
#include "core/AppState.h"
#include "core/DatabaseService.h"
#include "core/DeliveredDatabase.h"
#include "core/Sql.h"
#include "records/SearchResultModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace tarvo;

// A database of a given number of IP records: unique addresses over /24s, octet 4 missing in one row
// of a thousand, half of them temporary, four staff numbers, a remark in every row and a rare one in
// one row of 100,000, all of one area and city.
class LargeDatabase
{
public:
    explicit LargeDatabase(int rows) : m_service(m_program)
    {
        const QString path = m_dir.filePath(QStringLiteral("Tarvodb.mdb"));
        if (auto created = createDeliveredDatabase(path); !created)
            qFatal("%s", qPrintable(created.error()));
        if (auto opened = m_service.switchTo(path); !opened)
            qFatal("%s", qPrintable(opened.error()));
        const QString fill = QStringLiteral(
            "INSERT INTO IP_Info (IP_Address, IP_4, Name, Type, Region, Remarks, Username, StaffNo, Status, "
            "CityOwner, DateIssue) "
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
            "SELECT '10.' || (i / 65536) || '.' || (i / 256 % 256) || '.' || (i % 256), "
            "CASE WHEN i % 1000 = 7 THEN NULL ELSE i % 256 END, 'PC' || i, 'PC', 'Area', "
            "CASE WHEN i % 100000 = 50000 THEN 'Spare unit' ELSE 'Printer on floor ' || (i % 30) END, "
            "'User ' || i, 'S' || (i % 4), CASE WHEN i % 2 = 0 THEN 'Temporary' ELSE 'Permanent' END, "
            "'City', '05/12/2026' FROM n");
        if (auto filled = execSql(m_service.handle(), fill, {rows}); !filled)
            qFatal("%s", qPrintable(filled.error()));
    }

    const DatabaseConnection& connection() const { return m_service.connection(); }
    DatabaseService& service() { return m_service; }

private:
    QTemporaryDir m_dir;
    ProgramState m_program;
    DatabaseService m_service;
};

LargeDatabase& database(int rows)
{
    return bench::SharedFixtures::sized<LargeDatabase>(rows);
}

// Runs the event loop until done holds; gives the longest time the loop did not run, the step given
// included.
template <class Step, class Done>
qint64 longestWait(Step step, Done done)
{
    QElapsedTimer clock;
    clock.start();
    step();
    qint64 longest = clock.nsecsElapsed();
    QTimer tick;
    tick.setInterval(0);
    qint64 last = clock.nsecsElapsed();
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = qMax(longest, now - last);
        last = now;
    });
    tick.start();
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    longest = qMax(longest, clock.nsecsElapsed() - last);
    return longest;
}

// The grid paints the rows of a screen: their cells are read.
void paint(const SearchResultModel& model, int first, int rows)
{
    for (int row = first; row < qMin(first + rows, model.rowCount()); ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            benchmark::DoNotOptimize(model.data(model.index(row, column)));
}

constexpr int ScreenRows = 40;

// A search up to its first screen painted (40 rows, or every row of a smaller result). The time is the
// time until then; wait_ms is the longest time the event loop did not run meanwhile.
void BM_SearchFirstScreen(benchmark::State& state, RecordSearch search)
{
    LargeDatabase& db = database(static_cast<int>(state.range(0)));
    SearchResultModel model(db.connection(), db.service());
    qint64 longest = 0;
    for (auto _ : state) {
        longest = qMax(longest,
                       longestWait([&] { model.run(search); },
                                   [&] { return !model.isSearching() || model.rowCount() >= ScreenRows; }));
        paint(model, 0, ScreenRows);
    }
    state.counters["wait_ms"] = static_cast<double>(longest) / 1e6;
    state.counters["rows"] = model.rowCount();
}

// A search of every row scrolled to its end, a part at a time as the grid asks for them; each step
// paints the screen of rows it listed. The longest step is largest_step_ms.
void BM_SearchFetchMore(benchmark::State& state)
{
    LargeDatabase& db = database(static_cast<int>(state.range(0)));
    SearchResultModel model(db.connection(), db.service());
    const RecordSearch everything =
        RecordSearch::of(RecordSearch::Kind::AddressBegins, QStringLiteral("10."));
    qint64 longest = 0;
    for (auto _ : state) {
        longest =
            qMax(longest, longestWait([&] { model.run(everything); }, [&] { return !model.isSearching(); }));
        while (model.canFetchMore({})) {
            const int listed = model.rowCount();
            longest = qMax(longest, longestWait(
                                        [&] {
                                            model.fetchMore({});
                                            paint(model, listed, ScreenRows);
                                        },
                                        [&] { return !model.isReading(); }));
        }
        if (model.rowCount() != state.range(0))
            state.SkipWithError("the scroll did not reach every row");
    }
    state.counters["largest_step_ms"] = static_cast<double>(longest) / 1e6;
}

// A search of a rare text left while its thread reads every row (150 ms in): the window closes, so the
// model and its threads go. The time is that of the closing.
void BM_SearchAbandoned(benchmark::State& state)
{
    LargeDatabase& db = database(static_cast<int>(state.range(0)));
    const RecordSearch rare = RecordSearch::of(RecordSearch::Kind::RemarksContains, QStringLiteral("spare"));
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<SearchResultModel>(db.connection(), db.service());
        model->run(rare);
        QElapsedTimer started;
        started.start();
        while (started.elapsed() < 150)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.ResumeTiming();
        model.reset();
    }
}

using Kind = RecordSearch::Kind;
const std::pair<const char*, RecordSearch> Searches[] = {
    {"AddressExact", RecordSearch::of(Kind::Address, QStringLiteral("10.5.3.7"))},
    {"Everything", RecordSearch::of(Kind::AddressBegins, QStringLiteral("10."))},
    {"AddressBegins", RecordSearch::of(Kind::AddressBegins, QStringLiteral("10.5.3."))},
    {"Temporary", RecordSearch::of(Kind::Temporary)},
    {"TemporaryBegins", RecordSearch::of(Kind::TemporaryBegins, QStringLiteral("10.1."))},
    {"StaffNo", RecordSearch::of(Kind::StaffNo, QStringLiteral("s1"))},
    {"Hostname", RecordSearch::of(Kind::HostName, QStringLiteral("pc99999"))},
    {"Remarks", RecordSearch::of(Kind::RemarksContains, QStringLiteral("printer"))},
    {"RemarksRare", RecordSearch::of(Kind::RemarksContains, QStringLiteral("spare"))},
    {"Username", RecordSearch::of(Kind::UsernameContains, QStringLiteral("user 12345"))},
    {"Workgroup", RecordSearch::of(Kind::Prefix, QStringLiteral("10.2.3."))},
    {"City", RecordSearch::of(Kind::AreaCity, QStringLiteral("Area"), QStringLiteral("City"))},
};

// The sizes: 1M rows, and 5M when TARVO_BENCH_5M is set (a database of about 2 GB, built in minutes);
// 10,000 rows for a quick run of every case.
std::vector<int64_t> sizes()
{
    std::vector<int64_t> rows{10000, 1000000};
    if (qEnvironmentVariableIsSet("TARVO_BENCH_5M"))
        rows.push_back(5000000);
    return rows;
}

const bool Registered = [] {
    for (const auto& [kind, search] : Searches) {
        auto* bench = benchmark::RegisterBenchmark((std::string("BM_SearchFirstScreen/") + kind).c_str(),
                                                   BM_SearchFirstScreen, search);
        for (const int64_t rows : sizes())
            bench->Arg(rows);
        bench->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    auto* abandoned = benchmark::RegisterBenchmark("BM_SearchAbandoned", BM_SearchAbandoned);
    for (const int64_t rows : sizes())
        abandoned->Arg(rows);
    abandoned->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
    auto* scroll = benchmark::RegisterBenchmark("BM_SearchFetchMore", BM_SearchFetchMore);
    for (const int64_t rows : sizes())
        scroll->Arg(rows);
    scroll->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
    return true;
}();

} // namespace
