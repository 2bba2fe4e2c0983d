// Bulk runs of the assignment window with the kept details and auto-save, Stop, and the dedicated
// assignment of a typed octet 4.

#include "AssignWindowKit.h"

#include "assign/AssignLog.h"
#include "assign/BulkRun.h"
#include "assign/DedicatedProposal.h"
#include "assign/IpRecordStore.h"

#include <QDir>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

using namespace tarvo;
using test::AssignWindow;

namespace {

const QString Prefix = QStringLiteral("10.20.34.");
const QString SaveQuestion = QStringLiteral("Save record to Tarvo database ?");

// A window with the sample plan, Central, Kedah, Amstown and LAN chosen (prefix 10.20.34.) and the
// count typed.
struct Amstown : AssignWindow
{
    explicit Amstown(AssignMode mode = AssignMode::New) : AssignWindow(mode) { withPlan(); }
    void start(const QString& count = QStringLiteral("1"))
    {
        open();
        chooseStatePlace();
        type("txtBilangan", count);
    }
    BulkRun* run() const { return window->findChild<BulkRun*>(); }
    QString field(const QString& column, const QString& address) const
    {
        return value(QStringLiteral("SELECT %1 FROM IP_Info WHERE IP_Address = '%2'").arg(column, address));
    }
    QStringList questions() const
    {
        QStringList titles;
        for (const Message& message : program.messenger.shown())
            titles << (message.text == SaveQuestion ? QStringLiteral("save") : message.title);
        return titles;
    }
    // The run is over: the selection is back.
    bool idle() const { return enabled("cboEquipment") && !enabled("cmdSave"); }
};

} // namespace

class RunWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void runs_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<MessageAnswer>>("answers"); // same details, auto-save
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QList<int>>("progress");
        QTest::addColumn<QString>("keptProject"); // of the third record
        using A = MessageAnswer;
        QTest::newRow("one address asks nothing")
            << 1 << QList<A>{} << QStringList{"save"} << QList<int>{} << "";
        QTest::newRow("three with the same details, saved by itself")
            << 3 << QList<A>{A::Yes, A::Yes} << QStringList{"save", "Confirmation", "Auto-Save"}
            << QList<int>{1, 2, 3} << "Rack 7";
        QTest::newRow("three, each with its own details")
            << 3 << QList<A>{A::No} << QStringList{"save", "Confirmation", "save", "save"}
            << QList<int>{1, 2, 3} << "";
    }
    void runs()
    {
        QFETCH(int, count);
        QFETCH(QList<MessageAnswer>, answers);
        Amstown w;
        w.start(QString::number(count));
        QSignalSpy progress(w.run(), &BulkRun::progressChanged);
        QVERIFY(w.propose());
        w.type("txtProject", QStringLiteral("Rack 7"));
        w.child<QTabWidget>("SSTab1")->setCurrentIndex(1);
        w.type("txtNamaPengguna", QStringLiteral("Ahmad"));
        w.program.messenger.answer(MessageAnswer::Ok);
        for (const MessageAnswer answer : answers)
            w.program.messenger.answer(answer);
        w.click("cmdSave");
        // The following proposals come by themselves; a manual run's are saved one by one.
        while (w.records() < count) {
            QVERIFY(QTest::qWaitFor([&] { return w.enabled("cmdSave") || w.records() == count; }, 3000));
            if (w.records() < count && w.text("cmdBatal") == QLatin1String("Cancel"))
                w.save();
            else
                QTest::qWait(5);
        }
        QTRY_VERIFY(w.idle());
        QCOMPARE(w.records(), count);
        QTEST(w.questions(), "questions");
        QList<int> shown;
        for (const QList<QVariant>& signal : progress)
            shown << signal.at(0).toInt();
        QTEST(shown, "progress");
        if (count == 3)
            QTEST(w.field(QStringLiteral("Project"), Prefix + QStringLiteral("73")), "keptProject");
        QCOMPARE(w.text("cmdBatal"), QStringLiteral("Cancel"));
        QVERIFY(!w.visible("lblRekodKe") && !w.visible("lblBilangan"));
        // A completed run leaves nothing behind for the next single assignment.
        w.type("txtBilangan", QStringLiteral("1"));
        QVERIFY(w.propose());
        QCOMPARE(w.text("txtProject"), QString());
    }

    // A device answering on an address of the run: its record is saved too, without counting.
    void answeringAddressInARun_data()
    {
        QTest::addColumn<bool>("detailsRead"); // the address-in-use dialog put its marker
        QTest::newRow("dialog closed at once") << false;
        QTest::newRow("details read") << true;
    }
    void answeringAddressInARun()
    {
        QFETCH(bool, detailsRead);
        Amstown w;
        w.pinger.answers(Prefix + QStringLiteral("72"));
        if (detailsRead)
            w.onAddressInUse = [](AssignmentWindowLink& link) { link.markProposalInUse(); };
        w.start(QStringLiteral("3"));
        QSignalSpy progress(w.run(), &BulkRun::progressChanged);
        QVERIFY(w.propose());
        for (const MessageAnswer answer : {MessageAnswer::Ok, MessageAnswer::Yes, MessageAnswer::Yes})
            w.program.messenger.answer(answer);
        w.click("cmdSave");
        QTRY_VERIFY(w.records() == 4 && w.idle());
        QCOMPARE(w.inUseShown, QStringList{Prefix + QStringLiteral("72")});
        QCOMPARE(progress.size(), 3);
        QCOMPARE(w.field(QStringLiteral("count(*)"), Prefix + QStringLiteral("74")), QStringLiteral("1"));
    }

    void stopDuringTheFifthOfTen()
    {
        Amstown w;
        // The fifth address waits for its answer: Stop comes while it is checked.
        w.pinger.setLatency(Prefix + QStringLiteral("75"), 60000);
        w.start(QStringLiteral("10"));
        QVERIFY(w.propose());
        for (const MessageAnswer answer : {MessageAnswer::Ok, MessageAnswer::Yes, MessageAnswer::Yes})
            w.program.messenger.answer(answer);
        w.click("cmdSave");
        QTRY_VERIFY(w.pinger.requestsTo(Prefix + QStringLiteral("75")) > 0);
        QCOMPARE(w.text("cmdBatal"), QStringLiteral("Stop"));
        QVERIFY(!w.window->busyReason().isEmpty());
        w.click("cmdBatal");
        QTest::qWait(100);
        QCOMPARE(w.records(), 4);
        QVERIFY(w.idle() && w.window->busyReason().isEmpty());
        QCOMPARE(w.text("cmdBatal"), QStringLiteral("Cancel"));
        QCOMPARE(w.text("txtKodPeralatan"), QString());
    }

    // A failure during an automatic run stops it with a message.
    void failureStopsAnAutomaticRun_data()
    {
        QTest::addColumn<bool>("logFails");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("message");
        QTest::newRow("log error") << true << 2 << AssignLogErrorMessage;
        QTest::newRow("database error") << false << 1 << "Stopped here.";
    }
    void failureStopsAnAutomaticRun()
    {
        QFETCH(bool, logFails);
        QFETCH(QString, message);
        Amstown w;
        w.start(QStringLiteral("5"));
        QVERIFY(w.propose());
        w.program.messenger.onMessage([&](const Message& shown) {
            if (shown.title != QLatin1String("Auto-Save"))
                return;
            if (!logFails) {
                w.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON IP_Info BEGIN SELECT "
                                      "RAISE(ABORT, 'stopped here'); END"));
                return;
            }
            QDir folder(w.program.folder());
            folder.remove(AssignLogFileName);
            folder.mkdir(AssignLogFileName);
        });
        for (const MessageAnswer answer : {MessageAnswer::Ok, MessageAnswer::Yes, MessageAnswer::Yes})
            w.program.messenger.answer(answer);
        w.click("cmdSave");
        QTRY_VERIFY(w.program.messenger.last().text.contains(message));
        QTRY_VERIFY(w.idle());
        QTEST(w.records(), "records");
        QCOMPARE(w.text("cmdBatal"), QStringLiteral("Cancel"));
        QTest::qWait(50);
        QTEST(w.records(), "records");
    }

    // The kept details of a manual run keep the first record's status; Cancel takes the marker off.
    void keptStatusAndMarker()
    {
        Amstown w;
        w.pinger.answers(Prefix + QStringLiteral("72"));
        w.onAddressInUse = [](AssignmentWindowLink& link) { link.markProposalInUse(); };
        w.start(QStringLiteral("2"));
        QVERIFY(w.propose());
        w.pick("cboStatus", StatusTemporary);
        for (const MessageAnswer answer : {MessageAnswer::Ok, MessageAnswer::Yes, MessageAnswer::No})
            w.program.messenger.answer(answer);
        w.click("cmdSave");
        QTRY_COMPARE(w.text("txtIPAddress"), Prefix + QStringLiteral("72"));
        QTRY_VERIFY(w.enabled("cmdSave"));
        QCOMPARE(w.text("cboStatus"), StatusTemporary);
        QCOMPARE(w.text("lblBilangan"), QStringLiteral("X"));
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

    void dedicated_data()
    {
        QTest::addColumn<QString>("octet4");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString outOfRange = octet4OutOfRangeMessage(QStringLiteral("PC"), 71, 240);
        QTest::newRow("70 below the range") << "70"
                                            << "PC"
                                            << ""
                                            << "" << outOfRange;
        QTest::newRow("241 above the range") << "241"
                                             << "PC"
                                             << ""
                                             << "" << outOfRange;
        QTest::newRow("0 below the range") << "0"
                                           << "PC"
                                           << ""
                                           << "" << outOfRange;
        QTest::newRow("71 is the first") << "71"
                                         << "PC"
                                         << "10.20.34.71"
                                         << "PCKLAMS01"
                                         << "";
        QTest::newRow("240 is H0") << "240"
                                   << "PC"
                                   << "10.20.34.240"
                                   << "PCKLAMSH0"
                                   << "";
        QTest::newRow("leading zeros dropped") << "071"
                                               << "PC"
                                               << "10.20.34.71"
                                               << "PCKLAMS01"
                                               << "";
        QTest::newRow("subnet item takes any") << "202"
                                               << "Subnet Mask 252"
                                               << "10.20.34.202"
                                               << "NWKLAMSK2"
                                               << "";
    }
    void dedicated()
    {
        QFETCH(QString, octet4);
        QFETCH(QString, item);
        QFETCH(QString, address);
        QFETCH(QString, message);
        Amstown w(AssignMode::Dedicated);
        w.recorded(Prefix, {9}); // no reservation: the /24 holds a record
        w.start(octet4);
        w.pick("cboEquipment", item);
        if (!message.isEmpty()) {
            QCOMPARE(w.program.messenger.texts(), QStringList{message});
            QCOMPARE(w.program.messenger.last().title, Octet4OutOfRangeTitle);
            QVERIFY(w.enabled("txtBilangan") && !w.enabled("cmdSave"));
            QVERIFY(w.pinger.calls.isEmpty());
            return;
        }
        QTRY_VERIFY(w.enabled("cmdSave"));
        QCOMPARE(w.text("txtIPAddress"), address);
        QTEST(w.text("txtKodPeralatan"), "name");
        QCOMPARE(w.pinger.requestsTo(address), 4);
        w.save();
        QTRY_VERIFY(w.idle());
        QCOMPARE(w.records(), 2);
        QCOMPARE(w.questions(), QStringList{"save"});
        QVERIFY(w.enabled("txtBilangan"));
    }

    // An address with a record is shown read-only, its remark whole, and cannot be saved.
    void dedicatedRecordedAddress()
    {
        const QString remark(160, QLatin1Char('r'));
        Amstown w(AssignMode::Dedicated);
        w.exec(QStringLiteral(
                   "INSERT INTO IP_Info (IP_Address, IP_4, Name, Type, Remarks, Status, UnitDivision) "
                   "VALUES ('10.20.34.80', 80, 'PCKLAMS10', 'PC', ?, 'Temporary', 'Finance')"),
               {remark});
        w.start(QStringLiteral("80"));
        w.pick("cboEquipment", QStringLiteral("PC"));
        QCOMPARE(w.program.messenger.texts(), QStringList{AddressExistsMessage});
        QCOMPARE(w.program.messenger.last().title, AddressExistsTitle);
        QCOMPARE(w.text("txtRemarks"), remark);
        QCOMPARE(w.text("cboStatus"), StatusTemporary);
        QCOMPARE(w.text("cboUnitDivision"), QStringLiteral("Finance"));
        QCOMPARE(w.text("txtlblNamingConvention"), QStringLiteral("PCKLAMS10"));
        QVERIFY(!w.enabled("txtRemarks") && !w.enabled("cmdSave") && w.enabled("cmdBatal"));
        QVERIFY(w.pinger.calls.isEmpty());
        w.click("cmdBatal");
        QVERIFY(w.idle() && w.enabled("txtBilangan"));
        QCOMPARE(w.text("txtRemarks"), QString());
    }

    // The list after a save runs in address order: .7, .10, .100.
    void listAfterSaveInAddressOrder()
    {
        Amstown w(AssignMode::Dedicated);
        w.recorded(Prefix, {10, 100});
        w.start(QStringLiteral("7"));
        w.pick("cboEquipment", QStringLiteral("Subnet Mask 252"));
        QTRY_VERIFY(w.enabled("cmdSave"));
        w.save();
        QTRY_VERIFY(w.idle());
        auto* grid = w.child<QTableView>("gridData");
        QStringList listed;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            listed << grid->model()->index(row, 0).data().toString();
        QCOMPARE(listed, (QStringList{"10.20.34.7", "10.20.34.10", "10.20.34.100"}));
        QCOMPARE(w.text("lblJumlah"), QStringLiteral("Total Records : 3"));
    }
};

QTEST_MAIN(RunWindowTest)
#include "RunWindowTest.moc"
