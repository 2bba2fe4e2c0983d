#include "TestProgram.h"

#include "assign/AddressAssignment.h"
#include "assign/AssignLog.h"
#include "assign/IpRecordStore.h"
#include "core/DatabaseConnection.h"
#include "core/Sql.h"

#include <QFile>
#include <QSqlQuery>
#include <QTest>

using namespace tarvo;

namespace {

const QString Prefix = QStringLiteral("10.20.34.");

IpRecord assignment(const QString& address, const QString& name)
{
    IpRecord record;
    record.IP_Address = address;
    record.Name = name;
    record.Type = QStringLiteral("PC");
    record.Region = QStringLiteral("Central");
    record.Workgroup = QStringLiteral("Finance");
    record.Status = StatusPermanent;
    record.StateOwner = QStringLiteral("Selangor");
    record.CityOwner = QStringLiteral("Klang");
    record.DateIssue = QStringLiteral("05/12/2026");
    record.InputBy = QStringLiteral("Administrator");
    return record;
}

ReservationPlace place(const QString& stateOwner = QStringLiteral("Selangor"))
{
    return {Prefix,
            QStringLiteral("Central"),
            QString(),
            stateOwner,
            QStringLiteral("Klang"),
            QStringLiteral("05/12/2026"),
            QStringLiteral("Administrator")};
}

} // namespace

