// Benchmarks of the records subsystem: the reports and the searches of the search window.

#include "SampleReports.h"
#include "SharedFixtures.h"

#include "assign/IpRecordStore.h"
#include "assign/RecordSearch.h"
#include "core/AppState.h"
#include "core/DatabaseConnection.h"
#include "core/DatabaseService.h"
#include "core/DeliveredDatabase.h"
#include "core/Sql.h"
#include "records/RecordReportStore.h"
#include "records/RecordReports.h"
#include "records/SearchResultModel.h"
#include "records/report/ReportRenderer.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace tarvo;

// A database of a given number of IP_Info rows issued over the twelve months of 2026, with user names
// and units of a realistic length.
class IssuedRecords
{
public:
    explicit IssuedRecords(int rows)
    {
        const QString path = m_dir.filePath(QStringLiteral("Tarvodb.mdb"));
        if (auto created = createDeliveredDatabase(path); !created)
            qFatal("%s", qPrintable(created.error()));
        if (auto opened = m_connection.open(path); !opened)
            qFatal("%s", qPrintable(opened.error()));
        const QString fill = QStringLiteral(
            "INSERT INTO IP_Info (IP_Address, IP_4, Name, Type, Username, UnitDivision, DateIssue) "
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
            "SELECT '10.' || (i / 65536) || '.' || (i / 256 % 256) || '.' || (i % 256), i % 256, "
            "'PCKL' || i, 'Workstation', 'Nur Aisyah binti Abdullah ' || i, 'Information Technology "
            "Division', "
            "printf('%02d/%02d/2026', 1 + i % 28, 1 + i / 28 % 12) FROM n");
        if (auto filled = execSql(m_connection.handle(), fill, {rows}); !filled)
            qFatal("%s", qPrintable(filled.error()));
    }

    const DatabaseConnection& connection() const { return m_connection; }

private:
    QTemporaryDir m_dir;
    DatabaseConnection m_connection;
};

const IssuedRecords& reportDatabase(int rows)
{
    return bench::SharedFixtures::sized<IssuedRecords>(rows);
}

// The report by date of a year's records, from the query to its first page painted, as the window runs
// the query and the preview shows the first page.

// A report of many rows from its row source to its first page painted, as the preview shows it first.
void BM_ReportFirstPage(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const RecordReportStore store(reportDatabase(count).connection());
    for (auto _ : state) {
        const auto rows = store.rowsIssuedBetween({2026, 1, 1}, {2026, 12, 31});
        if (!rows || (*rows)->rowCount() != count)
            state.SkipWithError("the query did not find every row");
        const ReportRenderer renderer(
            dateReport(QStringLiteral("01/01/2026"), QStringLiteral("31/12/2026"), (*rows)->rowCount()),
            *rows);
        benchmark::DoNotOptimize(renderer.pageImage(0, 96));
    }
}
BENCHMARK(BM_ReportFirstPage)->Arg(10000)->Unit(benchmark::kMillisecond);

// The renderer alone: rows already in memory to the first page painted.
void BM_RenderFirstPage(benchmark::State& state)
{
    const auto rows = tarvo::test::sampleRows(static_cast<int>(state.range(0)));
    const tarvo::ReportDefinition definition = tarvo::test::sampleReport(tarvo::ReportOrientation::Landscape);
    for (auto _ : state) {
        const tarvo::ReportRenderer renderer(definition, rows);
        benchmark::DoNotOptimize(renderer.pageImage(0, 96));
    }
}
BENCHMARK(BM_RenderFirstPage)->Arg(10000)->Unit(benchmark::kMillisecond);

// A database of a given number of IP records of one area and city, with unique addresses and host
// names, four staff numbers, half of them temporary, and a user name and remark in every row.
class FilledDatabase
{
public:
    explicit FilledDatabase(int rows) : m_service(m_program)
    {
        const QString path = m_dir.filePath(QStringLiteral("Tarvodb.mdb"));
        if (auto created = createDeliveredDatabase(path); !created)
            qFatal("%s", qPrintable(created.error()));
        if (auto opened = m_service.switchTo(path); !opened)
            qFatal("%s", qPrintable(opened.error()));
        const QString fill = QStringLiteral(
            "INSERT INTO IP_Info (IP_Address, IP_4, Name, Type, Region, Workgroup, Project, Remarks, "
            "Username, StaffNo, LANID, Status, CityOwner, DateIssue, InputBy) "
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
            "SELECT '10.' || (i / 65536) || '.' || (i / 256 % 256) || '.' || (i % 256), i % 256, "
            "'PC' || i, 'PC', 'Area', 'Finance', 'Project', 'Printer on floor ' || (i % 30), "
            "'User ' || i, 'S' || (i % 4), 'LAN' || i, "
            "CASE WHEN i % 2 = 0 THEN 'Temporary' ELSE 'Permanent' END, 'City', '05/12/2026', 'Bench' "
            "FROM n");
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

FilledDatabase& searchDatabase(int rows)
{
    return bench::SharedFixtures::sized<FilledDatabase>(rows);
}

// One search of the search window, up to the moment the grid can paint its first screen: the search
// runs and the cells of the first 40 rows are read. The count of a result larger than its first part
// follows the first screen and is timed apart (BM_Count).
void BM_Search(benchmark::State& state, RecordSearch search)
{
    FilledDatabase& db = searchDatabase(static_cast<int>(state.range(0)));
    SearchResultModel model(db.connection(), db.service());
    for (auto _ : state) {
        if (auto ran = model.run(search); !ran)
            state.SkipWithError(qPrintable(ran.error()));
        for (int row = 0; row < qMin(40, model.rowCount()); ++row)
            for (int column = 0; column < model.columnCount(); ++column)
                benchmark::DoNotOptimize(model.data(model.index(row, column)));
    }
    state.counters["rows"] = static_cast<double>(model.count().value());
}

// The count of a search's rows, for the note under the grid.
void BM_Count(benchmark::State& state, RecordSearch search)
{
    const IpRecordStore store(searchDatabase(static_cast<int>(state.range(0))).connection());
    for (auto _ : state)
        benchmark::DoNotOptimize(store.count(search));
}

using Kind = RecordSearch::Kind;
const std::pair<const char*, RecordSearch> Searches[] = {
    {"IpAddress", RecordSearch::of(Kind::AddressBegins, QStringLiteral("10."))},
    {"StaffNo", RecordSearch::of(Kind::StaffNo, QStringLiteral("s1"))},
    {"Location", RecordSearch::of(Kind::AreaCity, QStringLiteral("Area"), QStringLiteral("City"))},
    {"Hostname", RecordSearch::of(Kind::HostName, QStringLiteral("pc99999"))},
    {"Remarks", RecordSearch::of(Kind::RemarksContains, QStringLiteral("printer"))},
    {"Username", RecordSearch::of(Kind::UsernameContains, QStringLiteral("user"))},
};

// BM_Search/<kind>/100000 and BM_Count/<kind>/100000 for each kind of search.
const bool Registered = [] {
    for (const auto& [kind, search] : Searches) {
        benchmark::RegisterBenchmark((std::string("BM_Search/") + kind).c_str(), BM_Search, search)
            ->Arg(100000)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("BM_Count/") + kind).c_str(), BM_Count, search)
            ->Arg(100000)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
