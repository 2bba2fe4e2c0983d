// Splitting and joining a 256 MiB file against the split and cat tools, and backing up, restoring and
// compacting a database of 1,000,000 IP records against the sqlite3 tool, each pair on the same file in
// the same run, with the longest freeze of the event loop during each database operation. Every working
// file lies in a temporary folder that goes at the end; a tool that is not installed skips its
// benchmark.

#include "core/AppState.h"
#include "core/DatabaseConnection.h"
#include "core/DatabaseService.h"
#include "core/DeliveredDatabase.h"
#include "core/Sql.h"
#include "maintenance/FilePieces.h"
#include "maintenance/PieceJobs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
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

// The number of IP records of the benchmarks' database: 1,000,000, or TARVO_BENCH_ROWS.
int databaseRows()
{
    bool number = false;
    const int rows = qEnvironmentVariableIntValue("TARVO_BENCH_ROWS", &number);
    return number && rows > 0 ? rows : 1000000;
}

// Makes a Tarvo database of rows IP records (about 450 bytes each) at path and opens it in service.
void makeDatabase(DatabaseService& service, const QString& path, int rows)
{
    if (auto created = createDeliveredDatabase(path); !created)
        qFatal("%s", qPrintable(created.error()));
    if (auto opened = service.switchTo(path); !opened)
        qFatal("%s", qPrintable(opened.error()));
    QSqlQuery insert(service.handle());
    insert.prepare(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
        "INSERT INTO IP_Info (IP_Address, IP_4, Name, Username, StaffNo, Remarks, DateIssue, InputBy) "
        "SELECT '10.' || (i >> 16) || '.' || ((i >> 8) & 255) || '.' || (i & 255), i & 255, "
        "'PC' || abs(random() % 1000) || 'ITD' || i, 'User ' || random(), abs(random() % 100000), "
        "printf('%.300c', char(97 + abs(random() % 26))), '01/02/2024', 'Administrator' FROM n"));
    insert.addBindValue(rows);
    if (!insert.exec())
        qFatal("cannot fill the database");
}

