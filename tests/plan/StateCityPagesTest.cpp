#include "ModalDialogs.h"
#include "PlanTestKit.h"

#include "core/LinkLabel.h"
#include "plan/CityLists.h"
#include "plan/SettingsPage.h"

#include <QAbstractItemModel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

using namespace tarvo;

namespace {

const QString Saved = PlanText::SaveQuestion;

// Areas with states (North, and South whose state shares a name with one of North) and the delivered
// segmented area Headquarters ("HQ") with cities of every kind.
void seed(const test::Settings& s)
{
    s.exec("INSERT INTO Region VALUES ('North', 11, 0, NULL), ('South', 12, 0, NULL)");
    s.exec(
        "INSERT INTO State VALUES ('Perak', 'P', 'North'), ('Kedah', 'K', 'North'), ('Perak', 'S', 'South')");
    s.exec("INSERT INTO City VALUES ('Ipoh', 'IPH', 20, 10, 0, 0, 'P', 'North'),"
           " ('Taiping', 'TPG', 20, 20, 0, 0, 'P', 'North'), ('Alor', 'ALR', 21, 10, 0, 0, 'K', 'North'),"
           " ('Store', 'STR', 50, 3, 0, 0, 'HQ', 'Headquarters'), ('Depot', 'DEP', 50, 0, 0, 0, 'HQ', "
           "'Headquarters'),"
           " ('Annex', 'ANX', 90, 5, 0, 0, 'HQ', 'Headquarters'), ('Gopeng', 'GPG', 30, 300, 0, 0, 'S', "
           "'South')");
}

// The place of the City page: an area, and a state unless the area is segmented.
void choosePlace(const test::Settings& s, const QString& area, const QString& state)
{
    s.tab(test::CityTab);
    s.choose("cboRegionCity", area);
    if (!state.isEmpty())
        s.choose("cboStateCity", state);
}

QString cityRow(const QString& name)
{
    return QStringLiteral(
               "SELECT City_name, Abbr_city, IP_octet2, ifnull(Offset, 'none'), StartIPRange, ToIPRange, "
               "Abbr_state, Region FROM City WHERE City_name = '%1'")
        .arg(QString(name).replace('\'', "''"));
}

// Leaves a field by the keyboard.
void leave(const test::Settings& s, const char* field)
{
    auto* box = s.child<QLineEdit>(field);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Tab);
}

// The cells of a list window's grid, row by row.
QStringList gridRows(QWidget* list)
{
    QAbstractItemModel* model = test::child<QTableView>(list, "gridData")->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        rows << cells.join(' ');
    }
    return rows;
}

} // namespace

class StateCityPagesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void saveRules_data()
    {
        QTest::addColumn<QString>("area");
        QTest::addColumn<QString>("state");  // empty in a segmented area
        QTest::addColumn<QString>("edited"); // empty: "Add"
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QString>("message"); // the refusal, or the save question
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("name");   // the city whose stored row is compared, or the state saved
        QTest::addColumn<QString>("stored"); // that city's row, or the area's states
        QTest::addColumn<int>("tab");
        auto city = [](const QString& name, const QString& code, const QString& octet2,
                       const QString& offset) {
            QStringList steps{"txtBandar=" + name, "txtKodBandar=" + code, "txtIPOctet2=" + octet2};
            if (!offset.isNull())
                steps << "txtOffset=" + offset;
            return steps;
        };
        const QString offsetNote = "Offset value must increment by 10 ... ";
        // clang-format off
        QTest::newRow("offset 25") << "North" << "Perak" << "" << city("Kuala", "kl", "30", "25")
            << offsetNote << "txtOffset" << "Kuala" << "" << int(test::CityTab);
        QTest::newRow("offset 251 stops at 25") << "North" << "Perak" << "" << city("Kuala", "KL", "30", "251")
            << offsetNote << "txtOffset" << "Kuala" << "" << int(test::CityTab);
        QTest::newRow("stored offset above 250") << "South" << "" << "Gopeng" << QStringList{"txtBandar=Gopeng Lama"}
            << "Please enter Offset from 0 to 250 !" << "txtOffset" << "Gopeng" << "Gopeng|GPG|30|300|0|0|S|South" << int(test::CityTab);
        QTest::newRow("offset empty") << "North" << "Perak" << "" << city("Kuala", "KL", "30", {})
            << "Please enter Offset !" << "txtOffset" << "Kuala" << "" << int(test::CityTab);
        for (const char* offset : {"0", "10", "250"})
            QTest::newRow(qPrintable(QStringLiteral("offset %1").arg(offset))) << "North" << "Perak" << ""
                << city("Kuala", "kl", "30", offset) << Saved << "" << "Kuala"
                << QStringLiteral("Kuala|KL|30|%1|0|0|P|North").arg(offset) << int(test::CityTab);
        QTest::newRow("octets of a city of the state") << "North" << "Perak" << "" << city("Kuala", "KL", "20", "10")
            << "IP Octet 2 and Offset already exist ! (Ipoh)" << "txtIPOctet2" << "Kuala" << "" << int(test::CityTab);
        QTest::newRow("octets of a city of another state") << "North" << "Kedah" << "" << city("Kuala", "KL", "20", "10")
            << Saved << "" << "Kuala" << "Kuala|KL|20|10|0|0|K|North" << int(test::CityTab);
        QTest::newRow("offset changed to a used one") << "North" << "Perak" << "Ipoh" << QStringList{"txtOffset=20"}
            << "IP Octet 2 and Offset already exist ! (Taiping)" << "txtOffset" << "Ipoh" << "Ipoh|IPH|20|10|0|0|P|North" << int(test::CityTab);
        QTest::newRow("name of another state's city") << "North" << "Kedah" << "" << city("IPOH", "X", "40", "10")
            << PlanText::alreadyExists("City :") << "txtBandar" << "IPOH" << "Ipoh|IPH|20|10|0|0|P|North" << int(test::CityTab);
        QTest::newRow("code of another state's city") << "North" << "Kedah" << "" << city("Kuala", "iph", "40", "10")
            << PlanText::alreadyExists("City Code :") << "txtKodBandar" << "Kuala" << "" << int(test::CityTab);
        QTest::newRow("code missing") << "North" << "Kedah" << "" << QStringList{"txtBandar=Kuala"}
            << "Please enter City Code : !" << "txtKodBandar" << "Kuala" << "" << int(test::CityTab);
        QTest::newRow("name with a quote") << "North" << "Kedah" << "" << city("O'Neil", "ON", "40", "10")
            << Saved << "" << "O'Neil" << "O'Neil|ON|40|10|0|0|K|North" << int(test::CityTab);
        QTest::newRow("segment: octet 2 of a city without octet 3") << "Headquarters" << "" << ""
            << city("Lab", "LAB", "100", {}) << "IP Octet 2 already exist ! (IT Division)" << "txtIPOctet2" << "Lab" << "" << int(test::CityTab);
        QTest::newRow("segment: any such city, not only the first") << "Headquarters" << "" << ""
            << city("Lab", "LAB", "50", {}) << "IP Octet 2 already exist ! (Depot)" << "txtIPOctet2" << "Lab" << "" << int(test::CityTab);
        QTest::newRow("segment: without octet 3") << "Headquarters" << "" << "" << city("Lab", "lab", "60", {})
            << Saved << "" << "Lab" << "Lab|LAB|60|none|0|0|HQ|Headquarters" << int(test::CityTab);
        QTest::newRow("segment: octets 2 and 3 used") << "Headquarters" << "" << "" << city("Lab", "LAB", "90", "5")
            << "IP Octet 2 and IP Octet 3 already exist ! (Annex)" << "txtOffset" << "Lab" << "" << int(test::CityTab);
        QTest::newRow("segment: octets 2 and 3 used, with a range") << "Headquarters" << "" << ""
            << city("Lab", "LAB", "90", "5") + QStringList{"txtStartIPRange=1", "txtToIPRange=9"}
            << Saved << "" << "Lab" << "Lab|LAB|90|5|1|9|HQ|Headquarters" << int(test::CityTab);
        QTest::newRow("segment: reversed range") << "Headquarters" << "" << ""
            << city("Lab", "LAB", "91", "5") + QStringList{"txtStartIPRange=200", "txtToIPRange=100"}
            << "The end of the IP Range should not be less than its start ..." << "txtStartIPRange" << "Lab" << "" << int(test::CityTab);
        QTest::newRow("segment: range start only") << "Headquarters" << "" << ""
            << city("Lab", "LAB", "91", "5") + QStringList{"txtStartIPRange=200"}
            << "Please enter both ends of the IP Range, or leave both blank !" << "txtToIPRange" << "Lab" << "" << int(test::CityTab);
        QTest::newRow("segment: offset emptied") << "Headquarters" << "" << "Annex" << QStringList{"txtOffset="}
            << Saved << "" << "Annex" << "Annex|ANX|90|none|0|0|HQ|Headquarters" << int(test::CityTab);
        const QString code = PlanText::alreadyExists("State Code :");
        const QString north = "Kedah K,Perak P";
        const int st = test::StateTab;
        QTest::newRow("state: code of the area's state") << "North" << "" << "" << QStringList{"txtStateName=Johor", "txtStateCode=p"}
            << code << "txtStateCode" << "" << north << st;
        QTest::newRow("state: code clash before the name") << "North" << "" << "" << QStringList{"txtStateName=kedah", "txtStateCode=P"}
            << code << "txtStateCode" << "" << north << st;
        QTest::newRow("state: name of the area's state") << "North" << "" << "" << QStringList{"txtStateName=KEDAH", "txtStateCode=J"}
            << PlanText::alreadyExists("State Name :") << "txtStateName" << "" << north << st;
        QTest::newRow("state: code of another area's state") << "North" << "" << "" << QStringList{"txtStateName=Selangor", "txtStateCode=s"}
            << Saved << "" << "Selangor" << "Kedah K,Perak P,Selangor S" << st;
        QTest::newRow("state: code missing") << "North" << "" << "" << QStringList{"txtStateName=Johor"}
            << "Please enter State Code : !" << "txtStateCode" << "" << north << st;
        QTest::newRow("state: nothing changed") << "North" << "" << "Perak" << QStringList{} << "Record not changed !"
            << "" << "" << north << st;
        QTest::newRow("state: own name in another case") << "North" << "" << "Perak" << QStringList{"txtStateName=PERAK"}
            << Saved << "" << "PERAK" << "Kedah K,PERAK P" << st;
        // clang-format on
    }
    void saveRules()
    {
        QFETCH(QString, area);
        QFETCH(QString, state);
        QFETCH(QString, edited);
        QFETCH(QStringList, input);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QString, name);
        QFETCH(int, tab);
        test::Settings s;
        seed(s);
        s.open();
        const bool city = tab == test::CityTab;
        if (city) {
            choosePlace(s, area, state);
        } else {
            s.tab(test::StateTab);
            s.choose("cboRegionState", area);
        }
        s.edit(tab, edited);
        const char* placeBox = city ? "cboRegionCity" : "cboRegionState";
        QVERIFY(!s.enabled(placeBox));
        s.enter(input);
        const QString table = city ? "City" : "State";
        const int before = s.count(table);
        s.save(test::button(tab, "cmdSimpan"));
        QCOMPARE(s.messages(), QStringList{message});
        QCOMPARE(s.editing(tab), message != Saved);
        QCOMPARE(s.enabled(placeBox), message == Saved);
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QTEST(s.row(city ? cityRow(name)
                         : "SELECT group_concat(State_name || ' ' || Abbr_state) FROM (SELECT * FROM State "
                           "WHERE Region = '" +
                               area + "' ORDER BY State_name)"),
              "stored");
        QCOMPARE(s.count(table), before + (message == Saved && edited.isEmpty() ? 1 : 0));
        if (message == Saved)
            QVERIFY(s.listed(test::Pages[tab].list).contains(name));
    }

    // The place of a city: one state is chosen at once, found within its area; a segmented area lists
    // its cities at once; another choice forgets the city picked. The link labels explain the octet
    // fields of the layout shown.
    void cityPlaceChoice()
    {
        test::Settings s;
        seed(s);
        s.open();
        s.tab(test::CityTab);
        QVERIFY(!s.enabled("cmdTambahCity") && !s.enabled("lstBandarCity"));
        s.choose("cboRegionCity", "South");
        QCOMPARE(s.child<QComboBox>("cboStateCity")->currentText(), "Perak");
        QCOMPARE(s.text("txtKodNegeri"), "S");
        QVERIFY(s.enabled("cmdTambahCity"));
        QCOMPARE(s.listed("lstBandarCity"), QStringList{"Gopeng"});

        s.choose("cboRegionCity", "North");
        QCOMPARE(s.items("cboStateCity"), (QStringList{"Kedah", "Perak"}));
        QCOMPARE(s.child<QComboBox>("cboStateCity")->currentIndex(), -1);
        QVERIFY(!s.enabled("cmdTambahCity"));
        s.choose("cboStateCity", "Perak");
        QCOMPARE(s.listed("lstBandarCity"), (QStringList{"Ipoh", "Taiping"}));
        s.pick("lstBandarCity", "Ipoh");
        QCOMPARE(s.text("lblIPOctet"), "11.20.10.xxx");
        QTest::mouseClick(s.child<LinkLabel>("lblOffset"), Qt::LeftButton);
        QVERIFY(s.enabled("cmdKemaskiniCity"));
        s.choose("cboStateCity", "Kedah");
        QVERIFY(!s.enabled("cmdKemaskiniCity") && !s.enabled("cmdHapusCity"));

        s.choose("cboRegionCity", "Headquarters");
        QVERIFY(!s.visible("cboStateCity") && s.visible("txtStartIPRange"));
        QCOMPARE(s.text("lblOffset"), "IP Octet3 :");
        QCOMPARE(s.text("txtKodNegeri"), "HQ");
        QCOMPARE(s.listed("lstBandarCity"), (QStringList{"Annex", "Depot", "IT Division", "Store"}));
        QVERIFY(s.enabled("cmdTambahCity"));
        QTest::mouseClick(s.child<LinkLabel>("lblOffset"), Qt::LeftButton);
        QTest::mouseClick(s.child<LinkLabel>("lblIPRange"), Qt::LeftButton);
        const QList<Message>& shown = s.program.messenger.shown();
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[0].title, "IP Octet3 Offset Description");
        QVERIFY(shown[0].text.startsWith("IP Octet3 Offset : \r\nSet Ip Octet3 Offset"));
        QVERIFY(shown[1].text.startsWith("IP Octet3 : \r\nYou can set to fix"));
        QCOMPARE(shown[2].title, "IP Range Description");
        QCOMPARE(shown[2].icon, MessageIcon::Information);
    }

    // An area administrator's own area is chosen at once, whatever its kind, on both pages, and the
    // tabs of the other tables stay locked after every edit.
    void areaAdministrator()
    {
        test::Settings s(GroupKawasan, QStringLiteral("Headquarters"));
        seed(s);
        s.open();
        QCOMPARE(s.child<QTabWidget>("SSTabSetting")->currentIndex(), int(test::StateTab));
        QCOMPARE(s.tabsEnabled(), (QList<bool>{false, true, true, false, false}));
        QCOMPARE(s.items("cboRegionState"), QStringList{"Headquarters"});
        QVERIFY(s.enabled("lstState") && s.enabled("cmdTambahState"));
        s.edit(test::StateTab, {});
        s.enter({"txtStateName=Central", "txtStateCode=c"});
        s.save("cmdSimpanState");
        QCOMPARE(s.row("SELECT State_name, Abbr_state, Region FROM State WHERE Abbr_state = 'C'"),
                 "Central|C|Headquarters");
        QCOMPARE(s.tabsEnabled(), (QList<bool>{false, true, true, false, false}));

        s.tab(test::CityTab);
        QCOMPARE(s.items("cboRegionCity"), QStringList{"Headquarters"});
        s.choose("cboRegionCity", "Headquarters");
        QVERIFY(s.enabled("lstBandarCity") && s.enabled("cmdTambahCity"));
        s.edit(test::CityTab, {});
        QCOMPARE(s.tabsEnabled(), (QList<bool>{false, false, true, false, false}));
        s.click("cmdBatalCity");
        QCOMPARE(s.tabsEnabled(), (QList<bool>{false, true, true, false, false}));
    }

    // The City page of an area administrator opens with its area chosen but its list and "Add"
    // disabled, until an area or a state is picked again, even the one already chosen.
    void areaAdministratorCityPage_data()
    {
        QTest::addColumn<QString>("area");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("item");
        QTest::newRow("segmented area")
            << "Headquarters" << QStringList{"Annex", "Depot", "IT Division", "Store"} << "cboRegionCity"
            << "Headquarters";
        QTest::newRow("its one state") << "South" << QStringList{"Gopeng"} << "cboStateCity"
                                       << "Perak";
        QTest::newRow("area with one state") << "South" << QStringList{"Gopeng"} << "cboRegionCity"
                                             << "South";
    }
    void areaAdministratorCityPage()
    {
        QFETCH(QString, area);
        QFETCH(QString, combo);
        QFETCH(QString, item);
        test::Settings s(GroupKawasan, area);
        seed(s);
        s.open();
        s.tab(test::CityTab);
        QTEST(s.listed("lstBandarCity"), "listed");
        QVERIFY(!s.enabled("lstBandarCity") && !s.enabled("cmdTambahCity"));
        QVERIFY(!s.enabled("cmdKemaskiniCity") && !s.enabled("cmdHapusCity"));
        s.choose(combo.toLatin1(), item);
        QTEST(s.listed("lstBandarCity"), "listed");
        QVERIFY(s.enabled("lstBandarCity") && s.enabled("cmdTambahCity"));
    }

    // An area administrator without an area of his own: the State page offers its list and "Add" at
    // once, and the City page's state list holds every state.
    void areaAdministratorWithoutArea()
    {
        test::Settings s(GroupKawasan, {});
        seed(s);
        s.open();
        QCOMPARE(s.items("cboRegionState"), QStringList{""});
        QVERIFY(s.enabled("lstState") && s.enabled("cmdTambahState"));
        s.tab(test::CityTab);
        QCOMPARE(s.items("cboRegionCity"), QStringList{""});
        QCOMPARE(s.items("cboStateCity"), (QStringList{"Kedah", "Perak", "Perak"}));
    }

    // Enter and Down move on through name, code, octet 2, offset and range start, Up moves back; the
    // two range boxes leave these keys to the text box, and Tab goes from the range start to its end.
    void cityKeys_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("to");
        const auto row = [](const char* from, const char* keyName, Qt::Key key, const char* to) {
            QTest::addRow("%s in %s", keyName, from) << from << int(key) << to;
        };
        row("txtBandar", "Enter", Qt::Key_Return, "txtKodBandar");
        row("txtKodBandar", "Down", Qt::Key_Down, "txtIPOctet2");
        row("txtIPOctet2", "Enter", Qt::Key_Return, "txtOffset");
        row("txtOffset", "Enter", Qt::Key_Return, "txtStartIPRange");
        row("txtOffset", "Up", Qt::Key_Up, "txtIPOctet2");
        row("txtStartIPRange", "Tab", Qt::Key_Tab, "txtToIPRange");
        row("txtStartIPRange", "Enter", Qt::Key_Return, "txtStartIPRange");
        row("txtStartIPRange", "Up", Qt::Key_Up, "txtStartIPRange");
        row("txtToIPRange", "Down", Qt::Key_Down, "txtToIPRange");
        row("txtToIPRange", "Enter", Qt::Key_Return, "txtToIPRange");
    }
    void cityKeys()
    {
        QFETCH(QString, from);
        QFETCH(int, key);
        test::Settings s;
        seed(s);
        s.open();
        choosePlace(s, "Headquarters", {});
        s.edit(test::CityTab, {});
        auto* field = s.child<QLineEdit>(from.toLatin1());
        field->setFocus();
        QTest::keyClick(field, Qt::Key(key));
        QTEST(QApplication::focusWidget()->objectName(), "to");
    }

    // The octet labels turn red while the mouse button is held down on them; the range label stays blue.
    void linkColourWhilePressed_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QColor>("pressed");
        QTest::newRow("octet 2") << "lblIPOctet2" << LinkLabel::Red;
        QTest::newRow("offset") << "lblOffset" << LinkLabel::Red;
        QTest::newRow("octet 3") << "lblIPOctet3" << LinkLabel::Red;
        QTest::newRow("range") << "lblIPRange" << LinkLabel::Blue;
    }
    void linkColourWhilePressed()
    {
        QFETCH(QString, label);
        test::Settings s;
        seed(s);
        s.open();
        choosePlace(s, "Headquarters", {});
        auto* link = s.child<LinkLabel>(label.toLatin1());
        QTest::mousePress(link, Qt::LeftButton);
        QTEST(link->linkColour(), "pressed");
        QTest::mouseRelease(link, Qt::LeftButton);
        QCOMPARE(link->linkColour(), LinkLabel::Blue);
        QCOMPARE(s.program.messenger.shown().size(), 1);
    }

    // The areas with states are offered; another area forgets the state picked; the code is one upper-case
    // character.
    void statePickAndCode()
    {
        test::Settings s;
        seed(s);
        s.open();
        s.tab(test::StateTab);
        QCOMPARE(s.items("cboRegionState"), (QStringList{"North", "South"})); // the areas with states
        QVERIFY(!s.enabled("cmdTambahState"));
        s.choose("cboRegionState", "North");
        s.pick("lstState", "Perak");
        QVERIFY(s.enabled("cmdHapusState"));
        s.choose("cboRegionState", "South");
        QVERIFY(!s.enabled("cmdHapusState") && !s.enabled("cmdKemaskiniState"));
        QCOMPARE(s.text("txtStateName"), "");
        s.edit(test::StateTab, {});
        auto* code = s.child<QLineEdit>("txtStateCode");
        QSignalSpy refused(code, &QLineEdit::inputRejected);
        QTest::keyClicks(code, "ab");
        QCOMPARE(code->text(), "A");
        QCOMPARE(refused.count(), 1);
    }

    // The pictures beside the octet fields appear once other cities use the values, and open lists of
    // what the fields hold when they are clicked.
    void cityLists()
    {
        test::Settings s;
        seed(s);
        s.open();
        choosePlace(s, "North", "Perak");
        s.edit(test::CityTab, {});
        s.type("txtIPOctet2", "20");
        leave(s, "txtIPOctet2");
        QVERIFY(!s.visible("pctOffsetList")); // no name and code yet
        s.enter({"txtBandar=Kuala", "txtKodBandar=KL", "txtIPOctet2=20"});
        leave(s, "txtIPOctet2");
        QVERIFY(s.visible("pctOffsetList"));

        QStringList rows;
        auto readAndClose = [&rows](QWidget* list) {
            rows = gridRows(list);
            QTest::mouseClick(test::child<QPushButton>(list, "cmdOK"), Qt::LeftButton);
        };
        test::whenModal("frmOffsetList", readAndClose);
        QTest::mouseClick(s.child<LinkLabel>("pctOffsetList"), Qt::LeftButton);
        QCOMPARE(rows, (QStringList{"Ipoh IPH 20 10", "Taiping TPG 20 20"}));
        QCOMPARE(s.window->focusWidget()->objectName(), "txtOffset");
        // The list follows the octet 2 typed since.
        s.type("txtIPOctet2", "21");
        test::whenModal("frmOffsetList", readAndClose);
        QTest::mouseClick(s.child<LinkLabel>("pctOffsetList"), Qt::LeftButton);
        QCOMPARE(rows, QStringList{});
        s.click("cmdBatalCity");
        QVERIFY(!s.child<QWidget>("pctOffsetList")->isVisibleTo(s.window));

        s.choose("cboRegionCity", "Headquarters");
        s.edit(test::CityTab, {});
        s.type("txtKodBandar", "LB");
        leave(s, "txtKodBandar");
        test::whenModal("frmOctet2List", readAndClose);
        QTest::mouseClick(s.child<LinkLabel>("pctOctet2List"), Qt::LeftButton);
        QCOMPARE(rows, (QStringList{"Store STR 50", "Depot DEP 50", "Annex ANX 90", "IT Division ITD 100"}));
        QCOMPARE(s.window->focusWidget()->objectName(), "txtIPOctet2");
    }

    // The database does not change under an edit; a list window reads again after a change.
    void databaseChanges()
    {
        test::Settings s;
        seed(s);
        s.open();
        choosePlace(s, "Headquarters", {});
        s.edit(test::CityTab, {});
        bool inUse = false;
        QVERIFY(!s.program.databaseService.compact(&inUse));
        s.click("cmdBatalCity");
        QVERIFY(s.program.databaseService.compact(&inUse));
        // The page is read anew, as when its tab is chosen.
        QCOMPARE(s.child<QComboBox>("cboRegionCity")->currentIndex(), -1);
        s.choose("cboRegionCity", "Headquarters");
        QCOMPARE(s.listed("lstBandarCity"), (QStringList{"Annex", "Depot", "IT Division", "Store"}));

        frmOctet2List list(s.program.context, "HQ", "Headquarters");
        QCOMPARE(gridRows(&list).size(), 4);
        s.exec("DELETE FROM City WHERE City_name <> 'Annex'");
        QVERIFY(s.program.databaseService.compact(&inUse));
        QCOMPARE(gridRows(&list), QStringList{"Annex ANX 90"});
    }
};

QTEST_MAIN(StateCityPagesTest)
#include "StateCityPagesTest.moc"
