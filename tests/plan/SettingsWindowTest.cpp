#include "PlanTestKit.h"

#include "plan/SettingsPage.h"

#include <QSignalSpy>

using namespace tarvo;

namespace {

const QString Saved = PlanText::SaveQuestion;

} // namespace

class SettingsWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Every save runs the same steps: the first field, an unchanged record, the further fields, the
    // uniqueness tests (which leave out the edited row), the page's own checks, the confirmation.
    void saveRules_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("edited"); // empty: "Add"
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("focus"); // the field with the focus after a refusal
        QTest::addColumn<QString>("query"); // what is stored afterwards
        QTest::addColumn<QString>("stored");
        const QString areas =
            "SELECT count(*), group_concat(Region || '/' || AssignIP || '/' || Segment_ip || '/' "
            "|| ifnull(Abbr_segment, '-')) FROM (SELECT * FROM Region ORDER BY Region)";
        const QString groups =
            "SELECT count(*), group_concat(Workgroup_name || '/' || Workgroup_code || '/' || "
            "Octet_3) FROM (SELECT * FROM Workgroup ORDER BY Workgroup_name)";
        const QString types =
            "SELECT count(*), group_concat(Eqp_name || '/' || Eqp_code || '/' || Octet4_start || "
            "'-' || Octet4_end) FROM (SELECT * FROM Equipment ORDER BY Eqp_name)";
        const QString areasBefore = "1|Headquarters/10/1/HQ";
        const QString groupsBefore = "1|Sales/S/2";
        const QString typesBefore = "1|PC/PC/71-240";
        auto clash = [](const char* caption) { return PlanText::alreadyExists(caption); };
        // clang-format off
        QTest::newRow("area: name missing") << 0 << "" << QStringList{"txtIPOctet1=5"} << true
            << QStringList{"Please enter Area Name : !"} << "txtRegionName" << areas << areasBefore;
        QTest::newRow("area: nothing changed") << 0 << "Headquarters" << QStringList{} << true
            << QStringList{"Record not changed !"} << "txtRegionName" << areas << areasBefore;
        QTest::newRow("area: octet 1 missing") << 0 << "" << QStringList{"txtRegionName=North"} << true
            << QStringList{"Please enter IP Octet 1 !"} << "txtIPOctet1" << areas << areasBefore;
        QTest::newRow("area: no segment choice") << 0 << "" << QStringList{"txtRegionName=North", "txtIPOctet1=11"}
            << true << QStringList{"Please choose Segment or Not !"} << "OptYes" << areas << areasBefore;
        QTest::newRow("area: name in another case") << 0 << ""
            << QStringList{"txtRegionName=HEADQUARTERS", "txtIPOctet1=11", "OptNo"} << true
            << QStringList{clash("Area Name :")} << "txtRegionName" << areas << areasBefore;
        QTest::newRow("area: segment code in another case") << 0 << ""
            << QStringList{"txtRegionName=North", "txtIPOctet1=10", "OptYes", "txtSegmentCode=hq"} << true
            << QStringList{clash("Segment Code :")} << "txtSegmentCode" << areas << areasBefore;
        QTest::newRow("area: save cancelled") << 0 << "" << QStringList{"txtRegionName=North", "txtIPOctet1=11", "OptNo"}
            << false << QStringList{Saved} << "" << areas << areasBefore;
        QTest::newRow("area: added without a code") << 0 << ""
            << QStringList{"txtRegionName=North", "txtIPOctet1=10", "OptNo"} << true << QStringList{Saved} << ""
            << areas << "2|Headquarters/10/1/HQ,North/10/0/-";
        QTest::newRow("area: own name in another case") << 0 << "Headquarters"
            << QStringList{"txtRegionName=HEADQUARTERS"} << true << QStringList{Saved} << "" << areas
            << "1|HEADQUARTERS/10/1/HQ";
        QTest::newRow("area: no longer segmented keeps its code") << 0 << "Headquarters" << QStringList{"OptNo"}
            << true << QStringList{Saved} << "" << areas << "1|Headquarters/10/0/HQ";
        QTest::newRow("work group: code in another case") << 3 << ""
            << QStringList{"txtWorkgroupName=Admin", "txtWorkgroupCode=s", "txtWGOctet3=3"} << true
            << QStringList{clash("Workgroup Code :")} << "txtWorkgroupCode" << groups << groupsBefore;
        QTest::newRow("work group: digit taken") << 3 << ""
            << QStringList{"txtWorkgroupName=Admin", "txtWorkgroupCode=A", "txtWGOctet3=2"} << true
            << QStringList{clash("Octet3 end with :")} << "txtWGOctet3" << groups << groupsBefore;
        QTest::newRow("work group: digit missing") << 3 << "" << QStringList{"txtWorkgroupName=Admin", "txtWorkgroupCode=A"}
            << true << QStringList{"Please enter IP Octet 3 end with ... !"} << "txtWGOctet3" << groups << groupsBefore;
        QTest::newRow("work group: own digit typed 02") << 3 << "Sales" << QStringList{"txtWGOctet3=02"} << true
            << QStringList{Saved} << "" << groups << groupsBefore;
        QTest::newRow("work group: own name in another case") << 3 << "Sales" << QStringList{"txtWorkgroupName=SALES"}
            << true << QStringList{Saved} << "" << groups << "1|SALES/S/2";
        QTest::newRow("equipment: code missing") << 4 << "" << QStringList{"txtEquipmentName=Printer"} << true
            << QStringList{"Please enter Equipment Code : !"} << "txtEquipmentCode" << types << typesBefore;
        QTest::newRow("equipment: start missing") << 4 << "" << QStringList{"txtEquipmentName=Printer", "txtEquipmentCode=PRN"}
            << true << QStringList{"Please enter Octet 4 Start ... !"} << "txtOctet4Start" << types << typesBefore;
        QTest::newRow("equipment: end below start") << 4 << ""
            << QStringList{"txtEquipmentName=Printer", "txtEquipmentCode=prn", "txtOctet4Start=100", "txtOctet4End=99"}
            << true << QStringList{"Octet 4 End should not less than Octet 4 Start ..."} << "txtOctet4Start" << types
            << typesBefore;
        QTest::newRow("equipment: code clash before the range") << 4 << ""
            << QStringList{"txtEquipmentName=Printer", "txtEquipmentCode=pc", "txtOctet4Start=100", "txtOctet4End=99"}
            << true << QStringList{clash("Equipment Code :")} << "txtEquipmentCode" << types << typesBefore;
        QTest::newRow("equipment: one address") << 4 << ""
            << QStringList{"txtEquipmentName=Printer", "txtEquipmentCode=prn", "txtOctet4Start=100", "txtOctet4End=100"}
            << true << QStringList{Saved} << "" << types << "2|PC/PC/71-240,Printer/PRN/100-100";
        QTest::newRow("equipment: numbers compared as numbers") << 4 << "PC"
            << QStringList{"txtOctet4Start=9", "txtOctet4End=10"} << true << QStringList{Saved} << "" << types
            << "1|PC/PC/9-10";
        for (const char* name : {"subnet mask 252", "Router IP Range 1"})
            QTest::newRow(name) << 4 << ""
                << QStringList{QStringLiteral("txtEquipmentName=") + name, "txtEquipmentCode=X", "txtOctet4Start=1",
                               "txtOctet4End=2"} << true
                << QStringList{"\"Subnet Mask 252\" and names with \"IP Range\" stand for Tarvo's own entries in the "
                               "equipment list. Please choose another name !"} << "txtEquipmentName" << types
                << typesBefore;
        // clang-format on
    }
    void saveRules()
    {
        QFETCH(int, tab);
        QFETCH(QString, edited);
        QFETCH(QStringList, input);
        QFETCH(bool, confirm);
        QFETCH(QStringList, messages);
        QFETCH(QString, focus);
        QFETCH(QString, query);
        QFETCH(QString, stored);
        test::Settings s;
        s.exec("INSERT INTO Workgroup VALUES ('Sales', 'S', 2)");
        s.open();
        s.edit(tab, edited);
        s.enter(input);
        s.save(test::button(tab, "cmdSimpan"), confirm ? MessageAnswer::Ok : MessageAnswer::Cancel);
        QCOMPARE(s.messages(), messages);
        const bool written = confirm && messages == QStringList{Saved};
        QCOMPARE(s.editing(tab), !written);
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(s.row(query), stored);
        if (written) { // the browse state: the list read again, nothing picked, the fields empty
            QVERIFY(!s.enabled(test::button(tab, "cmdKemaskini")) &&
                    !s.enabled(test::button(tab, "cmdHapus")));
            QVERIFY(s.enabled(test::Pages[tab].list));
            QCOMPARE(s.tabsEnabled(), QList<bool>(5, true));
        }
    }

    // Only what the user types is refused, with a beep: digits only within the bound, codes of their
    // length, shown in upper case.
    void fieldGuards_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("beeps");
        // clang-format off
        QTest::newRow("octet 1 above 255") << 0 << "txtIPOctet1" << "256" << "25" << 1;
        QTest::newRow("octet 1 letter") << 0 << "txtIPOctet1" << "1a" << "1" << 1;
        QTest::newRow("octet 1 sign") << 0 << "txtIPOctet1" << "-5" << "5" << 1;
        QTest::newRow("octet 1 exponent and hexadecimal") << 0 << "txtIPOctet1" << "1e0x" << "10" << 2;
        QTest::newRow("segment code") << 0 << "txtSegmentCode" << "hq2b" << "HQ2B" << 0;
        QTest::newRow("work-group code") << 3 << "txtWorkgroupCode" << "ab" << "A" << 1;
        QTest::newRow("work-group digit") << 3 << "txtWGOctet3" << "10" << "1" << 1;
        QTest::newRow("equipment code") << 4 << "txtEquipmentCode" << "abcd" << "ABC" << 1;
        QTest::newRow("octet 4 end") << 4 << "txtOctet4End" << "2569" << "25" << 2;
        // clang-format on
    }
    void fieldGuards()
    {
        QFETCH(int, tab);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, beeps);
        test::Settings s;
        s.open();
        s.edit(tab, {});
        if (field == QLatin1String("txtSegmentCode"))
            s.click("OptYes");
        auto* box = s.child<QLineEdit>(field.toLatin1());
        QSignalSpy refused(box, &QLineEdit::inputRejected);
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), shown);
        QCOMPARE(refused.count(), beeps);
    }

    // "Add", "Cancel", then a pick and "Update": the picked row is rewritten, no row is added. Closing
    // in the edit state writes nothing and asks nothing.
    void addCancelUpdateAndClose()
    {
        test::Settings s;
        s.exec("INSERT INTO Workgroup VALUES ('Sales', 'S', 2), ('Admin', 'A', 1)");
        s.open();
        s.tab(test::WorkgroupTab);
        s.pick("lstWorkgroup", "Sales");
        s.click("cmdTambahWorkgroup");
        s.type("txtWorkgroupName", "Typed");
        s.click("cmdBatalWorkgroup");
        QCOMPARE(s.text("txtWorkgroupName"), "Sales"); // what was shown before "Add"
        QVERIFY(!s.enabled("cmdKemaskiniWorkgroup"));
        s.edit(test::WorkgroupTab, "Sales");
        s.type("txtWGOctet3", "7");
        s.save("cmdSimpanWorkgroup");
        QCOMPARE(s.messages(), QStringList{Saved});
        QCOMPARE(s.row("SELECT count(*), group_concat(Workgroup_name || Octet_3) FROM Workgroup"),
                 "2|Sales7,Admin1");

        s.program.messenger.clear();
        s.edit(test::WorkgroupTab, {});
        s.enter({"txtWorkgroupName=Legal", "txtWorkgroupCode=L", "txtWGOctet3=5"});
        s.click("cmdTutup1Workgroup");
        QVERIFY(!s.window->isVisible());
        QVERIFY(s.messages().isEmpty());
        QCOMPARE(s.count("Workgroup"), 2);
    }

    // Switching an area to segmented shows the area's own code box, never one of another area.
    void segmentCodeOfTheAreaShown()
    {
        test::Settings s;
        s.exec("INSERT INTO Region VALUES ('North', 11, 0, NULL)");
        s.open();
        s.pick("LstRegion", "Headquarters");
        QCOMPARE(s.text("txtSegmentCode"), "HQ");
        s.edit(test::AreaTab, "North");
        QVERIFY(!s.visible("txtSegmentCode"));
        s.click("OptYes");
        QVERIFY(s.visible("txtSegmentCode") && s.enabled("txtSegmentCode"));
        QCOMPARE(s.text("txtSegmentCode"), "");
        s.save("cmdSimpanRegion");
        QCOMPARE(s.row("SELECT Segment_ip, Abbr_segment FROM Region WHERE Region = 'North'"), "1|");
    }

    // Others than area administrators see every tab again after an edit, and none but the edited one
    // during it.
    void tabsFollowTheEdit()
    {
        test::Settings hq(GroupHQ);
        hq.open();
        QCOMPARE(hq.child<QTabWidget>("SSTabSetting")->currentIndex(), int(test::AreaTab));
        hq.edit(test::EquipmentTab, {});
        QCOMPARE(hq.tabsEnabled(), (QList<bool>{false, false, false, false, true}));
        QVERIFY(!hq.enabled("lstEquipment"));
        hq.click("cmdBatalEquipment");
        QCOMPARE(hq.tabsEnabled(), QList<bool>(5, true));
    }

    // A database error during a save or a delete is reported; the window keeps its state and nothing
    // is half written.
    void databaseErrorKeepsTheEdit()
    {
        test::Settings s;
        s.exec("CREATE TRIGGER refuse BEFORE INSERT ON Equipment BEGIN SELECT RAISE(ABORT, 'disk is full'); "
               "END");
        s.exec("CREATE TRIGGER keep BEFORE DELETE ON Equipment BEGIN SELECT RAISE(ABORT, 'disk is locked'); "
               "END");
        s.open();
        s.edit(test::EquipmentTab, {});
        s.enter({"txtEquipmentName=Printer", "txtEquipmentCode=PRN", "txtOctet4Start=1", "txtOctet4End=9"});
        s.save("cmdSimpanEquipment");
        QCOMPARE(s.messages().size(), 2);
        QVERIFY(s.messages().last().contains(QStringLiteral("disk is full"), Qt::CaseInsensitive));
        QCOMPARE(s.program.messenger.last().icon, MessageIcon::Critical);
        QVERIFY(s.editing(test::EquipmentTab));
        QCOMPARE(s.text("txtEquipmentName"), "Printer");
        QCOMPARE(s.count("Equipment"), 1);

        s.click("cmdBatalEquipment");
        s.pick("lstEquipment", "PC");
        s.save("cmdHapusEquipment");
        QVERIFY(s.messages().last().contains(QStringLiteral("disk is locked"), Qt::CaseInsensitive));
        QCOMPARE(s.listed("lstEquipment"), QStringList{"PC"});
        QVERIFY(s.enabled("cmdHapusEquipment"));
    }
};

QTEST_MAIN(SettingsWindowTest)
#include "SettingsWindowTest.moc"