// A Tarvo database of databaseRows() IP records and its backup copy.
struct DatabaseWorkspace
{
    DatabaseWorkspace()
    {
        ProgramState program;
        DatabaseService service(program);
        makeDatabase(service, live(), databaseRows());
        if (auto copied = service.copyTo(copy()); !copied)
            qFatal("%s", qPrintable(copied.error()));
        // Everything written so far on the disk before the first benchmark starts, so that none pays
        // for writing it.
        ::sync();
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString live() const { return path(DatabaseFileName); }
    QString copy() const { return path(BackupDatabaseFileName); }
    QString otherCopy() const { return path(QStringLiteral("other.mdb")); }

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

// Runs a program to its end, its output into the file output when given; why it failed, or empty.
QString runProgram(const QString& program, const QStringList& arguments, const QString& output = {})
{
    QProcess process;
    process.setWorkingDirectory(QDir::tempPath());
    if (!output.isEmpty())
        process.setStandardOutputFile(output);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        return program + QStringLiteral(" failed");
    return QString();
}

// The path of a tool; empty when it is missing (the benchmark is then skipped).
QString findTool(benchmark::State& state, const QString& name)
{
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        state.SkipWithError(qPrintable(name + QStringLiteral(" is not installed")));
    return program;
}

// The operation that runs a tool; empty when the tool is missing (the benchmark is then skipped).
std::function<QString()> tool(benchmark::State& state, const QString& name, const QStringList& arguments,
                              const QString& output = {})
{
    const QString program = findTool(state, name);
    if (program.isEmpty())
        return {};
    return [program, arguments, output] { return runProgram(program, arguments, output); };
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

// split, then sync -d of its pieces: the pieces on the disk, as a split here leaves them.
void BM_SplitCoreutilsSynced(benchmark::State& state)
{
    Workspace& work = workspace();
    work.clean();
    const QString sync = findTool(state, QStringLiteral("sync"));
    auto split =
        tool(state, QStringLiteral("split"),
             {QStringLiteral("-b"), QString::number(PieceSize), QStringLiteral("-d"), QStringLiteral("-a"),
              QStringLiteral("4"), work.source(), work.path(QStringLiteral("piece."))});
    if (sync.isEmpty() || !split)
        return;
    measure(
        state, FileSize,
        [&work, &split, &sync] {
            if (const QString problem = split(); !problem.isEmpty())
                return problem;
            QStringList arguments{QStringLiteral("-d")};
            for (const QString& piece :
                 QDir(work.dir.path()).entryList({QStringLiteral("piece.*")}, QDir::Files))
                arguments << work.path(piece);
            return runProgram(sync, arguments);
        },
        [&work] { work.clean(); });
}
BENCHMARK(BM_SplitCoreutilsSynced)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

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

// cat, then sync -d of the output: the joined file on the disk, as a join here leaves it.
void BM_JoinCoreutilsSynced(benchmark::State& state)
{
    Workspace& work = workspace();
    const QStringList pieces = work.preparePieces();
    const QString target = work.path(QStringLiteral("joined.bin"));
    auto cat = tool(state, QStringLiteral("cat"), pieces, target);
    auto sync = tool(state, QStringLiteral("sync"), {QStringLiteral("-d"), target});
    if (cat && sync)
        measure(
            state, FileSize,
            [cat, sync] {
                const QString problem = cat();
                return problem.isEmpty() ? sync() : problem;
            },
            [&target] { QFile::remove(target); });
    work.clean();
}
BENCHMARK(BM_JoinCoreutilsSynced)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// How long another workstation's saves wait while the database, about 100 MB, is split again and again
// (splitting), or while nothing else happens: the sqlite3 tool inserts IP records, each in a
// transaction of its own with the program's busy time-out, and reports the longest time one took
// (longest_save_ms) and how many splits ran meanwhile. A save that fails ends the benchmark.
void measureSaves(benchmark::State& state, bool splitting)
{
    constexpr int Saves = 400;
    static QTemporaryDir dir;
    const QString live = dir.filePath(DatabaseFileName);
    if (!QFileInfo::exists(live)) {
        ProgramState program;
        DatabaseService service(program);
        makeDatabase(service, live, 146000);
        ::sync();
    }
    const QString sqlite3 = findTool(state, QStringLiteral("sqlite3"));
    if (sqlite3.isEmpty())
        return;
    QByteArray script;
    for (int n = 0; n < Saves; ++n)
        script += QStringLiteral("INSERT INTO IP_Info (IP_Address, Name) VALUES ('10.250.%1.%2', 'saved');\n")
                      .arg(n / 250)
                      .arg(n % 250)
                      .toUtf8();
    script += "DELETE FROM IP_Info WHERE Name = 'saved';\n";
    QFile scriptFile(dir.filePath(QStringLiteral("saves.sql")));
    if (!scriptFile.open(QIODevice::WriteOnly) || scriptFile.write(script) != script.size())
        return state.SkipWithError("cannot write the script of the saves");
    scriptFile.close();
    double longest = 0;
    int splits = 0;
    for (auto _ : state) {
        QProcess saver;
        saver.setStandardInputFile(scriptFile.fileName());
        saver.start(sqlite3, {QStringLiteral("-cmd"), QStringLiteral(".timeout %1").arg(DefaultBusyTimeoutMs),
                              QStringLiteral("-cmd"), QStringLiteral(".timer on"), live});
        while (splitting && !saver.waitForFinished(0)) {
            FileSplitter splitter(live, PieceSize, true);
            if (!runToEnd(splitter))
                return state.SkipWithError(qPrintable(splitter.errorText()));
            ++splits;
        }
        saver.waitForFinished(-1);
        const QByteArray errors = saver.readAllStandardError();
        if (saver.exitCode() != 0 || !errors.isEmpty())
            return state.SkipWithError(errors.constData());
        // "Run Time: real 0.002 user 0.000000 sys 0.000000", a line for each statement.
        for (const QByteArray& line : saver.readAllStandardOutput().split('\n')) {
            if (line.startsWith("Run Time: real "))
                longest = std::max(longest, line.split(' ').value(3).toDouble() * 1000);
        }
    }
    QFile::remove(live + QStringLiteral(".bat"));
    for (qint64 i = 1; QFile::remove(pieceName(live, i)); ++i) {
    }
    state.counters["longest_save_ms"] = longest;
    state.counters["splits"] = splits;
}

void BM_SplitDatabaseSaveWait(benchmark::State& state)
{
    measureSaves(state, true);
}
BENCHMARK(BM_SplitDatabaseSaveWait)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_SaveWaitAlone(benchmark::State& state)
{
    measureSaves(state, false);
}
BENCHMARK(BM_SaveWaitAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The live database open in a service of its own, as the program holds it.
struct LiveService
{
    explicit LiveService(benchmark::State& state, const QString& live)
    {
        if (auto opened = service.switchTo(live); !opened)
            state.SkipWithError(qPrintable(opened.error()));
    }
    ProgramState program;
    DatabaseService service{program};
};

void BM_Backup(benchmark::State& state)
{
    DatabaseWorkspace& work = databaseWorkspace();
    LiveService live(state, work.live());
    measure(
        state, QFileInfo(work.live()).size(),
        [&] { return problemOf(live.service.copyTo(work.otherCopy())); },
        [&work] { QFile::remove(work.otherCopy()); });
}
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->UseRealTime();

// The sqlite3 tool run on database with command, followed by SQLite's full check of the file checked, as
// the program checks every copy it makes, and the source of every restore, before the copy replaces
// anything. bytes and cleanup: as for measure.
void measureSqlite3Checked(benchmark::State& state, qint64 bytes, const QString& database,
                           const QString& command, const QString& checked,
                           const std::function<void()>& cleanup = {})
{
    DatabaseWorkspace& work = databaseWorkspace();
    const QString result = work.path(QStringLiteral("check.txt"));
    auto run = tool(state, QStringLiteral("sqlite3"), {database, command});
    auto check =
        tool(state, QStringLiteral("sqlite3"), {checked, QStringLiteral("PRAGMA integrity_check")}, result);
    if (!run || !check)
        return;
    measure(
        state, bytes,
        [&] {
            if (QString problem = run(); !problem.isEmpty())
                return problem;
            if (QString problem = check(); !problem.isEmpty())
                return problem;
            QFile checkedFile(result);
            return checkedFile.open(QIODevice::ReadOnly) && checkedFile.readAll().trimmed() == "ok"
                       ? QString()
                       : QStringLiteral("%1 is damaged").arg(checked);
        },
        cleanup);
}

// The tool's backup followed by the full check of the copy.
void BM_BackupSqlite3(benchmark::State& state)
{
    DatabaseWorkspace& work = databaseWorkspace();
    measureSqlite3Checked(state, QFileInfo(work.live()).size(), work.live(),
                          QStringLiteral(".backup '%1'").arg(work.otherCopy()), work.otherCopy(),
                          [&work] { QFile::remove(work.otherCopy()); });
}
BENCHMARK(BM_BackupSqlite3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Restore(benchmark::State& state)
{
    DatabaseWorkspace& work = databaseWorkspace();
    LiveService live(state, work.live());
    measure(state, QFileInfo(work.copy()).size(),
            [&] { return problemOf(live.service.replaceWith(work.copy())); });
}
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->UseRealTime();

// The tool's restore followed by the full check of the copy it restored from, the file the program
// checks while it restores.
void BM_RestoreSqlite3(benchmark::State& state)
{
    DatabaseWorkspace& work = databaseWorkspace();
    measureSqlite3Checked(state, QFileInfo(work.copy()).size(), work.live(),
                          QStringLiteral(".restore '%1'").arg(work.copy()), work.copy());
}
BENCHMARK(BM_RestoreSqlite3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs an operation of the live service once an iteration while a timer ticks as often as this
// thread's event loop lets it, and reports the longest time between two ticks (longest_gap_ms): how
// long the window would freeze. prepare, when given, runs before each operation, untimed.
void measureEventLoopGap(benchmark::State& state, const std::function<DbOutcome(DatabaseService&)>& operation,
                         const std::function<DbOutcome(DatabaseService&)>& prepare = {})
{
    DatabaseWorkspace& work = databaseWorkspace();
    LiveService live(state, work.live());
    qint64 longest = 0;
    for (auto _ : state) {
        if (prepare) {
            state.PauseTiming();
            const DbOutcome prepared = prepare(live.service);
            state.ResumeTiming();
            if (!prepared) {
                state.SkipWithError(qPrintable(prepared.error()));
                break;
            }
        }
        QElapsedTimer clock;
        qint64 last = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        tick.start();
        if (auto done = operation(live.service); !done) {
            state.SkipWithError(qPrintable(done.error()));
            break;
        }
        longest = std::max(longest, clock.elapsed() - last);
        QFile::remove(work.otherCopy());
    }
    state.counters["longest_gap_ms"] = static_cast<double>(longest);
}

void BM_EventLoopGap_Backup(benchmark::State& state)
{
    measureEventLoopGap(
        state, [](DatabaseService& service) { return service.copyTo(databaseWorkspace().otherCopy()); });
}
BENCHMARK(BM_EventLoopGap_Backup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_EventLoopGap_Restore(benchmark::State& state)
{
    measureEventLoopGap(
        state, [](DatabaseService& service) { return service.replaceWith(databaseWorkspace().copy()); });
}
BENCHMARK(BM_EventLoopGap_Restore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_EventLoopGap_Compact(benchmark::State& state)
{
    measureEventLoopGap(state, [](DatabaseService& service) { return service.compact(); });
}
BENCHMARK(BM_EventLoopGap_Compact)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Switching to a database of databaseRows() records that lacks the indexes the search reads by (as one
// from before them does): the switch builds them.
void BM_SchemaUpgradeLongestGap(benchmark::State& state)
{
    measureEventLoopGap(
        state,
        [](DatabaseService& service) { return service.switchTo(databaseWorkspace().live()).outcome(); },
        [](DatabaseService& service) {
            for (const char* index : {"IP_Info_Octet4", "IP_Info_Status_Octet4", "IP_Info_StaffNo_Octet4",
                                      "IP_Info_Name_Octet4", "IP_Info_Place_Address"}) {
                if (auto dropped = execSql(service.handle(), QStringLiteral("DROP INDEX %1").arg(index));
                    !dropped)
                    return dropped;
            }
            return DbOutcome::success();
        });
}
BENCHMARK(BM_SchemaUpgradeLongestGap)
    ->Arg(databaseRows())
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_Compact(benchmark::State& state)
{
    DatabaseWorkspace& work = databaseWorkspace();
    LiveService live(state, work.live());
    measure(state, QFileInfo(work.live()).size(), [&live] { return problemOf(live.service.compact()); });
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
