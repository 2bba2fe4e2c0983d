// Splitting and joining a 256 MiB file, against the split and cat tools on the same file in the same
// run. Every working file lies in one temporary folder that goes at the end.

#include "maintenance/FilePieces.h"
#include "maintenance/PieceJobs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tarvo;

constexpr qint64 FileSize = 256LL * 1024 * 1024;

// The working folder and the file split and joined by every benchmark.
struct Workspace
{
    Workspace()
    {
        QFile file(source());
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(source()));
        QByteArray block(1024 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(11);
        for (qint64 written = 0; written < FileSize; written += block.size()) {
            generator.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
            file.write(block);
        }
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString source() const { return path(QStringLiteral("data.bin")); }
    // Removes everything but the source file.
    void clean() const
    {
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)) {
            if (name != QLatin1String("data.bin"))
                QFile::remove(path(name));
        }
    }
    // The pieces of the source under the name joined.bin, for the joins.
    QStringList preparePieces() const
    {
        clean();
        const QString target = path(QStringLiteral("joined.bin"));
        QFile::copy(source(), target);
        FileSplitter splitter(target, PieceSize, false);
        if (!runToEnd(splitter))
            qFatal("split failed: %s", qPrintable(splitter.errorText()));
        QFile::remove(target);
        QStringList pieces;
        for (qint64 i = 1; i <= pieceCount(FileSize); ++i)
            pieces << pieceName(target, i);
        return pieces;
    }

    QTemporaryDir dir;
};

Workspace& workspace()
{
    static Workspace shared;
    return shared;
}

bool runTool(benchmark::State& state, const QString& program, const QStringList& arguments,
             const QString& output = {})
{
    QProcess process;
    process.setWorkingDirectory(workspace().dir.path());
    if (!output.isEmpty())
        process.setStandardOutputFile(output);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        state.SkipWithError(qPrintable(program + QStringLiteral(" failed")));
        return false;
    }
    return true;
}

QString findTool(benchmark::State& state, const QString& name)
{
    const QString tool = QStandardPaths::findExecutable(name);
    if (tool.isEmpty())
        state.SkipWithError(qPrintable(name + QStringLiteral(" is not installed")));
    return tool;
}

void BM_Split(benchmark::State& state)
{
    Workspace& work = workspace();
    work.clean();
    for (auto _ : state) {
        FileSplitter splitter(work.source(), PieceSize, true);
        if (!runToEnd(splitter))
            state.SkipWithError(qPrintable(splitter.errorText()));
        state.PauseTiming();
        work.clean();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * FileSize);
}
BENCHMARK(BM_Split)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SplitCoreutils(benchmark::State& state)
{
    Workspace& work = workspace();
    const QString split = findTool(state, QStringLiteral("split"));
    if (split.isEmpty())
        return;
    work.clean();
    for (auto _ : state) {
        if (!runTool(state, split,
                     {QStringLiteral("-b"), QString::number(PieceSize), QStringLiteral("-d"),
                      QStringLiteral("-a"), QStringLiteral("4"), work.source(),
                      work.path(QStringLiteral("piece."))}))
            break;
        state.PauseTiming();
        work.clean();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * FileSize);
}
BENCHMARK(BM_SplitCoreutils)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Join(benchmark::State& state)
{
    Workspace& work = workspace();
    work.preparePieces();
    const QString target = work.path(QStringLiteral("joined.bin"));
    for (auto _ : state) {
        FileJoiner joiner(target, false);
        if (!runToEnd(joiner))
            state.SkipWithError(qPrintable(joiner.errorText()));
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * FileSize);
    work.clean();
}
BENCHMARK(BM_Join)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JoinCoreutils(benchmark::State& state)
{
    Workspace& work = workspace();
    const QString cat = findTool(state, QStringLiteral("cat"));
    if (cat.isEmpty())
        return;
    const QStringList pieces = work.preparePieces();
    const QString target = work.path(QStringLiteral("joined.bin"));
    for (auto _ : state) {
        if (!runTool(state, cat, pieces, target))
            break;
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * FileSize);
    work.clean();
}
BENCHMARK(BM_JoinCoreutils)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
