// The assignment window's frame: its modes, the first-run test, the location cascade with the octet
// rule and the name parts, the guarded boxes, the detail fields with the unit list, and the keyboard.

#include "AssignWindowKit.h"

#include "assign/AssignmentMessages.h"

#include <QClipboard>
#include <QtTest>

using namespace tarvo;
using test::AssignWindow;
using test::inKedah;
using test::inSegment;

namespace {

const QString Central = QStringLiteral("Central");
const QString Headquarters = QStringLiteral("Headquarters");
const QStringList AllEquipment{"PC", "Printer", "Subnet Mask 252"};
const QStringList Amstown = inKedah();

struct Place // steps of the location cascade and what it shows
{
    const char* name;
    QStringList steps;
    QStringList shown; // the address, the name parts and the count
    QString message = {};
    QStringList equipment = AllEquipment;
    QString change = {}; // made to the plan first
};

struct Typed // typed into the count or octet 4 box
{
    const char* name;
    AssignMode mode;
    QString typed;
    QString kept;
};

struct Missing
{
    const char* name;
    QStringList steps;
    QString field;
    QString focus;
};

} // namespace

Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(Typed)
Q_DECLARE_METATYPE(Missing)

class AssignWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void modes_data()
    {
        QTest::addColumn<AssignMode>("mode");
        QTest::addColumn<QString>("countLabel");
        QTest::newRow("new") << AssignMode::New << "Total Required :";
        QTest::newRow("dedicated") << AssignMode::Dedicated << "IP Octet 4 :";
        QTest::newRow("scan") << AssignMode::Scan << "Total Required :";
    }
    void modes()
    {
        QFETCH(AssignMode, mode);
        AssignWindow w(mode);
        w.open();
        QTEST(w.text("lblTotalRequired"), "countLabel");
        QCOMPARE(w.enabled("txtBilangan"), mode != AssignMode::Scan);
        QCOMPARE(w.texts({"txtlblIPAddress", "txtlblNamingConvention"}), (QStringList{"0.0.0.0", ""}));
        QVERIFY(w.idle() && !w.enabled("txtKodPeralatan") && !w.visible("lblJumlah") &&
                !w.visible("txtSegment"));
        QCOMPARE(w.entries("cboRegion"), (QStringList{Central, Headquarters}));
        QCOMPARE(w.localSettingRuns, 0);
    }

    // The local setting runs first while the plan holds only the delivered sample city.
    void firstRunOnTheDeliveredPlan()
    {
        AssignWindow w(AssignMode::New, {}, false);
        w.open();
        QCOMPARE(w.localSettingRuns, 1);
    }

    // The octet rule and the name parts, with states or segments, and the equipment list of the place.
    void places_data()
    {
        test::cases<Place>({
            {"offset 30, digit 4", inKedah(), {"10.20.34.0", "_KLAMS0", "1"}},
            {"offset 0 drops the digit", inKedah("Zerotown"), {"10.21.0.0", "_KLZRO0", "1"}},
            {"octet 3 of 259",
             inKedah("Bigtown", "Server"),
             {"10.22.0.0", "_K_BIG0", ""},
             octet3TooHighMessage(259)},
            {"no equipment rows",
             inKedah(),
             {"10.20.34.0", "_KLAMS0", "1"},
             {},
             {SubnetMask252},
             "DELETE FROM Equipment"},
            // Another city of the area after one with its own range takes a segment again.
            {"segment 7 after Data Centre",
             {"cboRegion:Headquarters", "cboCity:Data Centre", "cboCity:IT Division", "txtSegment:7"},
             {"10.100.7.0", "_07ITD0", "1"}},
            {"segment 12", inSegment("12"), {"10.100.12.0", "_12ITD0", "1"}},
            {"segment 256 kept as 25", inSegment("256"), {"10.100.25.0", "_25ITD0", "1"}},
            {"segment x refused", inSegment("x"), {"10.100.0.0", "___ITD0", ""}},
            // A city with an offset and a range of its own fixes octet 3 and offers only its range.
            {"city with its own range",
             {"cboRegion:Headquarters", "cboCity:Data Centre", "txtBilangan:3"},
             {"10.101.20.0", "_20DC0", "3"},
             {},
             {"IP Range 10 to 50"}},
        });
    }
    void places()
    {
        QFETCH(Place, row);
        AssignWindow w;
        if (!row.change.isEmpty())
            w.exec(row.change);
        w.open();
        w.apply(row.steps);
        QCOMPARE(w.texts({"txtlblIPAddress", "txtlblNamingConvention", "txtBilangan"}), row.shown);
        QCOMPARE(w.program.messenger.texts(),
                 row.message.isEmpty() ? QStringList() : QStringList{row.message});
        QCOMPARE(w.entries("cboEquipment"), row.equipment);
        const bool segmented = row.steps.front().endsWith(Headquarters);
        QVERIFY(w.visible("cboState") != segmented && w.visible("cboWorkGroup") != segmented);
        QCOMPARE(w.visible("txtSegment"), segmented);
        if (segmented) {
            const bool ownRange = row.equipment != AllEquipment;
            QCOMPARE(w.enabled("txtSegment"), !ownRange);
            QCOMPARE(w.text("lblWorkGroup"),
                     ownRange ? QStringLiteral("IP Octet 3 :") : QStringLiteral("Segment :"));
        }
    }

    void guardedBoxes_data()
    {
        test::cases<Typed>({
            {"count 256", AssignMode::New, "256", "256"},
            {"count 257 refused", AssignMode::New, "257", "25"},
            {"count with letters refused", AssignMode::New, "1a", "1"},
            {"octet 4 of 256 refused", AssignMode::Dedicated, "256", "25"},
            {"octet 4 with zeros", AssignMode::Dedicated, "007", "007"},
        });
    }
    void guardedBoxes()
    {
        QFETCH(Typed, row);
        AssignWindow w(row.mode);
        w.start();
        w.type("txtBilangan", row.typed);
        QCOMPARE(w.text("txtBilangan"), row.kept);
    }

    // Each missing choice of a New-mode pick names its field and puts the focus there.
    void missingChoice_data()
    {
        test::cases<Missing>({
            {"state", Amstown.mid(0, 1), "select State", "cboState"},
            {"city", Amstown.mid(0, 2), "select City", "cboCity"},
            {"work group", Amstown.mid(0, 3), "select WorkGroup", "cboWorkGroup"},
            {"segment", {"cboRegion:Headquarters", "cboCity:IT Division"}, "enter Segment", "txtSegment"},
            {"count 0", Amstown + QStringList{"txtBilangan:0"}, "enter Total Required", "txtBilangan"},
            {"no count", Amstown + QStringList{"txtBilangan:"}, "enter Total Required", "txtBilangan"},
        });
    }
    void missingChoice()
    {
        QFETCH(Missing, row);
        AssignWindow w;
        w.open();
        w.apply(row.steps);
        w.pick("cboEquipment", QStringLiteral("PC"));
        QCOMPARE(w.program.messenger.texts(), QStringList{QStringLiteral("Please %1 : ...").arg(row.field)});
        QCOMPARE(QApplication::focusWidget()->objectName(), row.focus);
        QVERIFY(w.pinger.calls.isEmpty() && !w.enabled("cmdSave"));
    }

    // Another live database: the window reads the address plan again and starts afresh.
    void databaseSwitchStartsAfresh()
    {
        AssignWindow w;
        w.start();
        const QString other = w.program.path(QStringLiteral("other.mdb"));
        w.program.createDatabase(other);
        QVERIFY(w.program.databaseService.switchTo(other));
        QCOMPARE(w.entries("cboRegion"), QStringList{Headquarters});
        QCOMPARE(w.texts({"cboRegion", "txtlblIPAddress"}), (QStringList{"", "0.0.0.0"}));
        QVERIFY(w.entries("cboEquipment").isEmpty() && w.visible("cboState"));
        QCOMPARE(w.localSettingRuns, 0);
    }

    void areaAdministratorSeesTheOwnAreaChosen()
    {
        AssignWindow w(AssignMode::New, Central);
        w.open();
        QCOMPARE(w.entries("cboRegion"), QStringList{Central});
        QCOMPARE(w.texts({"cboRegion", "txtlblIPAddress"}), (QStringList{Central, "10.0.0.0"}));
        QCOMPARE(w.entries("cboState"), (QStringList{"Kedah", "Perak"}));
    }

    // A list entry removed by another workstation after the list was read: a message and a refill.
    void vanishedEntry_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("entry");
        QTest::newRow("city") << "DELETE FROM City WHERE City_name = 'Zerotown'" << QStringLiteral("cboCity")
                              << QStringLiteral("Zerotown");
        QTest::newRow("work group") << "DELETE FROM Workgroup WHERE Workgroup_name = 'Server'"
                                    << QStringLiteral("cboWorkGroup") << QStringLiteral("Server");
        QTest::newRow("equipment") << "DELETE FROM Equipment WHERE Eqp_name = 'Printer'"
                                   << QStringLiteral("cboEquipment") << QStringLiteral("Printer");
    }
    void vanishedEntry()
    {
        QFETCH(QString, sql);
        QFETCH(QString, list);
        QFETCH(QString, entry);
        AssignWindow w;
        w.start();
        w.exec(sql);
        w.program.messenger.clear();
        w.pick(qPrintable(list), entry);
        QCOMPARE(w.program.messenger.texts(),
                 QStringList{vanishedMessage(QString::fromLatin1(QTest::currentDataTag()), entry)});
        QVERIFY(!w.entries(qPrintable(list)).contains(entry) && !w.enabled("cmdSave"));
    }

    // The length limits refuse what is typed or pasted beyond them.
    void lengthLimits_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("tab");
        QTest::newRow("project") << "txtProject" << 50 << 0;
        QTest::newRow("remarks") << "txtRemarks" << 150 << 0;
        QTest::newRow("user name") << "txtNamaPengguna" << 50 << 1;
    }
    void lengthLimits()
    {
        QFETCH(QString, field);
        QFETCH(int, limit);
        QFETCH(int, tab);
        AssignWindow w;
        w.start();
        QVERIFY(w.propose());
        w.tab(tab);
        const QByteArray name = field.toLatin1();
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
        w.start();
        QVERIFY(w.propose());
        auto* remarks = w.child<QLineEdit>("txtRemarks");
        remarks->setFocus();
        QTest::keyClick(remarks, Qt::Key_Return);
        QCOMPARE(w.child<QTabWidget>("SSTab1")->currentIndex(), 1);
        QTRY_COMPARE(QApplication::focusWidget(), w.child<QWidget>("txtNamaPengguna"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), w.child<QWidget>("txtStaffNo"));
    }

    // The unit list of the place, its address, the unit window preset to the place and its refill.
    void units_data()
    {
        QTest::addColumn<QStringList>("place");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("street");
        QTest::addColumn<QString>("ownerState");
        QTest::addColumn<bool>("hasState");
        QTest::newRow("state area") << Amstown << "Finance" << QStringLiteral("Jalan Satu") << "Kedah"
                                    << true;
        QTest::newRow("segmented area says no state")
            << inSegment("5") << "IT Dept" << QStringLiteral("Jalan Dua") << "" << false;
    }
    void units()
    {
        QFETCH(QStringList, place);
        QFETCH(QString, unit);
        AssignWindow w;
        w.open();
        w.program.context.unitDivisionHandOver().OwnerState = QStringLiteral("stale");
        w.apply(place);
        // No proposal yet: the tab offers nothing.
        w.tab(1);
        QVERIFY(!w.visible("PicUnitDivision") && w.entries("cboUnitDivision").isEmpty());
        QVERIFY(w.propose());
        w.tab(1);
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
        // The detail window's flag is left as it stands.
        w.program.context.unitDivisionHandOver().UnitDivFromInfo = true;
        w.click("PicUnitDivision");
        QCOMPARE(w.unitHandOvers.size(), 1);
        const UnitDivisionHandOver handOver = w.unitHandOvers.front();
        QVERIFY(handOver.UnitDivFromMain && handOver.UnitDivFromInfo);
        QCOMPARE(handOver.OwnerRegion, place.front().section(QLatin1Char(':'), 1));
        QTEST(handOver.OwnerState, "ownerState");
        QTEST(handOver.OwnerHasState, "hasState");
        QCOMPARE(w.entries("cboUnitDivision"), (QStringList{"Added", unit}));
        QCOMPARE(w.text("cboUnitDivision"), unit);

        // The unit vanishes: the next look at the tab empties its address.
        w.exec(QStringLiteral("DELETE FROM UnitDivision WHERE UnitDivision = ?"), {unit});
        w.tab(0);
        w.tab(1);
        QCOMPARE(w.texts({"txtJalan", "cboUnitDivision"}), (QStringList{"", ""}));
    }
};

QTEST_MAIN(AssignWindowTest)
#include "AssignWindowTest.moc"
