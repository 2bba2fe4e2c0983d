#include "TestProgram.h"

#include "core/Sql.h"
#include "records/SearchReader.h"
#include "records/SearchResultModel.h"

#include <QTest>

using namespace tarvo;

namespace {

using Kind = RecordSearch::Kind;

// More rows than the search thread examines before it sorts the rest, inserted out of address order:
// octet 4 repeats (ties), is missing in some rows, and the rowid follows no octet.
constexpr int Rows = 30000;
static_assert(Rows > SearchReader::ExaminedRows * SearchReader::OrderedSteps);

} // namespace

// The result list lists every row of a search once and in the order of the whole query (by octet 4,
// or by address within a place, then by rowid), whether an index serves the search or a thread
// examines the rows and sorts the rare ones; each part adds at most its share of rows; the count comes.
class SearchOrderTest : public QObject
{
    Q_OBJECT

    test::TestProgram m_program;

    QList<qint64> ordered(const QString& where, const QString& order) const
    {
        auto query =
            runSql(m_program.database.handle(),
                   QStringLiteral("SELECT rowid FROM IP_Info WHERE %1 ORDER BY %2").arg(where, order));
        QList<qint64> rowIds;
        while (query->next())
            rowIds << query->value(0).toLongLong();
        return rowIds;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(execSql(
            m_program.database.handle(),
            QStringLiteral(
                "INSERT INTO IP_Info (IP_Address, IP_4, Name, Remarks, Username, StaffNo, Status, Region, "
                "CityOwner) WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?), "
                "m(j) AS (SELECT i * 7919 % ? FROM n) "
                "SELECT CASE WHEN j % 1000 = 3 THEN NULL ELSE '10.' || (j / 65536) || '.' || (j / 256 % 256) "
                "|| '.' || (j % 256) END, CASE WHEN j % 97 = 0 THEN NULL ELSE j % 256 END, 'PC' || (j % "
                "5000), "
                "CASE WHEN j % 5000 = 1 THEN 'Rare' ELSE 'Printer' END, 'User ' || j, "
                "CASE WHEN j % 2 = 0 THEN 'S' ELSE 's' END || (j % 3), "
                "CASE j % 3 WHEN 0 THEN 'Temporary' WHEN 1 THEN 'temporary' ELSE 'Permanent' END, "
                "CASE WHEN j % 4 = 0 THEN 'North' ELSE 'Central' END, CASE WHEN j % 5 = 0 THEN 'Ipoh' ELSE "
                "'Klang' END FROM m"),
            {Rows, Rows}));
    }

    void everyRowOnceInOrder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("where");
        const auto row = [](const char* name, Kind kind, const QString& text, const QString& where,
                            const QString& city = {}) {
            QTest::newRow(name) << int(kind) << text << city << where;
        };
        row("address", Kind::Address, "10.0.5.7", "IP_Address = '10.0.5.7'");
        row("every address", Kind::AddressBegins, "10.", "IP_Address LIKE '10.%'");
        row("addresses of a beginning", Kind::AddressBegins, "10.0.11", "IP_Address LIKE '10.0.11%'");
        row("every temporary", Kind::Temporary, {}, "Status = 'Temporary'");
        row("temporary of a beginning", Kind::TemporaryBegins, "10.0.",
            "IP_Address LIKE '10.0.%' AND Status = 'Temporary'");
        row("staff number", Kind::StaffNo, "s1", "StaffNo = 's1'");
        row("host name", Kind::HostName, "pc7", "Name = 'pc7'");
        row("user names", Kind::UsernameContains, "ser 1", "Username LIKE '%ser 1%'");
        row("remarks in most rows", Kind::RemarksContains, "rint", "Remarks LIKE '%rint%'");
        row("rare remarks", Kind::RemarksContains, "rare", "Remarks LIKE '%rare%'");
        row("prefix", Kind::Prefix, "10.0.5.", "IP_Address LIKE '10.0.5.%'");
        row("area and city", Kind::AreaCity, "central", "Region = 'central' AND CityOwner = 'KLANG'",
            "KLANG");
    }
    void everyRowOnceInOrder()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, city);
        QFETCH(QString, where);
        const QString order =
            Kind(kind) == Kind::AreaCity
                ? QStringLiteral("ifnull(IP_Address, '') COLLATE NOCASE, ifnull(IP_4, -1), rowid")
                : QStringLiteral("ifnull(IP_4, -1), rowid");
        const QList<qint64> expected = ordered(where, order);
        QVERIFY(!expected.isEmpty());

        SearchResultModel model(m_program.database, m_program.databaseService);
        QStringList outcomes;
        connect(&model, &SearchResultModel::settled, this, [&outcomes](const DbOutcome& outcome) {
            outcomes << (outcome ? QString() : outcome.error());
        });
        model.run(RecordSearch::of(Kind(kind), text, city));
        QTRY_COMPARE(outcomes, QStringList{QString()});
        QVERIFY(model.rowCount() <= SearchResultModel::PartRows);
        while (model.canFetchMore({}) || model.isReading()) {
            const int listed = model.rowCount();
            if (model.canFetchMore({}))
                model.fetchMore({});
            QVERIFY(QTest::qWaitFor([&model] { return !model.isReading(); }));
            QVERIFY(model.rowCount() > listed || !model.canFetchMore({}));
            QVERIFY(model.rowCount() - listed <= SearchResultModel::PartRows);
        }
        QCOMPARE(model.rowIdsBetween(0, model.rowCount() - 1), expected);
        QTRY_COMPARE(model.count(), qint64(expected.size()));
    }
};

QTEST_MAIN(SearchOrderTest)
#include "SearchOrderTest.moc"
