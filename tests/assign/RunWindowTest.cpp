// Bulk runs of the assignment window with the kept details and auto-save, Stop, and the dedicated
// assignment of a typed octet 4.

#include "AssignWindowKit.h"

#include "assign/BulkRun.h"
#include "assign/DedicatedProposal.h"
#include "assign/IpRecordStore.h"

#include <QSignalSpy>
#include <QtTest>

using namespace tarvo;
using test::AssignWindow;

namespace {

const QString Prefix = QStringLiteral("10.20.34.");
constexpr auto Ok = MessageAnswer::Ok;
constexpr auto Yes = MessageAnswer::Yes;
constexpr auto No = MessageAnswer::No;

} // namespace

class RunWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Three addresses with the same details, saved by themselves. A device answering on .72 has its
    // record saved too, without counting; the run's third record takes the first one's project.
    void automaticRun()
    {
        AssignWindow w;
        w.pinger.answers(Prefix + QStringLiteral("72"));
        w.start(QStringLiteral("3"));
        QSignalSpy progress(w.window->findChild<BulkRun*>(), &BulkRun::progressChanged);
        QVERIFY(w.propose());
        w.type("txtProject", QStringLiteral("Rack 7"));
        w.saveAnswering({Ok, Yes, Yes});
        QTRY_VERIFY(w.records() == 4 && w.idle());
        QCOMPARE(w.questions(), (QStringList{"save", "Confirmation", "Auto-Save"}));
        QCOMPARE(w.inUseShown, QStringList{Prefix + QStringLiteral("72")});
        QList<int> shown;
        for (const QList<QVariant>& signal : progress)
            shown << signal.at(0).toInt();
        QCOMPARE(shown, (QList<int>{1, 2, 3}));
        QCOMPARE(w.field(QStringLiteral("Project"), Prefix + QStringLiteral("74")), QStringLiteral("Rack 7"));
        QVERIFY(!w.visible("lblRekodKe") && !w.visible("lblBilangan"));
        // A completed run leaves nothing behind for the next single assignment.
        w.type("txtBilangan", QStringLiteral("1"));
        QVERIFY(w.propose());
        QCOMPARE(w.text("txtProject"), QString());
    }

    // An automatic run of ten ends early: Stop while the fifth address is checked, or a failing log or
    // database after the first save, with a message. Nothing is saved after it.
    void automaticRunEndsEarly_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("message");
        QTest::newRow("Stop") << QString() << 4 << QString();
        QTest::newRow("log error") << "log" << 2 << AssignLogErrorMessage;
        QTest::newRow("database error") << "database" << 1 << "Stopped here.";
    }
    void automaticRunEndsEarly()
    {
        QFETCH(QString, failure);
        QFETCH(QString, message);
        AssignWindow w;
        w.pinger.setLatency(Prefix + QStringLiteral("75"), 60000);
        w.start(QStringLiteral("10"));
        QVERIFY(w.propose());
        w.program.messenger.onMessage([&](const Message& shown) {
            if (shown.title != QLatin1String("Auto-Save"))
                return;
            if (failure == QLatin1String("database"))
                w.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON IP_Info BEGIN SELECT "
                                      "RAISE(ABORT, 'stopped here'); END"));
            if (failure == QLatin1String("log")) {
                QDir(w.program.folder()).remove(AssignLogFileName);
                QDir(w.program.folder()).mkdir(AssignLogFileName);
            }
        });
        w.saveAnswering({Ok, Yes, Yes});
        if (failure.isEmpty()) {
            QTRY_VERIFY(w.pinger.requestsTo(Prefix + QStringLiteral("75")) > 0);
            QCOMPARE(w.text("cmdBatal"), QStringLiteral("Stop"));
            QVERIFY(!w.window->busyReason().isEmpty());
            w.click("cmdBatal");
        } else {
            QTRY_VERIFY(w.program.messenger.last().text.contains(message));
        }
        QTRY_VERIFY(w.idle());
        QVERIFY(w.window->busyReason().isEmpty() && w.text("txtKodPeralatan").isEmpty());
        QTest::qWait(50);
        QTEST(w.records(), "records");
    }

    // The kept details of a manual run keep the first record's status; Cancel takes the marker off.
    void keptStatusAndMarker()
    {
        AssignWindow w;
        w.pinger.answers(Prefix + QStringLiteral("72"));
        w.onAddressInUse = [](AssignmentWindowLink& link) { link.markProposalInUse(); };
        w.start(QStringLiteral("2"));
        QVERIFY(w.propose());
        w.pick("cboStatus", StatusTemporary);
        w.saveAnswering({Ok, Yes, No});
        QTRY_COMPARE(w.text("txtIPAddress"), Prefix + QStringLiteral("72"));
        QTRY_VERIFY(w.enabled("cmdSave"));
        QCOMPARE(w.texts({"cboStatus", "lblBilangan"}), (QStringList{StatusTemporary, "X"}));
        w.click("cmdBatal");
        QCOMPARE(w.text("lblBilangan"), QString());
        // After Cancel the next single proposal's save ends the assignment.
        w.onAddressInUse = nullptr;
        w.type("txtBilangan", QStringLiteral("1"));
        QVERIFY(w.propose());
        w.save();
        QTRY_VERIFY(w.idle());
        QCOMPARE(w.records(), 2);
    }

    // A typed octet 4 must lie in the equipment's range; one save ends the assignment and the list
    // after it runs in address order (.9 before .202).
    void dedicated_data()
    {
        QTest::addColumn<QString>("octet4");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("name"); // empty: refused
        const auto row = [](const char* octet4, const char* name,
                            const QString& item = QStringLiteral("PC")) {
            QTest::newRow(octet4) << QString::fromLatin1(octet4) << item << QString::fromLatin1(name);
        };
        row("70", "");
        row("241", "");
        row("0", "");
        row("71", "PCKLAMS01");
        row("240", "PCKLAMSH0");
        row("071", "PCKLAMS01");
        row("202", "NWKLAMSK2", SubnetMask252);
    }
    void dedicated()
    {
        QFETCH(QString, octet4);
        QFETCH(QString, item);
        QFETCH(QString, name);
        AssignWindow w(AssignMode::Dedicated);
        w.recorded(Prefix, {9}); // no reservation: the /24 holds a record
        w.start(octet4);
        w.pick("cboEquipment", item);
        if (name.isEmpty()) {
            QCOMPARE(w.program.messenger.texts(),
                     QStringList{octet4OutOfRangeMessage(QStringLiteral("PC"), 71, 240)});
            QCOMPARE(w.program.messenger.last().title, Octet4OutOfRangeTitle);
            QVERIFY(w.enabled("txtBilangan") && !w.enabled("cmdSave") && w.pinger.calls.isEmpty());
            return;
        }
        const QString address = Prefix + QString::number(octet4.toInt());
        QTRY_VERIFY(w.enabled("cmdSave"));
        QCOMPARE(w.texts({"txtIPAddress", "txtKodPeralatan"}), (QStringList{address, name}));
        QCOMPARE(w.pinger.requestsTo(address), 4);
        w.save();
        QTRY_VERIFY(w.idle());
        QCOMPARE(w.records(), 2);
        QCOMPARE(w.questions(), QStringList{"save"});
        const QAbstractItemModel* grid = w.child<QTableView>("gridData")->model();
        QCOMPARE(grid->index(grid->rowCount() - 1, 0).data().toString(), address);
        QVERIFY(w.enabled("txtBilangan"));
    }

    // An address with a record is shown read-only, its remark whole, and cannot be saved.
    void dedicatedRecordedAddress()
    {
        const QString remark(160, QLatin1Char('r'));
        AssignWindow w(AssignMode::Dedicated);
        w.exec(QStringLiteral(
                   "INSERT INTO IP_Info (IP_Address, IP_4, Name, Type, Remarks, Status, UnitDivision) "
                   "VALUES ('10.20.34.80', 80, 'PCKLAMS10', 'PC', ?, 'Temporary', 'Finance')"),
               {remark});
        w.start(QStringLiteral("80"));
        w.pick("cboEquipment", QStringLiteral("PC"));
        QCOMPARE(w.program.messenger.texts(), QStringList{AddressExistsMessage});
        QCOMPARE(w.program.messenger.last().title, AddressExistsTitle);
        QCOMPARE(w.texts({"txtRemarks", "cboStatus", "cboUnitDivision", "txtlblNamingConvention"}),
                 (QStringList{remark, StatusTemporary, "Finance", "PCKLAMS10"}));
        QVERIFY(!w.enabled("txtRemarks") && !w.enabled("cmdSave") && w.enabled("cmdBatal"));
        QVERIFY(w.pinger.calls.isEmpty());
        w.click("cmdBatal");
        QVERIFY(w.idle() && w.enabled("txtBilangan"));
        QCOMPARE(w.text("txtRemarks"), QString());
    }
};

QTEST_MAIN(RunWindowTest)
#include "RunWindowTest.moc"
