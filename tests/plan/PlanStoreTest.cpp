#include "TestProgram.h"

#include "core/Sql.h"
#include "plan/PlanStore.h"

#include <QTest>

#include <functional>

using namespace tarvo;

namespace {

// Names of rows, to compare a read at a glance.
template <class Row, class Name>
DbResult<QStringList> names(const DbResult<QList<Row>>& rows, Name name)
{
    if (!rows)
        return rows.failure();
    QStringList list;
    for (const Row& row : *rows)
        list << name(row);
    return list;
}

template <class Row, class Name>
DbResult<QStringList> one(const DbResult<std::optional<Row>>& row, Name name)
{
    if (!row)
        return row.failure();
    return *row ? QStringList{name(**row)} : QStringList{};
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
        auto areaName = [](const AreaRow& a) { return a.Region; };
        auto stateText = [](const StateRow& s) { return s.State_name + ' ' + s.Abbr_state + ' ' + s.Region; };
        auto unitText = [](const UnitDivisionRow& u) { return u.UnitDivision + ' ' + u.Floor; };

        struct Case
        {
            const char* what;
            std::function<DbResult<QStringList>()> read;
            QStringList expected;
        };
        const Case cases[] = {
            {"areas by name, letter case ignored",
             [&] { return names(store.areas(), areaName); },
             {"Central", "Headquarters", "north", "Sea's Edge"}},
            {"an area administrator's choice", [&] { return store.areaChoices("north"); }, {"north"}},
            {"every area to choose from",
             [&] { return store.areaChoices({}); },
             {"Central", "Headquarters", "north", "Sea's Edge"}},
            {"areas with states leave out segmented and unset ones",
             [&] { return names(store.areasWithStates(), areaName); },
             {"Central", "north"}},
            {"area by name in another case",
             [&] {
                 return one(store.area("NORTH"), [](const AreaRow& a) {
                     return QStringLiteral("%1 %2 %3").arg(a.Region).arg(a.AssignIP).arg(a.Segment_ip);
                 });
             },
             {"north 11 0"}},
            {"area with a quote", [&] { return one(store.area("Sea's Edge"), areaName); }, {"Sea's Edge"}},
            {"segment code of the delivered area",
             [&] { return one(store.area("Headquarters"), [](const AreaRow& a) { return a.Abbr_segment; }); },
             {"HQ"}},
            {"no such area", [&] { return one(store.area("South"), areaName); }, {}},
            {"states of an area by name",
             [&] { return names(store.statesOf("North"), stateText); },
             {"Kedah K north", "Perak A north"}},
            {"every state",
             [&] { return names(store.allStates(), stateText); },
             {"Kedah K north", "Perak A north", "Perak P Central"}},
            {"state by name within its area",
             [&] { return one(store.state("perak", "Central"), stateText); },
             {"Perak P Central"}},
            {"cities of a state in both cases of the area",
             [&] { return names(store.citiesOf("a", "north"), cityText); },
             {"Ipoh IPH 20/10 0-0", "Taiping TPG 20/20 0-0"}},
            {"cities of a segment code",
             [&] { return names(store.citiesOf("HQ", "Headquarters"), cityText); },
             {"Annex ANX 90/5 200-220", "IT Division ITD 100/- 0-0"}},
            {"city by name, code and area",
             [&] { return one(store.city("alor", "K", "north"), cityText); },
             {"Alor ALR 21/- 0-0"}},
            {"city of another state is not found",
             [&] { return one(store.city("Alor", "A", "north"), cityText); },
             {}},
            {"every city in stored order",
             [&] { return names(store.allCities(), cityText).value().mid(0, 1); },
             {"IT Division ITD 100/- 0-0"}},
            {"cities using an octet 2",
             [&] { return names(store.citiesWithOctet2("A", "north", 20), cityText); },
             {"Ipoh IPH 20/10 0-0", "Taiping TPG 20/20 0-0"}},
            {"cities by octet 2",
             [&] { return names(store.citiesByOctet2("HQ", "Headquarters"), cityText); },
             {"Annex ANX 90/5 200-220", "IT Division ITD 100/- 0-0"}},
            {"area with and without cities",
             [&] {
                 return DbResult<QStringList>(QStringList{QString::number(*store.areaHasCities("NORTH")),
                                                          QString::number(*store.areaHasCities("Central"))});
             },
             {"1", "0"}},
            {"work groups by name",
             [&] {
                 return names(store.workgroups(), [](const WorkgroupRow& w) {
                     return w.Workgroup_name + ' ' + w.Workgroup_code + QString::number(w.Octet_3);
                 });
             },
             {"Admin A1", "Sales S2"}},
            {"work group by name",
             [&] {
                 return one(store.workgroup("SALES"), [](const WorkgroupRow& w) { return w.Workgroup_code; });
             },
             {"S"}},
            {"equipment types by name",
             [&] { return names(store.equipmentTypes(), [](const EquipmentRow& e) { return e.Eqp_name; }); },
             {"PC", "Printer"}},
            {"equipment type by name",
             [&] {
                 return one(store.equipmentType("pc"), [](const EquipmentRow& e) {
                     return QStringLiteral("%1 %2-%3").arg(e.Eqp_code).arg(e.Octet4_start).arg(e.Octet4_end);
                 });
             },
             {"PC 71-240"}},
            {"units of a place with a state",
             [&] {
                 return names(store.unitsOf({"North", QStringLiteral("perak"), "ipoh"}), unitText);
             },
             {"Finance 3"}},
            {"units of a place without a state",
             [&] {
                 return names(store.unitsOf({"north", std::nullopt, "Ipoh"}), unitText);
             },
             {"Audit 1", "Finance 3"}},
            {"units of a name",
             [&] {
                 return names(store.unitsNamed("audit", {"Headquarters", std::nullopt, "IT Division"}),
                              unitText);
             },
             {"Audit 2"}},
        };
        for (const Case& c : cases) {
            const DbResult<QStringList> read = c.read();
            QVERIFY2(read.ok(), c.what);
            QVERIFY2(*read == c.expected, qPrintable(QStringLiteral("%1: %2").arg(c.what, read->join('|'))));
        }

        // A read that fails reports the database's error.
        p.databaseService.close();
        QVERIFY(!store.areas().ok());
        QVERIFY(!store.areaChoices({}).ok());
        QCOMPARE(*store.areaChoices("north"), QStringList{"north"});
    }
};

QTEST_MAIN(PlanStoreTest)
#include "PlanStoreTest.moc"
