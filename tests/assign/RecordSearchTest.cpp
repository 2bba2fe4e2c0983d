#include "TestProgram.h"

#include "assign/IpRecordStore.h"
#include "core/Sql.h"

#include <QTest>

using namespace tarvo;

namespace {

using Kind = RecordSearch::Kind;

// address, host name, remarks, user name, staff number, status, area, owner city; inserted in this
// order, so that rowids follow it.
const QStringList Rows[] = {
    {"10.1.11.5", "PCKLAM01", "O'Brien's desk", "Ali bin Abu", "S100", "Permanent", "Central", "Klang"},
    {"10.1.11.6", "PCKLAM02", "100% done", "a_b user", "S100", "Temporary", "Central", "Klang"},
    {"10.1.1.7", "PCKLAM03", "1000 done", "axb user", "S200", "temporary", "Central", "Klang"},
    {"10.1.10.5", "PCKLAM04", "back\\slash", "Siti", "s100", "Permanent", "Central", "Shah Alam"},
    {"10.1.100.5", "PCKLAM05", "", "", "", "", "Central", "Klang"},
    {"20.5.7.1", "PCKUC01", "Printer", "Wong", "S300", "Temporary", "Borneo", "Kuching"},
};

} // namespace

// The searches over the IP records, and the detail window's writes: what a search finds and in which
// order, texts taken literally, rows rewritten and deleted by rowid, all or none.
class RecordSearchTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TestProgram> m_program;
    std::unique_ptr<IpRecordStore> m_store;

    QSqlDatabase db() const { return m_program->database.handle(); }
    QStringList addresses(const QList<qint64>& rowIds) const
    {
        auto rows = m_store->listRows(rowIds);
        QStringList found;
        for (const RecordListRow& row : *rows)
            found << row.IP_Address;
        return found;
    }
    QString field(qint64 rowId, const QString& column) const
    {
        auto value = querySingleValue(
            db(), QStringLiteral("SELECT ifnull(%1, 'NULL') FROM IP_Info WHERE rowid = ?").arg(column),
            {rowId});
        return value->toString();
    }
    int count() const
    {
        return querySingleValue(db(), QStringLiteral("SELECT count(*) FROM IP_Info"))->toInt();
    }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<test::TestProgram>();
        m_store = std::make_unique<IpRecordStore>(m_program->database);
        for (const QStringList& row : Rows) {
            const QString address = row[0];
            QVERIFY(execSql(
                db(),
                QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4, Name, Remarks, Username, StaffNo, "
                               "Status, Region, CityOwner, UnitDivision, Floor, DateIssue, InputBy) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 'IT Unit', 'Level 3', "
                               "'01/01/2020', 'Old')"),
                {address, address.section('.', 3).toInt(), row[1], row[2], row[3], row[4], row[5], row[6],
                 row[7]}));
        }
    }
    void cleanup()
    {
        m_store.reset();
        m_program.reset();
    }

    void searchesFindTheirRowsInListOrder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QStringList>("found");
        const auto row = [](const char* name, Kind kind, const QString& text, const QStringList& found,
                            const QString& city = {}) {
            QTest::newRow(name) << int(kind) << text << city << found;
        };
        row("address, exact", Kind::Address, "10.1.11.5", {"10.1.11.5"});
        row("address begins: literal, by octet 4", Kind::AddressBegins, "10.1.1",
            {"10.1.11.5", "10.1.10.5", "10.1.100.5", "10.1.11.6", "10.1.1.7"});
        row("address begins: % is no wildcard", Kind::AddressBegins, "10.%", {});
        row("every temporary, letter case ignored", Kind::Temporary, {},
            {"20.5.7.1", "10.1.11.6", "10.1.1.7"});
        row("temporary of a beginning", Kind::TemporaryBegins, "10.", {"10.1.11.6", "10.1.1.7"});
        row("staff number, letter case ignored", Kind::StaffNo, "S100",
            {"10.1.11.5", "10.1.10.5", "10.1.11.6"});
        row("host name pcklam01 finds PCKLAM01", Kind::HostName, "pcklam01", {"10.1.11.5"});
        row("user name containing, letter case ignored", Kind::UsernameContains, "ALI", {"10.1.11.5"});
        row("user name: _ is no wildcard", Kind::UsernameContains, "a_b", {"10.1.11.6"});
        row("remarks with a quote", Kind::RemarksContains, "n's d", {"10.1.11.5"});
        row("remarks: % is no wildcard", Kind::RemarksContains, "100%", {"10.1.11.6"});
        row("remarks: backslash is itself", Kind::RemarksContains, "k\\s", {"10.1.10.5"});
        row("prefix 10.1.1. leaves out 10.1.10. and 10.1.100.", Kind::Prefix, "10.1.1.", {"10.1.1.7"});
        row("area and city, by address text", Kind::AreaCity, "central",
            {"10.1.1.7", "10.1.100.5", "10.1.11.5", "10.1.11.6"}, "KLANG");
        row("nothing", Kind::None, {}, {});
    }
    void searchesFindTheirRowsInListOrder()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, city);
        QFETCH(QStringList, found);
        const RecordSearch search = RecordSearch::of(Kind(kind), text, city);
        auto rows = m_store->find(search);
        QVERIFY2(rows, qPrintable(rows.error()));
        QCOMPARE(addresses(rows->rowIds), found);
        QVERIFY(rows->complete);
        QCOMPARE(*m_store->count(search), qint64(found.size()));

        // Read a part at a time, the list comes out the same: every row once, in order.
        QList<qint64> parts;
        QVariantList after;
        for (bool complete = false; !complete;) {
            auto part = m_store->find(search, after, 2);
            QVERIFY(part);
            parts += part->rowIds;
            after = part->last;
            complete = part->complete;
        }
        QCOMPARE(parts, rows->rowIds);
        if (!found.isEmpty())
            QCOMPARE((*m_store->firstFound(search))->IP_Address, found.first());
    }

    // Save writes what the window shows, today's date and the user; an empty status or unit keeps
    // the stored one; the address and the owner place never change; another row is untouched.
    void rewriteChangesOnlyItsRow()
    {
        const qint64 rowId = (*m_store->byAddress(QStringLiteral("10.1.11.6")))->rowId;
        IpRecord edited;
        edited.rowId = rowId;
        edited.IP_Address = QStringLiteral("9.9.9.9");
        edited.Region = QStringLiteral("Elsewhere");
        edited.Name = QStringLiteral("NEWNAME");
        edited.Floor = QString();
        edited.DateIssue = QStringLiteral("05/12/2026");
        edited.InputBy = QStringLiteral("Siti");
        QCOMPARE(*m_store->rewrite(edited), true);
        const QString columns[] = {"IP_Address", "IP_4",         "Region", "CityOwner", "Name",   "Remarks",
                                   "Status",     "UnitDivision", "Floor",  "DateIssue", "InputBy"};
        QStringList stored;
        for (const QString& column : columns)
            stored << field(rowId, column);
        QCOMPARE(stored, QStringList({"10.1.11.6", "6", "Central", "Klang", "NEWNAME", "", "Temporary",
                                      "IT Unit", "", "05/12/2026", "Siti"}));
        QCOMPARE(field(rowId - 1, "Name"), QStringLiteral("PCKLAM01"));

        edited.Status = QStringLiteral("Permanent");
        edited.UnitDivision = QStringLiteral("Sales");
        QVERIFY(*m_store->rewrite(edited));
        QCOMPARE(field(rowId, "Status") + field(rowId, "UnitDivision"), QStringLiteral("PermanentSales"));

        edited.rowId = 999;
        QCOMPARE(*m_store->rewrite(edited), false);
    }

    void removeRowsDeletesAllOrNone()
    {
        auto all = m_store->find(RecordSearch::of(Kind::AddressBegins, QStringLiteral("10.")));
        const QList<qint64> three = all->rowIds.mid(0, 3);
        QCOMPARE(*m_store->removeRows(three), qint64(3));
        QCOMPARE(count(), 3);
        QCOMPARE(*m_store->remove(three.first()), false); // gone already
        QCOMPARE(*m_store->remove(all->rowIds.at(3)), true);
    }
};

QTEST_GUILESS_MAIN(RecordSearchTest)
#include "RecordSearchTest.moc"
