// Benchmarks of the assignment subsystem: the cost of a proposal must not grow with the IP_Info table.

#include "FakePinger.h"
#include "FakeProbes.h"
#include "SharedFixtures.h"
#include "TestProgram.h"

#include "assign/AddressAssignment.h"
#include "assign/BulkRun.h"
#include "assign/IpRecordStore.h"
#include "assign/SelectionPage.h"
#include "assign/frmTarvoMain.h"
#include "core/DatabaseConnection.h"
#include "core/DeliveredDatabase.h"
#include "core/Sql.h"
#include "probe/ProbeKit.h"
#include "probe/ProbeState.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tarvo;

const QString ProposedPrefix = QStringLiteral("10.250.1.");
constexpr Octet4Range PcRange{71, 240};

// A database of a given number of IP_Info rows, 170 to a place (10.x.y.71 to .240), and the proposed
// place 10.250.1. holding every address of the PC range but .100, so that the proposal walks the gaps.
class FilledDatabase
{
public:
    explicit FilledDatabase(int rows)
    {
        const QString path = m_dir.filePath(QStringLiteral("Tarvodb.mdb"));
        if (auto created = createDeliveredDatabase(path); !created)
            qFatal("%s", qPrintable(created.error()));
        if (auto opened = m_connection.open(path); !opened)
            qFatal("%s", qPrintable(opened.error()));
        const QSqlDatabase db = m_connection.handle();
        WriteTransaction transaction(db);
        transaction.begin();
        const QString fill =
            QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4, Name, Type, Region, Status, CityOwner, "
                           "DateIssue, InputBy) "
                           "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
                           "SELECT '10.' || (i / 170 / 256) || '.' || (i / 170 % 256) || '.' || (71 + i % "
                           "170), 71 + i % 170, "
                           "'PC' || i, 'PC', 'Area', 'Permanent', 'City', '05/12/2026', 'Bench' FROM n");
        const int spread = rows - (PcRange.RangeSize() - 1);
        if (auto filled = execSql(db, fill, {spread}); !filled)
            qFatal("%s", qPrintable(filled.error()));
        for (int octet = PcRange.Octet4Start; octet <= PcRange.Octet4End; ++octet) {
            if (octet == 100)
                continue;
            execSql(
                db, QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4, Name) VALUES (?, ?, ?)"),
                {ProposedPrefix + QString::number(octet), octet, QStringLiteral("PROPOSED%1").arg(octet)});
        }
        if (auto committed = transaction.commit(); !committed)
            qFatal("%s", qPrintable(committed.error()));
    }

    const DatabaseConnection& connection() const { return m_connection; }

private:
    QTemporaryDir m_dir;
    DatabaseConnection m_connection;
};

const FilledDatabase& database(int rows)
{
    return bench::SharedFixtures::sized<FilledDatabase>(rows);
}

// One New-mode proposal without its ping: the store's query of the range and the gap walk.
void BM_ProposeNextFree(benchmark::State& state)
{
    const IpRecordStore store(database(static_cast<int>(state.range(0))).connection());
    for (auto _ : state) {
        auto free = proposeNextFree(store, ProposedPrefix, PcRange, false);
        if (!free || free->IPOctet4 != 100)
            state.SkipWithError("wrong proposal");
        benchmark::DoNotOptimize(free);
    }
}
BENCHMARK(BM_ProposeNextFree)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The assignment window of a program folder whose place Central, Kedah, Amstown, LAN (10.20.34.) has an
// equipment type "Block" over the whole fourth octet, with a run of 256 addresses asked for. Every
// question is answered with its default button (OK, Yes, Yes): the run saves by itself. The pinger
// reports at once that no device answers.
class AutoRunWindow
{
public:
    AutoRunWindow()
    {
        program.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"), GroupSistem);
        for (const char* sql : {"INSERT INTO Region VALUES ('Central', 10, 0, '')",
                                "INSERT INTO State VALUES ('Kedah', 'K', 'Central')",
                                "INSERT INTO City (City_name, Abbr_city, IP_octet2, Offset, StartIPRange, "
                                "ToIPRange, Abbr_state, Region) VALUES ('Amstown', 'AMS', 20, 30, 0, 0, 'K', "
                                "'Central')",
                                "INSERT INTO Workgroup VALUES ('LAN', 'L', 4)",
                                "INSERT INTO Equipment VALUES ('Block', 'BLK', 0, 255)"}) {
            if (auto done = execSql(program.database.handle(), QString::fromLatin1(sql)); !done)
                qFatal("%s", qPrintable(done.error()));
        }
        AssignmentServices services{probes, [](QWidget*, AssignmentWindowLink&) {}, {}, {}, {}};
        window = std::make_unique<frmTarvoMain>(program.context, services);
        window->show();
        auto* selection = window->findChild<SelectionPage*>();
        choose("cboRegion", QStringLiteral("Central"), [selection] { selection->cboRegion_Click(); });
        choose("cboCity", QStringLiteral("Amstown"), [selection] { selection->cboCity_Click(); });
        choose("cboWorkGroup", QStringLiteral("LAN"), [selection] { selection->cboWorkGroup_Click(); });
        window->findChild<QLineEdit*>(QStringLiteral("txtBilangan"))->setText(QStringLiteral("256"));
    }

    // One run: the pick, the first save, the questions, then 255 proposals saved by themselves.
    bool run()
    {
        choose("cboEquipment", QStringLiteral("Block"), [this] { window->cboEquipment_Click(); });
        auto* save = window->findChild<QPushButton*>(QStringLiteral("cmdSave"));
        while (!save->isEnabled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QEventLoop loop;
        auto* run = window->findChild<BulkRun*>();
        QObject::connect(run, &BulkRun::finished, &loop, &QEventLoop::quit);
        QObject::connect(run, &BulkRun::stopped, &loop, &QEventLoop::quit);
        window->cmdSave_Click();
        loop.exec();
        return recorded() == 256;
    }

    // Back to an empty place and an empty log.
    void reset()
    {
        execSql(program.database.handle(), QStringLiteral("DELETE FROM IP_Info"));
        QDir(program.folder()).remove(AssignLogFileName);
    }

private:
    void choose(const char* list, const QString& entry, const std::function<void()>& step)
    {
        auto* box = window->findChild<QComboBox*>(QString::fromLatin1(list));
        box->setCurrentIndex(box->findText(entry));
        step();
    }
    int recorded() const
    {
        auto count =
            querySingleValue(program.database.handle(), QStringLiteral("SELECT count(*) FROM IP_Info"));
        return count ? count->toInt() : -1;
    }

    test::TestProgram program;
    test::FakePinger pinger;
    test::FakeHostResolver resolver;
    test::FakeNodeStatusService nodeStatus;
    test::FakeBannerService banners;
    ProbeState probeState;
    ProbeKit probes{probeState, pinger, {resolver, nodeStatus, banners, program.messenger}};
    std::unique_ptr<frmTarvoMain> window;
};

// An automatic run of 256 addresses in the window: for each address the used list, the gap walk, the
// four echo requests (answered at once), the proposal, the host-name check, the save, the log block and
// the list after the save.
void BM_AutoRun256(benchmark::State& state)
{
    AutoRunWindow window;
    for (auto _ : state) {
        if (!window.run())
            state.SkipWithError("the run did not save 256 records");
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["per_address"] =
        benchmark::Counter(256, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AutoRun256)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
