#include "TestProgram.h"

#include "core/Sql.h"
#include "plan/PlanStore.h"

#include <QTest>

using namespace tarvo;

namespace {

// The rows read as texts, or the database's error.
template <class Row, class Text>
QStringList texts(const DbResult<QList<Row>>& rows, Text text)
{
    if (!rows)
        return {"error: " + rows.error()};
    QStringList list;
    for (const Row& row : *rows)
        list << text(row);
    return list;
}

template <class Row, class Text>
QStringList texts(const DbResult<std::optional<Row>>& row, Text text)
{
    if (!row)
        return {"error: " + row.error()};
    return *row ? QStringList{text(**row)} : QStringList{};
}

QString areaText(const AreaRow& a)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(a.Region)
        .arg(a.AssignIP)
        .arg(int(a.Segment_ip))
        .arg(a.Abbr_segment);
}
QString stateText(const StateRow& s)
{
    return s.State_name + ' ' + s.Abbr_state + ' ' + s.Region;
}
QString cityText(const CityRow& c)
{
    return QStringLiteral("%1 %2 %3/%4 %5-%6")
        .arg(c.City_name, c.Abbr_city)
        .arg(c.IP_octet2)
        .arg(c.Offset ? QString::number(*c.Offset) : QStringLiteral("-"))
        .arg(c.StartIPRange)
        .arg(c.ToIPRange);
}
QString unitText(const UnitDivisionRow& u)
{
    return u.UnitDivision + ' ' + u.Floor;
}

} // namespace

class PlanStoreTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Every read the other windows rely on, over one plan that holds the awkward cases: names that
    // differ in letter case only, a state name in two areas, quotes, empty columns.
    void readsThePlan()
    {
        test::TestProgram p;
        const char* rows[] = {
            "INSERT INTO Region VALUES ('north', 11, 0, NULL), ('Central', 12, 0, 'OLD'),"
            " ('Sea''s Edge', 13, NULL, NULL)",
            "INSERT INTO State VALUES ('Perak', 'A', 'north'), ('Kedah', 'K', 'north'), ('Perak', 'P', "
            "'Central')",
            "INSERT INTO City VALUES ('Ipoh', 'IPH', 20, 10, NULL, NULL, 'A', 'north'),"
            " ('Taiping', 'TPG', 20, 20, 0, 0, 'A', 'North'), ('Alor', 'ALR', 21, NULL, 0, 0, 'K', 'north'),"
            " ('Annex', 'ANX', 90, 5, 200, 220, 'HQ', 'Headquarters')",
            "INSERT INTO Workgroup VALUES ('Sales', 'S', 2), ('Admin', 'A', 1)",
            "INSERT INTO Equipment VALUES ('Printer', 'PRN', 10, 20)",
            "INSERT INTO UnitDivision (UnitDivision, Floor, RegionOwner, StateOwner, CityOwner) VALUES"
            " ('Finance', '3', 'north', 'Perak', 'Ipoh'), ('Audit', '1', 'north', 'Kedah', 'Ipoh'),"
            " ('Audit', '2', 'Headquarters', '', 'IT Division')",
        };
        for (const char* sql : rows)
            QVERIFY(execSql(p.database.handle(), QString::fromLatin1(sql)));
        PlanStore store(p.database);
        auto name = [](const AreaRow& a) { return a.Region; };
        const QStringList allAreas{"Central", "Headquarters", "north", "Sea's Edge"};

        // Areas by name, letter case ignored; the choices of an area administrator and of the others.
        QCOMPARE(texts(store.areas(), name), allAreas);
        QCOMPARE(*store.areaChoices("north"), QStringList{"north"});
        QCOMPARE(*store.areaChoices({}), allAreas);
        // Areas with states leave out segmented and unset ones.
        QCOMPARE(texts(store.areasWithStates(), name), (QStringList{"Central", "north"}));
        QCOMPARE(texts(store.area("NORTH"), areaText), QStringList{"north 11 0 "});
        QCOMPARE(texts(store.area("Headquarters"), areaText), QStringList{"Headquarters 10 1 HQ"});
        QCOMPARE(texts(store.area("Sea's Edge"), name), QStringList{"Sea's Edge"});
        QCOMPARE(texts(store.area("South"), name), QStringList{});

        QCOMPARE(texts(store.statesOf("North"), stateText), (QStringList{"Kedah K north", "Perak A north"}));
        QCOMPARE(texts(store.allStates(), stateText),
                 (QStringList{"Kedah K north", "Perak A north", "Perak P Central"}));
        QCOMPARE(texts(store.state("perak", "Central"), stateText), QStringList{"Perak P Central"});

        // Cities of a state in both cases of the area, of a segment code, by name, code and area.
        const QStringList ipohTaiping{"Ipoh IPH 20/10 0-0", "Taiping TPG 20/20 0-0"};
        const QStringList segment{"Annex ANX 90/5 200-220", "IT Division ITD 100/- 0-0"};
        QCOMPARE(texts(store.citiesOf("a", "north"), cityText), ipohTaiping);
        QCOMPARE(texts(store.citiesOf("HQ", "Headquarters"), cityText), segment);
        QCOMPARE(texts(store.city("alor", "K", "north"), cityText), QStringList{"Alor ALR 21/- 0-0"});
        QCOMPARE(texts(store.city("Alor", "A", "north"), cityText), QStringList{});
        QCOMPARE(texts(store.allCities(), cityText).value(0), "IT Division ITD 100/- 0-0"); // stored order
        QCOMPARE(texts(store.citiesWithOctet2("A", "north", 20), cityText), ipohTaiping);
        QCOMPARE(texts(store.citiesByOctet2("HQ", "Headquarters"), cityText), segment);
        QVERIFY(*store.areaHasCities("NORTH") && !*store.areaHasCities("Central"));

        QCOMPARE(texts(store.workgroups(),
                       [](const WorkgroupRow& w) {
                           return w.Workgroup_name + w.Workgroup_code + QString::number(w.Octet_3);
                       }),
                 (QStringList{"AdminA1", "SalesS2"}));
        QCOMPARE(texts(store.workgroup("SALES"), [](const WorkgroupRow& w) { return w.Workgroup_code; }),
                 QStringList{"S"});
        QCOMPARE(texts(store.equipmentTypes(), [](const EquipmentRow& e) { return e.Eqp_name; }),
                 (QStringList{"PC", "Printer"}));
        QCOMPARE(
            texts(store.equipmentType("pc"),
                  [](const EquipmentRow& e) {
                      return QStringLiteral("%1 %2-%3").arg(e.Eqp_code).arg(e.Octet4_start).arg(e.Octet4_end);
                  }),
            QStringList{"PC 71-240"});

        // Units of a place with a state, of one without, and of a name.
        QCOMPARE(texts(store.unitsOf({"North", QStringLiteral("perak"), "ipoh"}), unitText),
                 QStringList{"Finance 3"});
        QCOMPARE(texts(store.unitsOf({"north", std::nullopt, "Ipoh"}), unitText),
                 (QStringList{"Audit 1", "Finance 3"}));
        QCOMPARE(texts(store.unitsNamed("audit", {"Headquarters", std::nullopt, "IT Division"}), unitText),
                 QStringList{"Audit 2"});

        // A read that fails reports the database's error.
        p.databaseService.close();
        QVERIFY(!store.areas().ok());
        QVERIFY(!store.areaChoices({}).ok());
        QCOMPARE(*store.areaChoices("north"), QStringList{"north"});
    }
};

QTEST_MAIN(PlanStoreTest)
#include "PlanStoreTest.moc"
