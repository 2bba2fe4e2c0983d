// Benchmarks of the records subsystem: the reports. The search window's searches are in SearchBench.cpp.

#include "SampleReports.h"
#include "SharedFixtures.h"

#include "core/DatabaseConnection.h"
#include "core/DeliveredDatabase.h"
#include "core/Sql.h"
#include "records/RecordReportStore.h"
#include "records/RecordReports.h"
#include "records/report/ReportRenderer.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

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

} // namespace