// The IP record table: the rows a save writes, the queries by place and range, the checks of a save and
// the reservation of a /24's network and broadcast addresses.
class IpRecordStoreTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TestProgram> m_program;
    std::unique_ptr<IpRecordStore> m_store;

    QSqlDatabase db() const { return m_program->database.handle(); }
    int rows() const
    {
        return querySingleValue(db(), QStringLiteral("SELECT count(*) FROM IP_Info"))->toInt();
    }
    void save(const QString& address, const QString& name)
    {
        auto saved = m_store->save(assignment(address, name));
        QVERIFY2(saved && saved->saved(), qPrintable(address));
    }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<test::TestProgram>();
        m_store = std::make_unique<IpRecordStore>(m_program->database);
    }
    void cleanup()
    {
        m_store.reset();
        m_program.reset();
    }

    void savedRowHoldsEveryField()
    {
        IpRecord record = assignment(QStringLiteral("10.20.34.7"), QStringLiteral("PCSEFKLG07"));
        record.IP_4 = 99; // the fourth octet follows the address
        record.Project = QStringLiteral("Rollout");
        record.TelNo = QStringLiteral("03-1234");
        auto saved = m_store->save(record);
        QVERIFY(saved && saved->saved());

        auto stored = m_store->byAddress(QStringLiteral("10.20.34.7"));
        QVERIFY(stored && *stored);
        const IpRecord& row = **stored;
        QCOMPARE(row.rowId, saved->rowId);
        QCOMPARE(row.IP_4, 7);
        QCOMPARE(row.Project, QStringLiteral("Rollout"));
        QCOMPARE(row.TelNo, QStringLiteral("03-1234"));
        QCOMPARE(row.DateIssue, QStringLiteral("05/12/2026"));
        QCOMPARE(row.InputBy, QStringLiteral("Administrator"));
        QCOMPARE(row.StateOwner, QStringLiteral("Selangor"));
        // Fields left empty are stored as empty texts; no unit leaves UnitDivision unset.
        QVERIFY(!row.FaxNo.isNull() && row.FaxNo.isEmpty());
        QVERIFY(!row.Floor.isNull());
        QVERIFY(row.UnitDivision.isNull());
        QCOMPARE((*m_store->byHostName(QStringLiteral("pcsefklg07")))->rowId, row.rowId);

        // A row of a segment area has no owner state.
        record = assignment(QStringLiteral("10.20.34.8"), QStringLiteral("PC07ITD08"));
        record.StateOwner = QStringLiteral("");
        QVERIFY(m_store->save(record)->saved());
        QVERIFY((*m_store->byAddress(record.IP_Address))->StateOwner.isNull());
    }

    void prefixAndRange()
    {
        save(QStringLiteral("10.20.34.100"), QStringLiteral("a"));
        save(QStringLiteral("10.20.34.7"), QStringLiteral("b"));
        save(QStringLiteral("10.20.34.10"), QStringLiteral("c"));
        save(QStringLiteral("10.20.3.5"), QStringLiteral("d"));
        save(QStringLiteral("10.20.35.7"), QStringLiteral("e"));

        const auto addresses = [this](UsedListOrder order, Octet4Range range = {0, 255}) {
            QStringList list;
            const auto used = m_store->usedList(Prefix, range, order);
            for (const UsedAddress& row : *used)
                list << row.IP_Address;
            return list;
        };
        const QStringList inOrder{QStringLiteral("10.20.34.7"), QStringLiteral("10.20.34.10"),
                                  QStringLiteral("10.20.34.100")};
        QCOMPARE(addresses(UsedListOrder::ByOctet4), inOrder);
        QCOMPARE(addresses(UsedListOrder::ByAddressLength), inOrder);
        QCOMPARE(addresses(UsedListOrder::ByOctet4, {8, 100}), inOrder.mid(1));
        QCOMPARE(*m_store->countOfPrefix(Prefix), 3);
        QCOMPARE(*m_store->countOfPrefix(QStringLiteral("10.20.3.")), 1);
        QCOMPARE(*m_store->maxOctet4(Prefix, {0, 99}), std::optional<int>(10));
        QCOMPARE(*m_store->maxOctet4(QStringLiteral("10.9.9.")), std::optional<int>());
        QVERIFY(!m_store->countOfPrefix(QStringLiteral("10.20.34")).ok());

        // The fourth octet is read from IP_4, never from the address text, and counted once.
        const QString insert = QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4) VALUES (?, ?)");
        QVERIFY(execSql(db(), insert, {QStringLiteral("10.20.34.0240"), 8}).ok());
        QVERIFY(execSql(db(), insert, {QStringLiteral("10.20.34.x"), 7}).ok());
        QCOMPARE(*m_store->usedOctets(Prefix, {0, 240}), (QList<int>{7, 8, 10, 100}));
        QCOMPARE(proposeNextFree(*m_store, Prefix, {7, 10}, false)->IPOctet4, std::optional<int>(9));
    }

    void saveRefusals_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("clash");
        QTest::newRow("name in another letter case")
            << "10.20.34.8"
            << "pcsefklg07" << int(SaveProblem::DuplicateHostName) << "10.20.34.7";
        QTest::newRow("address taken") << "10.20.34.7"
                                       << "PCSEFKLG08" << int(SaveProblem::AddressTaken) << "";
        QTest::newRow("leading zero") << "10.20.34.08"
                                      << "PCSEFKLG08" << int(SaveProblem::MalformedAddress) << "";
        QTest::newRow("octet above 255") << "10.20.34.256"
                                         << "PCSEFKLG08" << int(SaveProblem::MalformedAddress) << "";
        QTest::newRow("three octets") << "10.20.34"
                                      << "PCSEFKLG08" << int(SaveProblem::MalformedAddress) << "";
    }
    void saveRefusals()
    {
        QFETCH(QString, address);
        QFETCH(QString, name);
        QFETCH(int, problem);
        QFETCH(QString, clash);
        save(QStringLiteral("10.20.34.7"), QStringLiteral("PCSEFKLG07"));
        auto saved = m_store->save(assignment(address, name));
        QVERIFY(saved.ok());
        QCOMPARE(int(saved->problem), problem);
        QCOMPARE(saved->clashAddress, clash);
        QCOMPARE(rows(), 1);
    }

    void saveAssignmentLogsOnce()
    {
        const QDateTime now(QDate(2026, 12, 5), QTime(14, 5, 9));
        IpRecord record = assignment(QStringLiteral("10.20.34.7"), QStringLiteral("PCSEFKLG07"));
        record.DateIssue.clear();
        auto saved = saveAssignment(*m_store, record, QStringLiteral("Siti"), now, m_program->folder());
        QVERIFY(saved && saved->result.saved() && saved->logError.isEmpty());
        QCOMPARE((*m_store->byAddress(record.IP_Address))->DateIssue, QStringLiteral("05/12/2026"));
        QCOMPARE((*m_store->byAddress(record.IP_Address))->InputBy, QStringLiteral("Siti"));

        // A refused save logs nothing; a log that cannot be written keeps the saved row.
        QVERIFY(!saveAssignment(*m_store, record, QStringLiteral("Siti"), now, m_program->folder())
                     ->result.saved());
        QFile log(m_program->path(AssignLogFileName));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count("Date Assign : 05/12/2026 (14:05:09)"), 1);
        record.IP_Address = QStringLiteral("10.20.34.8");
        record.Name = QStringLiteral("PCSEFKLG08");
        saved = saveAssignment(*m_store, record, QStringLiteral("Siti"), now,
                               m_program->path(QStringLiteral("gone")));
        QVERIFY(saved && saved->result.saved() && !saved->logError.isEmpty());
        QCOMPARE(rows(), 2);
    }

    void reservation_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("stateOwner");
        QTest::addColumn<bool>("written");
        QTest::newRow("empty /24") << SubnetMask252 << ""
                                   << "Selangor" << true;
        QTest::newRow("segment area: no owner state") << SubnetMask252 << ""
                                                      << "" << true;
        QTest::newRow("city range item") << cityRangeItem(10, 50) << ""
                                         << "Selangor" << false;
        QTest::newRow("a /24 with a normal record") << SubnetMask252 << "10.20.34.80"
                                                    << "Selangor" << false;
    }
    void reservation()
    {
        QFETCH(QString, item);
        QFETCH(QString, existing);
        QFETCH(QString, stateOwner);
        QFETCH(bool, written);
        if (!existing.isEmpty())
            save(existing, QStringLiteral("PC80"));
        QCOMPARE(*m_store->ReserveSubnetAddresses(item, place(stateOwner)), written);
        QCOMPARE(rows(), written ? 128 : existing.isEmpty() ? 0 : 1);
        if (!written)
            return;

        auto result = runSql(db(), QStringLiteral("SELECT IP_4, IP_Address, Name, Remarks, Type, Status, "
                                                  "StateOwner, Project FROM IP_Info ORDER BY rowid"));
        QVERIFY(result.ok());
        QList<int> order;
        while (result->next()) {
            const QSqlQuery& query = *result;
            const int octet = query.value(0).toInt();
            const bool network = octet % 4 == 0;
            order << octet;
            QCOMPARE(query.value(1).toString(), Prefix + QString::number(octet));
            QCOMPARE(query.value(2).toString(),
                     network ? QStringLiteral("NetworkIP") : QStringLiteral("BroadcastIP"));
            QCOMPARE(query.value(3).toString(),
                     network ? QStringLiteral("Network IP") : QStringLiteral("Broadcast IP"));
            QCOMPARE(query.value(4).toString(), SubnetMask252);
            QCOMPARE(query.value(5).toString(), StatusPermanent);
            QCOMPARE(query.value(6).isNull(), stateOwner.isEmpty());
            QVERIFY(query.value(7).isNull());
        }
        QList<int> expected;
        for (int network = 0; network <= 252; network += 4)
            expected << network << network + 3;
        QCOMPARE(order, expected);
        QCOMPARE(proposeNextFree(*m_store, Prefix, SubnetMask252Range, true)->IPOctet4,
                 std::optional<int>(1));
        // A reserved /24 is never reserved again.
        QVERIFY(!*m_store->ReserveSubnetAddresses(SubnetMask252, place()));
        QCOMPARE(rows(), 128);
    }

    // A failure half-way stores none of the 128 rows, so that a later pick reserves the whole set.
    void reservationIsAllOrNothing()
    {
        QVERIFY(
            execSql(db(), QStringLiteral("CREATE TRIGGER full BEFORE INSERT ON IP_Info WHEN NEW.IP_4 = 100 "
                                         "BEGIN SELECT RAISE(ABORT, 'disk full'); END"))
                .ok());
        auto reserved = m_store->ReserveSubnetAddresses(SubnetMask252, place());
        QVERIFY(!reserved.ok());
        QVERIFY(reserved.error().contains(QLatin1String("disk full"), Qt::CaseInsensitive));
        QCOMPARE(rows(), 0);
        QVERIFY(execSql(db(), QStringLiteral("DROP TRIGGER full")).ok());
        QVERIFY(*m_store->ReserveSubnetAddresses(SubnetMask252, place()));
        QCOMPARE(rows(), 128);
    }
};

QTEST_GUILESS_MAIN(IpRecordStoreTest)
#include "IpRecordStoreTest.moc"
