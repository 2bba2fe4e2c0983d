// The main of every benchmark: a Qt application off-screen (unless a platform is named), so that
// windows, fonts and event loops work, with the network guard on: nothing may be reached but loopback
// (and a test namespace that a benchmark makes itself).

#include "SharedFixtures.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TARVO_LOOPBACK_ONLY", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    {
        // The fixtures the benchmarks shared go here, before the application object.
        tarvo::bench::SharedFixtures fixtures;
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    return 0;
}
