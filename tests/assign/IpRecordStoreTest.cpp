#include "TestProgram.h"

#include "assign/AddressAssignment.h"
#include "assign/IpRecordStore.h"
#include "core/Sql.h"

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
    record.StateOwner = QStringLiteral("Selangor");
    record.DateIssue = QStringLiteral("05/12/2026");
    record.InputBy = QStringLiteral("Administrator");
    return record;
}

ReservationPlace place(const QString& stateOwner = QStringLiteral("Selangor"))
{
    return {Prefix, "Central", {}, stateOwner, "Klang", "05/12/2026", "Administrator"};
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
        auto saved = m_store->save(record);
        QVERIFY(saved && saved->saved());
        const IpRecord row = **m_store->byAddress(QStringLiteral("10.20.34.7"));
        QCOMPARE(row.rowId, saved->rowId);
        QCOMPARE(
            (QStringList{QString::number(row.IP_4), row.Project, row.DateIssue, row.InputBy, row.StateOwner}),
            (QStringList{"7", "Rollout", "05/12/2026", "Administrator", "Selangor"}));
        // Fields left empty are stored as empty texts; no unit leaves UnitDivision unset.
        QVERIFY(!row.FaxNo.isNull() && row.FaxNo.isEmpty() && !row.Floor.isNull() &&
                row.UnitDivision.isNull());
        QCOMPARE((*m_store->byHostName(QStringLiteral("pcsefklg07")))->rowId, row.rowId);

        // A row of a segment area has no owner state.
        record = assignment(QStringLiteral("10.20.34.8"), QStringLiteral("PC07ITD08"));
        record.StateOwner = QStringLiteral("");
        QVERIFY(m_store->save(record)->saved());
        QVERIFY((*m_store->byAddress(record.IP_Address))->StateOwner.isNull());
    }

    void prefixAndRange()
    {
        for (const char* address : {"10.20.34.100", "10.20.34.7", "10.20.34.10", "10.20.3.5", "10.20.35.7"})
            save(QLatin1String(address), QLatin1String(address));
        const auto addresses = [this](UsedListOrder order, Octet4Range range = {0, 255}) {
            QStringList list;
            const auto used = m_store->usedList(Prefix, range, order);
            for (const UsedAddress& row : *used)
                list << row.IP_Address;
            return list;
        };
        const QStringList inOrder{"10.20.34.7", "10.20.34.10", "10.20.34.100"};
        QCOMPARE(addresses(UsedListOrder::ByOctet4), inOrder);
        QCOMPARE(addresses(UsedListOrder::ByAddressLength), inOrder);
        QCOMPARE(addresses(UsedListOrder::ByOctet4, {8, 100}), inOrder.mid(1));
        QCOMPARE(*m_store->usedOctets(QStringLiteral("10.20.3."), {0, 255}), QList<int>{5});
        QVERIFY(!m_store->usedOctets(QStringLiteral("10.20.34"), {0, 255}).ok());

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
        QTest::addColumn<SaveProblem>("problem");
        QTest::addColumn<QString>("clash");
        QTest::newRow("name in another letter case")
            << "10.20.34.8"
            << "pcsefklg07" << SaveProblem::DuplicateHostName << QStringLiteral("10.20.34.7");
        // Another workstation saved the proposal meanwhile: its address is named before its host name.
        QTest::newRow("address and name taken") << "10.20.34.7"
                                                << "PCSEFKLG07" << SaveProblem::AddressTaken << QString();
        QTest::newRow("leading zero") << "10.20.34.08"
                                      << "X" << SaveProblem::MalformedAddress << QString();
        QTest::newRow("octet above 255") << "10.20.34.256"
                                         << "X" << SaveProblem::MalformedAddress << QString();
        QTest::newRow("three octets") << "10.20.34"
                                      << "X" << SaveProblem::MalformedAddress << QString();
    }
    void saveRefusals()
    {
        QFETCH(QString, address);
        QFETCH(QString, name);
        save(QStringLiteral("10.20.34.7"), QStringLiteral("PCSEFKLG07"));
        auto saved = m_store->save(assignment(address, name));
        QVERIFY(saved.ok());
        QTEST(saved->problem, "problem");
        QTEST(saved->clashAddress, "clash");
        QCOMPARE(rows(), 1);
    }

    void reservation_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("stateOwner");
        QTest::addColumn<bool>("written");
        QTest::newRow("empty /24") << SubnetMask252 << QString() << "Selangor" << true;
        QTest::newRow("segment area: no owner state") << SubnetMask252 << QString() << QString() << true;
        QTest::newRow("city range item") << cityRangeItem(10, 50) << QString() << "Selangor" << false;
        QTest::newRow("a /24 with a normal record")
            << SubnetMask252 << "10.20.34.80" << QStringLiteral("Selangor") << false;
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
        auto result =
            runSql(db(), QStringLiteral("SELECT IP_4, IP_Address, Name, Remarks, Type, Status, "
                                        "StateOwner IS NULL, Project IS NULL FROM IP_Info ORDER BY rowid"));
        QVERIFY(result.ok());
        for (int network = 0; network <= 252; network += 4) {
            for (const int octet : {network, network + 3}) {
                const QString kind =
                    octet == network ? QStringLiteral("Network") : QStringLiteral("Broadcast");
                QVERIFY(result->next());
                QStringList values;
                for (int column = 0; column < 8; ++column)
                    values << result->value(column).toString();
                QCOMPARE(values, (QStringList{QString::number(octet), Prefix + QString::number(octet),
                                              kind + "IP", kind + " IP", SubnetMask252, StatusPermanent,
                                              stateOwner.isEmpty() ? "1" : "0", "1"}));
            }
        }
        QVERIFY(!result->next());
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
