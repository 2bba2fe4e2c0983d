// Benchmarks of the assignment subsystem: the cost of a proposal must not grow with the IP_Info table.

#include "assign/AddressAssignment.h"
#include "assign/IpRecordStore.h"
#include "core/DatabaseConnection.h"
#include "core/DeliveredDatabase.h"
#include "core/Sql.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
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
    static std::map<int, std::unique_ptr<FilledDatabase>> built;
    auto& entry = built[rows];
    if (!entry)
        entry = std::make_unique<FilledDatabase>(rows);
    return *entry;
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
