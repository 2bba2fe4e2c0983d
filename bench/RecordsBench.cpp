// Benchmarks of the records reports.

#include "SampleReports.h"

#include "records/report/ReportRenderer.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

// A report of many rows from its row source to its first page painted, as the preview shows it first.
void BM_ReportFirstPage(benchmark::State& state)
{
    const auto rows = tarvo::test::sampleRows(static_cast<int>(state.range(0)));
    const tarvo::ReportDefinition definition = tarvo::test::locationLikeReport();
    for (auto _ : state) {
        const tarvo::ReportRenderer renderer(definition, rows);
        benchmark::DoNotOptimize(renderer.pageImage(0, 96));
    }
}
BENCHMARK(BM_ReportFirstPage)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Fonts need the GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
