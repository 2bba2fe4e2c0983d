// Splitting and joining a 256 MiB file against the split and cat tools, and backing up and compacting
// a 200 MB database against the sqlite3 tool, each pair on the same file in the same run. Every working
// file lies in a temporary folder that goes at the end; a tool that is not installed skips its
// benchmark.

#include "core/AppState.h"
#include "core/DatabaseService.h"
#include "core/DeliveredDatabase.h"
#include "maintenance/FilePieces.h"
#include "maintenance/PieceJobs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

#include <unistd.h>

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
        // On the disk before the first benchmark starts, so that none pays for writing it.
        file.flush();
        ::fsync(file.handle());
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

constexpr qint64 DatabaseSize = 200LL * 1000 * 1000;

// A Tarvo database of about 200 MB: the delivered one with IP records added.
struct DatabaseWorkspace
{
    DatabaseWorkspace()
    {
        if (auto created = createDeliveredDatabase(live()); !created)
            qFatal("%s", qPrintable(created.error()));
        ProgramState program;
        DatabaseService service(program);
        if (auto opened = service.switchTo(live()); !opened)
            qFatal("%s", qPrintable(opened.error()));
        QSqlQuery insert(service.handle());
        insert.prepare(
            QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4, Name, Username, StaffNo, Remarks, "
                           "DateIssue, InputBy) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        QRandomGenerator generator(5);
        // Batches of rows until the file is large enough.
        for (int i = 0; QFileInfo(live()).size() < DatabaseSize;) {
            QSqlQuery(service.handle()).exec(QStringLiteral("BEGIN"));
            for (const int end = i + 10000; i < end; ++i) {
                insert.addBindValue(
                    QStringLiteral("10.%1.%2.%3").arg(i >> 16).arg((i >> 8) & 255).arg(i & 255));
                insert.addBindValue(i & 255);
                insert.addBindValue(QStringLiteral("PC%1ITD%2").arg(generator.bounded(1000)).arg(i));
                insert.addBindValue(QStringLiteral("User %1").arg(generator.generate()));
                insert.addBindValue(QString::number(generator.bounded(100000)));
                insert.addBindValue(QString(300, QLatin1Char('a' + generator.bounded(26))));
                insert.addBindValue(QStringLiteral("01/02/2024"));
                insert.addBindValue(QStringLiteral("Administrator"));
                if (!insert.exec())
                    qFatal("cannot fill the database");
            }
            QSqlQuery(service.handle()).exec(QStringLiteral("COMMIT"));
        }
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString live() const { return path(DatabaseFileName); }
    QString copy() const { return path(BackupDatabaseFileName); }

    QTemporaryDir dir;
};

DatabaseWorkspace& databaseWorkspace()
{
    static DatabaseWorkspace shared;
    return shared;
}

// Runs operation once an iteration, cleanup after each outside the timing, and reports the bytes of
// the file worked on per second. An operation that fails gives its reason and ends the benchmark.
void measure(benchmark::State& state, qint64 bytes, const std::function<QString()>& operation,
             const std::function<void()>& cleanup = {})
{
    for (auto _ : state) {
        if (const QString problem = operation(); !problem.isEmpty()) {
            state.SkipWithError(qPrintable(problem));
            break;
        }
        if (cleanup) {
            state.PauseTiming();
            cleanup();
            state.ResumeTiming();
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

// The operation that runs a tool; empty when the tool is missing (the benchmark is then skipped).
std::function<QString()> tool(benchmark::State& state, const QString& name, const QStringList& arguments,
                              const QString& output = {})
{
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty()) {
        state.SkipWithError(qPrintable(name + QStringLiteral(" is not installed")));
        return {};
    }
    return [program, arguments, output] {
        QProcess process;
        process.setWorkingDirectory(QDir::tempPath());
        if (!output.isEmpty())
            process.setStandardOutputFile(output);
        process.start(program, arguments);
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            return program + QStringLiteral(" failed");
        return QString();
    };
}

QString problemOf(const DbOutcome& outcome)
{
    return outcome ? QString() : outcome.error();
}

void BM_Split(benchmark::State& state)
{
    Workspace& work = workspace();
    work.clean();
    measure(
        state, FileSize,
        [&work] {
            FileSplitter splitter(work.source(), PieceSize, true);
            return runToEnd(splitter) ? QString() : splitter.errorText();
        },
        [&work] { work.clean(); });
}
BENCHMARK(BM_Split)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_SplitCoreutils(benchmark::State& state)
{
    Workspace& work = workspace();
    work.clean();
    if (auto split = tool(state, QStringLiteral("split"),
                          {QStringLiteral("-b"), QString::number(PieceSize), QStringLiteral("-d"),
                           QStringLiteral("-a"), QStringLiteral("4"), work.source(),
                           work.path(QStringLiteral("piece."))}))
        measure(state, FileSize, split, [&work] { work.clean(); });
}
BENCHMARK(BM_SplitCoreutils)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_Join(benchmark::State& state)
{
    Workspace& work = workspace();
    work.preparePieces();
    const QString target = work.path(QStringLiteral("joined.bin"));
    measure(
        state, FileSize,
        [&target] {
            FileJoiner joiner(target, false);
            return runToEnd(joiner) ? QString() : joiner.errorText();
        },
        [&target] { QFile::remove(target); });
    work.clean();
}
BENCHMARK(BM_Join)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_JoinCoreutils(benchmark::State& state)
{
    Workspace& work = workspace();
    const QStringList pieces = work.preparePieces();
    const QString target = work.path(QStringLiteral("joined.bin"));
    if (auto cat = tool(state, QStringLiteral("cat"), pieces, target))
        measure(state, FileSize, cat, [&target] { QFile::remove(target); });
    work.clean();
}
BENCHMARK(BM_JoinCoreutils)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_Backup(benchmark::State& state)
{
    DatabaseWorkspace& work = databaseWorkspace();
    ProgramState program;
    DatabaseService service(program);
    if (auto opened = service.switchTo(work.live()); !opened)
        return state.SkipWithError(qPrintable(opened.error()));
    measure(
        state, QFileInfo(work.live()).size(), [&] { return problemOf(service.copyTo(work.copy())); },
        [&work] { QFile::remove(work.copy()); });
}
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BackupSqlite3(benchmark::State& state)
{
    DatabaseWorkspace& work = databaseWorkspace();
    if (auto sqlite3 = tool(state, QStringLiteral("sqlite3"),
                            {work.live(), QStringLiteral(".backup '%1'").arg(work.copy())}))
        measure(state, QFileInfo(work.live()).size(), sqlite3, [&work] { QFile::remove(work.copy()); });
}
BENCHMARK(BM_BackupSqlite3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Compact(benchmark::State& state)
{
    DatabaseWorkspace& work = databaseWorkspace();
    ProgramState program;
    DatabaseService service(program);
    if (auto opened = service.switchTo(work.live()); !opened)
        return state.SkipWithError(qPrintable(opened.error()));
    measure(state, QFileInfo(work.live()).size(), [&service] { return problemOf(service.compact()); });
}
BENCHMARK(BM_Compact)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CompactSqlite3(benchmark::State& state)
{
    DatabaseWorkspace& work = databaseWorkspace();
    if (auto sqlite3 = tool(state, QStringLiteral("sqlite3"), {work.live(), QStringLiteral("VACUUM")}))
        measure(state, QFileInfo(work.live()).size(), sqlite3);
}
BENCHMARK(BM_CompactSqlite3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
