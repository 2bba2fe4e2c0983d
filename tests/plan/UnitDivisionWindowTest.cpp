#include "FakeMainWindow.h"
#include "ModalDialogs.h"
#include "PlanTestKit.h"

#include "plan/SettingsPage.h"
#include "plan/UnitDivisionWindows.h"
#include "plan/frmUnitDivision.h"

using namespace tarvo;

namespace {

// The units window over a plan with a segmented area (the delivered "Headquarters"), an area with one
// state, one with two and one without states of its own; "Finance" stands twice in Ipoh.
struct UnitWindow : test::PlanWindow<frmUnitDivision>
{
    explicit UnitWindow(const QString& region = {})
    {
        program.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"),
                         region.isEmpty() ? GroupSistem : GroupKawasan, region);
        exec("INSERT INTO Region VALUES ('North', 11, 0, NULL), ('East', 12, 0, NULL), ('South', 13, 0, "
             "NULL)");
        exec("INSERT INTO State VALUES ('Perak', 'A', 'North'), ('Kelantan', 'D', 'East'), "
             "('Terengganu', 'T', 'East')");
        exec("INSERT INTO City (City_name, Abbr_city, IP_octet2, Abbr_state, Region) VALUES "
             "('Ipoh', 'IPH', 1, 'A', 'North'), ('Taiping', 'TPG', 2, 'A', 'North'), "
             "('Kota Bharu', 'KBR', 3, 'D', 'East')");
        exec("INSERT INTO UnitDivision (UnitDivision, Floor, RegionOwner, StateOwner, CityOwner) VALUES "
             "('Finance', '1', 'North', 'Perak', 'Ipoh'), ('Audit', '3', 'North', 'Perak', 'Ipoh'), "
             "('Finance', '2', 'North', 'Perak', 'Ipoh'), ('Helpdesk', 'G', 'Headquarters', NULL, "
             "'IT Division')");
    }
    // A drop-down list's items and its chosen one ("" when none), as "a,b,c / chosen".
    QString box(const char* name) const
    {
        return items(name).join(',') + " / " + child<QComboBox>(name)->currentText();
    }
    void choose(const char* name, const QString& item) const { test::pick(window, name, item); }
    void place(const QString& area, const QString& city) const
    {
        choose("cboRegion", area);
        choose("cboCity", city);
    }
    QStringList units() const { return listed("lstUnitDivision"); }
    void pickUnit(int row) const
    {
        auto* list = child<QListWidget>("lstUnitDivision");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    // The stored units, in stored order, as "name/floor/street/owner area/state/city" (NULL as "-").
    QString stored() const
    {
        return row("SELECT group_concat(UnitDivision || '/' || ifnull(Floor, '') || '/' || "
                   "ifnull(Roadname, '') || '/' || RegionOwner || '/' || ifnull(StateOwner, '-') "
                   "|| '/' || CityOwner, ' ') FROM (SELECT * FROM UnitDivision ORDER BY rowid)");
    }
};

const QString Stored = "Finance/1//North/Perak/Ipoh Audit/3//North/Perak/Ipoh Finance/2//North/Perak/Ipoh "
                       "Helpdesk/G//Headquarters/-/IT Division";

} // namespace

class UnitDivisionWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The choice of an area fills the next level and offers "Add", with or without a city. A unit added
    // to a place with a state names the state; in a segmented area it has none (NULL); without a city
    // its city is empty.
    void placeChoicesAndAdd_data()
    {
        QTest::addColumn<QString>("loginRegion");
        QTest::addColumn<QString>("area"); // picked in menu mode; empty: given by the login
        QTest::addColumn<QString>("areas");
        QTest::addColumn<bool>("stateShown");
        QTest::addColumn<QString>("states");
        QTest::addColumn<QString>("cities");
        QTest::addColumn<QString>(
            "city"); // chosen then ("" none), for a unit added: its state shown and its row
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("added");
        const QString all = "East,Headquarters,North,South / ";
        // clang-format off
        QTest::newRow("area administrator") << "North" << "" << "North / North" << true << "Perak / Perak"
            << "Ipoh,Taiping / " << "" << "" << "";
        QTest::newRow("one state: chosen at once") << "" << "North" << all + "North" << true << "Perak / Perak"
            << "Ipoh,Taiping / " << "Taiping" << "Perak" << "Legal/4//North/Perak/Taiping";
        QTest::newRow("two states, no city") << "" << "East" << all + "East" << true << "Kelantan,Terengganu / "
            << " / " << "" << "" << "Legal/4//East//";
        QTest::newRow("no states of its own: every state") << "" << "South" << all + "South" << true
            << "Kelantan,Perak,Terengganu / " << " / " << "" << "" << "";
        QTest::newRow("segmented: no state") << "" << "Headquarters" << all + "Headquarters" << false << " / "
            << "IT Division / " << "IT Division" << "" << "Legal/4//Headquarters/-/IT Division";
        // clang-format on
    }
    void placeChoicesAndAdd()
    {
        QFETCH(QString, loginRegion);
        QFETCH(QString, area);
        QFETCH(QString, city);
        UnitWindow w(loginRegion);
        w.open();
        if (!area.isEmpty())
            w.choose("cboRegion", area);
        QTEST(w.box("cboRegion"), "areas");
        QTEST(!w.child<QWidget>("cboState")->isHidden(), "stateShown");
        QCOMPARE(w.child<QWidget>("lblState")->isHidden(), w.child<QWidget>("cboState")->isHidden());
        QTEST(w.box("cboState"), "states");
        QTEST(w.box("cboCity"), "cities");
        QVERIFY(w.enabled("cmdTambah"));
        QFETCH(QString, added);
        if (added.isEmpty())
            return;
        if (!city.isEmpty())
            w.choose("cboCity", city);
        w.click("cmdTambah");
        QCOMPARE(w.text("txtBandar"), city);
        QTEST(w.text("txtNegeri"), "state");
        QVERIFY(!w.enabled("cboRegion") && !w.enabled("cboCity") && !w.enabled("lstUnitDivision"));
        w.type("txtUnitDivision", "Legal");
        w.type("txtTingkat", "4");
        w.click("cmdSimpan");
        QCOMPARE(w.messages(), QStringList{PlanText::SaveQuestion});
        QCOMPARE(w.stored(), Stored + ' ' + added);
        QVERIFY(w.units().contains("Legal"));
        QVERIFY(w.enabled("cboRegion") && w.enabled("cboCity") && !w.enabled("txtUnitDivision"));
    }

    // Of two units with one name, the one clicked is shown, changed and deleted.
    void sameNamesActOnTheClickedUnit()
    {
        UnitWindow w;
        w.open();
        w.place("North", "Ipoh");
        QCOMPARE(w.units(), (QStringList{"Audit", "Finance", "Finance"}));
        w.pickUnit(2);
        QCOMPARE(w.text("txtTingkat"), "2");
        w.click("cmdKemaskini");
        w.type("txtJalan", "Jalan Dua");
        w.click("cmdSimpan");
        QCOMPARE(w.stored(), QString(Stored).replace("Finance/2//", "Finance/2/Jalan Dua/"));
        QVERIFY(!w.enabled("cmdKemaskini") && !w.enabled("cmdHapus"));

        w.pickUnit(2);
        QCOMPARE(w.text("txtJalan"), "Jalan Dua");
        w.click("cmdHapus");
        QCOMPARE(w.messages().last(), PlanText::DeleteQuestion);
        QCOMPARE(w.stored(), QString(Stored).remove("Finance/2//North/Perak/Ipoh "));
        QCOMPARE(w.units(), (QStringList{"Audit", "Finance"}));
    }

    // "Update" and "Delete" act only on a unit of the place shown.
    void anotherPlaceForgetsTheUnit_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("choice");
        QTest::newRow("city") << "cboCity"
                              << "Taiping";
        QTest::newRow("area") << "cboRegion"
                              << "East";
    }
    void anotherPlaceForgetsTheUnit()
    {
        QFETCH(QString, box);
        QFETCH(QString, choice);
        UnitWindow w;
        w.open();
        w.place("North", "Ipoh");
        w.pickUnit(0);
        QVERIFY(w.enabled("cmdKemaskini") && w.enabled("cmdHapus"));
        w.choose(box.toLatin1(), choice);
        QVERIFY(!w.enabled("cmdKemaskini") && !w.enabled("cmdHapus"));
        QCOMPARE(w.text("txtUnitDivision"), "");
        QCOMPARE(w.units(), QStringList{});
        QVERIFY(w.enabled("cmdTambah"));
    }

    // A unit deleted at another workstation after it was picked: its rowid, taken by a new unit of the
    // same name in another place or of another name in the same place, is left alone.
    void unitGoneMeanwhileIsNotMistaken_data()
    {
        QTest::addColumn<QString>("newcomer");
        QTest::newRow("same name, another place") << "'Helpdesk', '5', 'North', 'Perak', 'Ipoh'";
        QTest::newRow("another name, same place") << "'Legal', '5', 'Headquarters', NULL, 'IT Division'";
    }
    void unitGoneMeanwhileIsNotMistaken()
    {
        QFETCH(QString, newcomer);
        UnitWindow w;
        w.open();
        w.place("Headquarters", "IT Division");
        w.pickUnit(0);
        w.exec("DELETE FROM UnitDivision WHERE UnitDivision = 'Helpdesk'");
        w.exec("INSERT INTO UnitDivision (rowid, UnitDivision, Floor, RegionOwner, StateOwner, CityOwner) "
               "VALUES (4, " +
               newcomer + ")");
        const QString stored = w.stored();
        w.click("cmdHapus");
        QCOMPARE(w.messages(), (QStringList{PlanText::DeleteQuestion, PlanText::RowGone}));
        QCOMPARE(w.stored(), stored);
    }

    void emptyNameIsRefused()
    {
        UnitWindow w;
        w.open();
        w.place("North", "Ipoh");
        w.click("cmdTambah");
        w.type("txtJalan", "Jalan Satu");
        w.click("cmdSimpan");
        QCOMPARE(w.messages(), QStringList{"Please enter Unit / Division !"});
        QCOMPARE(w.program.messenger.last().title, "Error !");
        QCOMPARE(QApplication::focusWidget()->objectName(), "txtUnitDivision");
        QVERIFY(w.visible("frameSimpan"));
        QCOMPARE(w.text("txtJalan"), "Jalan Satu");
        QCOMPARE(w.stored(), Stored);
    }

    // A preset place stays locked through every edit; closing refills the opener once, unless the
    // opener has closed meanwhile.
    void presetPlace_data()
    {
        QTest::addColumn<QString>("region");
        QTest::addColumn<QString>("city");
        QTest::addColumn<bool>("stateShown");
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<bool>("openerClosed");
        const QStringList ipoh{"Audit", "Finance", "Finance"};
        // clang-format off
        QTest::newRow("place with a state") << "North" << "Ipoh" << true << ipoh << false;
        QTest::newRow("segmented area: the state handed over is left out") << "Headquarters" << "IT Division"
            << false << QStringList{"Helpdesk"} << false;
        QTest::newRow("opener closed meanwhile") << "North" << "Ipoh" << true << ipoh << true;
        // clang-format on
    }
    void presetPlace()
    {
        QFETCH(QString, region);
        QFETCH(QString, city);
        QFETCH(bool, openerClosed);
        UnitWindow w;
        w.program.context.unitDivisionHandOver() = {true, false, region, "Perak", city, true};
        QWidget opener;
        opener.show();
        int refills = 0;
        w.open(OpenerCallback(&opener, [&refills] { ++refills; }));
        QTEST(!w.child<QWidget>("cboState")->isHidden(), "stateShown");
        QTEST(w.units(), "units");
        auto locked = [&w, &region, &city] {
            QCOMPARE(w.box("cboRegion"), region + " / " + region);
            QCOMPARE(w.box("cboCity"), city + " / " + city);
            for (const char* box : {"cboRegion", "cboState", "cboCity"})
                QVERIFY2(!w.enabled(box), box);
        };
        locked();
        w.click("cmdTambah");
        w.type("txtUnitDivision", "Legal");
        w.click("cmdSimpan");
        locked();
        QVERIFY(w.units().contains("Legal"));
        w.pickUnit(0);
        w.click("cmdKemaskini");
        w.click("cmdBatal");
        locked();
        w.pickUnit(0);
        w.click("cmdHapus");
        locked();
        QCOMPARE(w.messages(), (QStringList{PlanText::SaveQuestion, PlanText::DeleteQuestion}));
        QCOMPARE(refills, 0);
        if (openerClosed)
            opener.close();
        w.click("cmdTutup");
        QVERIFY(!w.window->isVisible());
        QCOMPARE(refills, openerClosed ? 0 : 1);
    }

    // One window for every opener. A modal opening waits for an edit in the window the detail window
    // left open, then closes that window (which refills the detail window); after the modal window
    // closes, the detail window refills too while its flag stands.
    void oneWindowForEveryOpener()
    {
        UnitWindow w;
        UnitDivisionWindows units(w.program.context);
        test::FakeMainWindow mainWindow;
        QWidget detail;
        QWidget assignment;
        detail.show();
        assignment.show();
        UnitDivisionHandOver& handOver = w.program.context.unitDivisionHandOver();
        int detailRefills = 0;
        int assignmentRefills = 0;
        const OpenerCallback refillAssignment(&assignment, [&assignmentRefills] { ++assignmentRefills; });
        handOver = {false, true, "North", "Perak", "Ipoh", true};
        units.showForDetail(OpenerCallback(&detail,
                                           [&] {
                                               if (handOver.UnitDivFromInfo)
                                                   ++detailRefills;
                                           }),
                            mainWindow);
        const QPointer<frmUnitDivision> left = units.window();
        QVERIFY(left && left->isVisible());
        test::click(left, "cmdTambah");
        handOver.UnitDivFromMain = true;
        units.runModal(&assignment, refillAssignment);
        QCOMPARE(w.messages(), QStringList{"Save or cancel the change in Unit / Division Setting first."});
        QVERIFY(left->isVisible() && left->isEditing());

        test::click(left, "cmdBatal");
        QStringList modalPlaces;
        auto closeModal = [&modalPlaces](QWidget* modal) {
            modalPlaces << test::child<QComboBox>(modal, "cboCity")->currentText();
            test::click(modal, "cmdTutup");
        };
        test::whenModal("frmUnitDivision", closeModal);
        units.runModal(&assignment, refillAssignment);
        QVERIFY(!left->isVisible());
        QCOMPARE(assignmentRefills, 1);
        QCOMPARE(detailRefills, 2);
        // The main window's menu clears both flags.
        handOver.UnitDivFromMain = handOver.UnitDivFromInfo = false;
        test::whenModal("frmUnitDivision", closeModal);
        units.runModal(nullptr, {});
        QCOMPARE(modalPlaces, (QStringList{"Ipoh", ""}));
        QCOMPARE(detailRefills, 2);
        delete left;
    }
};

QTEST_MAIN(UnitDivisionWindowTest)
#include "UnitDivisionWindowTest.moc"
