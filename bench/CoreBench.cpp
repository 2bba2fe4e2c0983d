// Benchmarks of the core routines that every window calls often.

#include "core/IniFile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Reading one key of a typical Tarvo.ini: the file is read afresh on every call.
void BM_IniRead(benchmark::State& state)
{
    QTemporaryDir dir;
    const tarvo::IniFile ini(dir.filePath(QStringLiteral("Tarvo.ini")));
    for (int i = 0; i < 20; ++i)
        ini.write(QStringLiteral("Section%1").arg(i), QStringLiteral("Key"),
                  QStringLiteral("value %1").arg(i));
    for (auto _ : state)
        benchmark::DoNotOptimize(ini.read(QStringLiteral("section19"), QStringLiteral("key")));
}
BENCHMARK(BM_IniRead);

} // namespace
