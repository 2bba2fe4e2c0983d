// The assignment window's frame: its modes, the first-run test, the location cascade with the octet
// rule and the name parts, the guarded boxes, the detail fields with the unit list, and the keyboard.

#include "AssignWindowKit.h"

#include "assign/AssignmentMessages.h"

#include <QClipboard>
#include <QDir>
#include <QtTest>

using namespace tarvo;
using test::AssignWindow;

namespace {

// Records what the window asks of the scan.
class RecordingScan final : public NetworkScan
{
public:
    explicit RecordingScan(AssignmentWindowParts& parts) : m_parts(parts) {}
    void ScanNetworkRange() override
    {
        calls << QStringLiteral("scan:%1").arg(m_parts.state.scan.ScanStopped);
        // A walk under way: the button reads "Stop".
        m_parts.state.scan.ScanPosition = 75;
        m_parts.state.scan.ScanPhase = 1;
        m_parts.controls.cmdBatal->setText(QStringLiteral("Stop"));
        m_parts.controls.cmdBatal->setEnabled(true);
    }
    void stop() override { calls << QStringLiteral("stop"); }
    QString busyReason() const override { return {}; }

    static inline QStringList calls;

private:
    AssignmentWindowParts& m_parts;
};

const QString Central = QStringLiteral("Central");
const QString Headquarters = QStringLiteral("Headquarters");

// A proposal of PC in Central, Kedah, Amstown, LAN (.71, nothing answers).
void proposeInAmstown(AssignWindow& w)
{
    w.chooseStatePlace();
    if (!w.propose())
        qFatal("no proposal");
}

} // namespace

class AssignWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void modes_data()
    {
        QTest::addColumn<AssignMode>("mode");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("countLabel");
        QTest::addColumn<bool>("countEnabled");
        QTest::newRow("new") << AssignMode::New << "Assign New IP Address"
                             << "Total Required :" << true;
        QTest::newRow("dedicated") << AssignMode::Dedicated << "Assign Dedicated IP Address"
                                   << "IP Octet 4 :" << true;
        QTest::newRow("scan") << AssignMode::Scan << "Scan Network ..."
                              << "Total Required :" << false;
    }
    void modes()
    {
        QFETCH(AssignMode, mode);
        AssignWindow w(mode);
        w.withPlan();
        w.open();
        QTEST(w.window->windowTitle(), "caption");
        QTEST(w.text("lblTotalRequired"), "countLabel");
        QTEST(w.enabled("txtBilangan"), "countEnabled");
        QCOMPARE(w.text("txtlblIPAddress"), QStringLiteral("0.0.0.0"));
        QCOMPARE(w.text("txtlblNamingConvention"), QString());
        QVERIFY(!w.enabled("cmdSave") && !w.enabled("cmdBatal") && w.enabled("cmdTutup"));
        QVERIFY(!w.enabled("txtKodPeralatan") && !w.visible("lblJumlah") && !w.visible("txtSegment"));
        auto* tabs = w.child<QTabWidget>("SSTab1");
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->tabText(0) + tabs->tabText(1) + tabs->tabText(2),
                 QStringLiteral(" Equipment User Details IP Address List"));
        QCOMPARE(w.entries("cboRegion"), (QStringList{Central, Headquarters}));
        // The window as the user sees it, for a look by eye when a folder is named.
        if (const QString folder = qEnvironmentVariable("TARVO_RENDER_DIR"); !folder.isEmpty()) {
            w.recorded(QStringLiteral("10.20.34."), {71, 72, 73});
            w.chooseStatePlace();
            if (mode != AssignMode::Scan)
                w.type("txtBilangan", QStringLiteral("80"));
            w.propose();
            const QString tag = QString::fromLatin1(QTest::currentDataTag());
            w.window->grab().save(QDir(folder).filePath(tag + QStringLiteral(".png")));
            for (const int tab : {1, 2}) {
                w.child<QTabWidget>("SSTab1")->setCurrentIndex(tab);
                w.window->grab().save(QDir(folder).filePath(tag + QStringLiteral("-%1.png").arg(tab)));
            }
        }
    }

    // In Scan mode the pick goes to the scan; Stop tells it, and the walk's place is reset.
    void scanModeHandsThePickToTheScan()
    {
        RecordingScan::calls.clear();
        AssignWindow w(AssignMode::Scan);
        w.withPlan();
        w.makeScan = [](AssignmentWindowParts& parts, ProposalSteps&) {
            return std::make_unique<RecordingScan>(parts);
        };
        w.open();
        w.chooseStatePlace();
        w.pick("cboEquipment", QStringLiteral("PC"));
        w.click("cmdBatal");
        QCOMPARE(RecordingScan::calls, (QStringList{"scan:0", "stop"}));
        const ScanMembers& scan = w.window->state().scan;
        QVERIFY(scan.ScanStopped && scan.ScanPosition == 0 && scan.ScanPhase == ScanPhaseAskAgain);
        QCOMPARE(w.text("cmdBatal"), QStringLiteral("Cancel"));
        QVERIFY(w.pinger.calls.isEmpty());
    }

    void firstRun_data()
    {
        QTest::addColumn<QStringList>("change");
        QTest::addColumn<int>("runs");
        QTest::newRow("delivered sample city") << QStringList() << 1;
        QTest::newRow("no city") << QStringList{"DELETE FROM City"} << 1;
        QTest::newRow("sample in other letter case")
            << QStringList{"UPDATE City SET City_name = 'IT DIVISION'"} << 0;
        QTest::newRow("sample with another octet") << QStringList{"UPDATE City SET IP_octet2 = 101"} << 0;
        QTest::newRow("a second city") << QStringList{"INSERT INTO City (City_name, Abbr_city, IP_octet2, "
                                                      "Abbr_state, Region) VALUES ('B', 'B', 1, 'HQ', "
                                                      "'Headquarters')"}
                                       << 0;
    }
    void firstRun()
    {
        QFETCH(QStringList, change);
        AssignWindow w;
        for (const QString& sql : change)
            w.exec(sql);
        w.open();
        QTEST(w.localSettingRuns, "runs");
        QCOMPARE(w.entries("cboRegion"), QStringList{Headquarters});
    }

    // The octet rule and the name parts in an area with states.
    void stateArea_data()
    {
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("workgroup");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("offset 30, digit 4") << "Amstown"
                                            << "LAN"
                                            << "10.20.34.0"
                                            << "_KLAMS0"
                                            << "";
        QTest::newRow("offset 0 drops the digit") << "Zerotown"
                                                  << "LAN"
                                                  << "10.21.0.0"
                                                  << "_KLZRO0"
                                                  << "";
        QTest::newRow("octet 3 above 255 refused") << "Bigtown"
                                                   << "Server"
                                                   << "10.22.0.0"
                                                   << "_K_BIG0" << octet3TooHighMessage(259);
    }
    void stateArea()
    {
        QFETCH(QString, message);
        QFETCH(QString, city);
        QFETCH(QString, workgroup);
        AssignWindow w;
        w.withPlan();
        w.open();
        w.chooseStatePlace(city, workgroup);
        QTEST(w.text("txtlblIPAddress"), "address");
        QTEST(w.text("txtlblNamingConvention"), "name");
        QCOMPARE(w.program.messenger.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(w.text("txtBilangan"), message.isEmpty() ? QStringLiteral("1") : QString());
        QCOMPARE(w.entries("cboEquipment"), (QStringList{"PC", "Printer", "Subnet Mask 252"}));
    }

    void segmentBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("name");
        QTest::newRow("7") << "7"
                           << "7"
                           << "_07ITD0";
        QTest::newRow("12") << "12"
                            << "12"
                            << "_12ITD0";
        QTest::newRow("256 refused") << "256"
                                     << "25"
                                     << "_25ITD0";
        QTest::newRow("x refused") << "x"
                                   << ""
                                   << "___ITD0";
    }
    void segmentBox()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        AssignWindow w;
        w.withPlan();
        w.open();
        w.pick("cboRegion", Headquarters);
        QVERIFY(!w.visible("cboState") && !w.visible("cboWorkGroup") && w.visible("txtSegment"));
        QCOMPARE(w.text("lblWorkGroup"), QStringLiteral("Segment :"));
        w.pick("cboCity", QStringLiteral("IT Division"));
        QVERIFY(w.enabled("txtSegment"));
        w.type("txtSegment", typed);
        QCOMPARE(w.text("txtSegment"), kept);
        QCOMPARE(w.text("txtlblIPAddress"), QStringLiteral("10.100.%1.0").arg(kept.toInt()));
        QTEST(w.text("txtlblNamingConvention"), "name");
    }

    void cityWithOffsetAndRange()
    {
        AssignWindow w;
        w.withPlan();
        w.open();
        w.pick("cboRegion", Headquarters);
        w.pick("cboCity", QStringLiteral("Data Centre"));
        QCOMPARE(w.text("txtSegment"), QStringLiteral("20"));
        QVERIFY(!w.enabled("txtSegment"));
        QCOMPARE(w.text("lblWorkGroup"), QStringLiteral("IP Octet 3 :"));
        QCOMPARE(w.text("txtlblIPAddress"), QStringLiteral("10.101.20.0"));
        const QStringList rangeOnly{QStringLiteral("IP Range 10 to 50")};
        QCOMPARE(w.entries("cboEquipment"), rangeOnly);
        w.type("txtBilangan", QStringLiteral("3"));
        QCOMPARE(w.entries("cboEquipment"), rangeOnly);
        // A city of the area without a range of its own keeps the whole list.
        w.pick("cboCity", QStringLiteral("IT Division"));
        QVERIFY(w.enabled("txtSegment"));
        QCOMPARE(w.text("lblWorkGroup"), QStringLiteral("Segment :"));
        QCOMPARE(w.entries("cboEquipment"), (QStringList{"PC", "Printer", "Subnet Mask 252"}));
    }

    void emptyEquipmentTableOffersOnlySubnetMask()
    {
        AssignWindow w;
        w.withPlan();
        w.exec(QStringLiteral("DELETE FROM Equipment"));
        w.open();
        w.chooseStatePlace();
        QCOMPARE(w.entries("cboEquipment"), QStringList{"Subnet Mask 252"});
    }

    void countBox_data()
    {
        QTest::addColumn<AssignMode>("mode");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("256") << AssignMode::New << "256"
                             << "256";
        QTest::newRow("257 refused") << AssignMode::New << "257"
                                     << "25";
        QTest::newRow("letters refused") << AssignMode::New << "1a"
                                         << "1";
        QTest::newRow("octet 4 of 256 refused") << AssignMode::Dedicated << "256"
                                                << "25";
        QTest::newRow("octet 4 with zeros") << AssignMode::Dedicated << "007"
                                            << "007";
    }
    void countBox()
    {
        QFETCH(AssignMode, mode);
        QFETCH(QString, typed);
        AssignWindow w(mode);
        w.withPlan();
        w.open();
        w.chooseStatePlace();
        w.type("txtBilangan", typed);
        QTEST(w.text("txtBilangan"), "kept");
    }

    // Each missing choice of a New-mode pick names its field and puts the focus there.
    void missingChoice_data()
    {
        QTest::addColumn<QStringList>("steps"); // list:entry picks, or "count:text"
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("state") << QStringList{"cboRegion:Central"} << "Please select State : ..."
                               << "cboState";
        QTest::newRow("city") << QStringList{"cboRegion:Central", "cboState:Kedah"}
                              << "Please select City : ..."
                              << "cboCity";
        QTest::newRow("work group") << QStringList{"cboRegion:Central", "cboState:Kedah", "cboCity:Amstown"}
                                    << "Please select WorkGroup : ..."
                                    << "cboWorkGroup";
        QTest::newRow("segment") << QStringList{"cboRegion:Headquarters", "cboCity:IT Division"}
                                 << "Please enter Segment : ..."
                                 << "txtSegment";
        QTest::newRow("count 0") << QStringList{"cboRegion:Central", "cboState:Kedah", "cboCity:Amstown",
                                                "cboWorkGroup:LAN", "count:0"}
                                 << "Please enter Total Required : ..."
                                 << "txtBilangan";
        QTest::newRow("no count") << QStringList{"cboRegion:Central", "cboState:Kedah", "cboCity:Amstown",
                                                 "cboWorkGroup:LAN", "count:"}
                                  << "Please enter Total Required : ..."
                                  << "txtBilangan";
    }
    void missingChoice()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        AssignWindow w;
        w.withPlan();
        w.open();
        for (const QString& step : steps) {
            const QString name = step.section(QLatin1Char(':'), 0, 0);
            const QString entry = step.section(QLatin1Char(':'), 1);
            if (name == QLatin1String("count"))
                w.type("txtBilangan", entry);
            else
                w.pick(qPrintable(name), entry);
        }
        w.pick("cboEquipment", QStringLiteral("PC"));
        QCOMPARE(w.program.messenger.texts(), QStringList{message});
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(w.pinger.calls.isEmpty());
        QVERIFY(!w.enabled("cmdSave"));
    }

    // Another live database: the window reads the address plan again and starts afresh.
    void databaseSwitchStartsAfresh()
    {
        AssignWindow w;
        w.withPlan();
        w.open();
        w.chooseStatePlace();
        const QString other = w.program.path(QStringLiteral("other.mdb"));
        w.program.createDatabase(other);
        QVERIFY(w.program.databaseService.switchTo(other));
        QCOMPARE(w.entries("cboRegion"), QStringList{Headquarters});
        QCOMPARE(w.text("cboRegion"), QString());
        QCOMPARE(w.text("txtlblIPAddress"), QStringLiteral("0.0.0.0"));
        QVERIFY(w.entries("cboEquipment").isEmpty() && w.visible("cboState"));
        QCOMPARE(w.localSettingRuns, 0);
    }

    void areaAdministratorSeesTheOwnAreaChosen()
    {
        AssignWindow w(AssignMode::New, Central);
        w.withPlan();
        w.open();
        QCOMPARE(w.entries("cboRegion"), QStringList{Central});
        QCOMPARE(w.text("cboRegion"), Central);
        QCOMPARE(w.entries("cboState"), (QStringList{"Kedah", "Perak"}));
        QCOMPARE(w.text("txtlblIPAddress"), QStringLiteral("10.0.0.0"));
    }

    // A list entry removed by another workstation after the list was read: a message and a refill.
    void vanishedEntry_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("what");
        QTest::newRow("city") << "DELETE FROM City WHERE City_name = 'Zerotown'"
                              << "cboCity"
                              << "Zerotown"
                              << "city";
        QTest::newRow("work group") << "DELETE FROM Workgroup WHERE Workgroup_name = 'Server'"
                                    << "cboWorkGroup"
                                    << "Server"
                                    << "work group";
        QTest::newRow("equipment") << "DELETE FROM Equipment WHERE Eqp_name = 'Printer'"
                                   << "cboEquipment"
                                   << "Printer"
                                   << "equipment";
    }
    void vanishedEntry()
    {
        QFETCH(QString, sql);
        QFETCH(QString, list);
        QFETCH(QString, entry);
        QFETCH(QString, what);
        AssignWindow w;
        w.withPlan();
        w.open();
        w.chooseStatePlace();
        w.exec(sql);
        w.program.messenger.clear();
        w.pick(qPrintable(list), entry);
        QCOMPARE(w.program.messenger.texts(), QStringList{vanishedMessage(what, entry)});
        QVERIFY(!w.entries(qPrintable(list)).contains(entry));
        QVERIFY(!w.enabled("cmdSave"));
    }

    // The length limits refuse what is typed or pasted beyond them.
    void lengthLimits_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("limit");
        QTest::newRow("project") << "txtProject" << 50;
        QTest::newRow("remarks") << "txtRemarks" << 150;
        QTest::newRow("user name") << "txtNamaPengguna" << 50;
    }
    void lengthLimits()
    {
        QFETCH(QString, field);
        QFETCH(int, limit);
        AssignWindow w;
        w.withPlan();
        w.open();
        proposeInAmstown(w);
        const QByteArray name = field.toLatin1();
        w.child<QTabWidget>("SSTab1")->setCurrentIndex(field == QLatin1String("txtNamaPengguna") ? 1 : 0);
        w.type(name.constData(), QString(limit + 1, QLatin1Char('a')));
        QCOMPARE(w.text(name.constData()).size(), limit);
        auto* box = w.child<QLineEdit>(name.constData());
        box->clear();
        QApplication::clipboard()->setText(QString(limit + 10, QLatin1Char('b')));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QString());
    }

    void enterInRemarksLandsInTheUserName()
    {
        AssignWindow w;
        w.withPlan();
        w.open();
        proposeInAmstown(w);
        auto* remarks = w.child<QLineEdit>("txtRemarks");
        remarks->setFocus();
        QTest::keyClick(remarks, Qt::Key_Return);
        QCOMPARE(w.child<QTabWidget>("SSTab1")->currentIndex(), 1);
        QTRY_COMPARE(QApplication::focusWidget(), w.child<QWidget>("txtNamaPengguna"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), w.child<QWidget>("txtStaffNo"));
    }

    void userTabDoesNothingWithoutAProposal()
    {
        AssignWindow w;
        w.withPlan();
        w.open();
        w.chooseStatePlace();
        w.child<QTabWidget>("SSTab1")->setCurrentIndex(1);
        QVERIFY(!w.visible("PicUnitDivision"));
        QVERIFY(w.entries("cboUnitDivision").isEmpty());
    }

    // The unit list of the place, its address, the unit window preset to the place and its refill.
    void units_data()
    {
        QTest::addColumn<bool>("segmented");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("street");
        QTest::addColumn<QString>("ownerState");
        QTest::addColumn<bool>("hasState");
        QTest::newRow("state area") << false << "Finance"
                                    << "Jalan Satu"
                                    << "Kedah" << true;
        QTest::newRow("segmented area says no state") << true << "IT Dept"
                                                      << "Jalan Dua"
                                                      << "" << false;
    }
    void units()
    {
        QFETCH(bool, segmented);
        QFETCH(QString, unit);
        AssignWindow w;
        w.withPlan();
        w.open();
        w.program.context.unitDivisionHandOver().OwnerState = QStringLiteral("stale");
        if (segmented) {
            w.pick("cboRegion", Headquarters);
            w.pick("cboCity", QStringLiteral("IT Division"));
            w.type("txtSegment", QStringLiteral("5"));
            QVERIFY(w.propose());
        } else {
            proposeInAmstown(w);
        }
        w.child<QTabWidget>("SSTab1")->setCurrentIndex(1);
        QVERIFY(w.visible("PicUnitDivision"));
        QCOMPARE(w.entries("cboUnitDivision"), QStringList{unit});
        w.pick("cboUnitDivision", unit);
        QTEST(w.text("txtJalan"), "street");
        QVERIFY(!w.enabled("txtJalan"));

        // The unit window adds a unit; its close refills the list with the unit still chosen.
        w.onUnitWindow = [&] {
            const UnitDivisionHandOver& h = w.program.context.unitDivisionHandOver();
            w.exec(
                QStringLiteral("INSERT INTO UnitDivision (UnitDivision, RegionOwner, StateOwner, CityOwner) "
                               "VALUES ('Added', ?, ?, ?)"),
                {h.OwnerRegion, h.OwnerHasState ? QVariant(h.OwnerState) : QVariant(), h.OwnerCity});
        };
        w.click("PicUnitDivision");
        QCOMPARE(w.unitHandOvers.size(), 1);
        const UnitDivisionHandOver handOver = w.unitHandOvers.front();
        QVERIFY(handOver.UnitDivFromMain);
        QCOMPARE(handOver.OwnerRegion, segmented ? Headquarters : Central);
        QTEST(handOver.OwnerState, "ownerState");
        QTEST(handOver.OwnerHasState, "hasState");
        QCOMPARE(w.entries("cboUnitDivision"), (QStringList{"Added", unit}));
        QCOMPARE(w.text("cboUnitDivision"), unit);

        // The unit vanishes: the next look at the tab empties its address.
        w.exec(QStringLiteral("DELETE FROM UnitDivision WHERE UnitDivision = '%1'").arg(unit));
        w.child<QTabWidget>("SSTab1")->setCurrentIndex(0);
        w.child<QTabWidget>("SSTab1")->setCurrentIndex(1);
        QCOMPARE(w.text("txtJalan"), QString());
        QCOMPARE(w.text("cboUnitDivision"), QString());
    }
};

QTEST_MAIN(AssignWindowTest)
#include "AssignWindowTest.moc"
