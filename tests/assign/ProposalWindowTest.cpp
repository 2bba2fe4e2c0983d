// The proposal of the assignment window in New mode and its save: the next free address with the used
// list, the ping check through the fake pinger and the address-in-use dialog, the host name, the
// reservation of "Subnet Mask 252", the range-full dialog, the save with its checks and the assignment
// log.

#include "AssignWindowKit.h"
#include "LoopbackNetBiosResponder.h"

#include "assign/AddressPingCheck.h"
#include "assign/IpRecordStore.h"

#include <QDate>
#include <QtTest>

using namespace tarvo;
using test::AssignWindow;
using test::span;

namespace {

const QString Prefix = QStringLiteral("10.20.34.");
const QString First = Prefix + QStringLiteral("71");

} // namespace

class ProposalWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // With the top of the range used, the lowest gap is proposed, with the range's used list.
    void nextFreeAddress()
    {
        AssignWindow w;
        w.recorded(Prefix, span(71, 240, 100));
        w.start();
        QVERIFY(w.propose());
        QCOMPARE(w.texts({"txtlblIPAddress", "txtlblNamingConvention", "txtIPAddress", "txtKodPeralatan",
                          "txtNamaPeralatan", "txtWorkGroup", "cboStatus", "lblJumlah"}),
                 (QStringList{"10.20.34.100", "PCKLAMS30", "10.20.34.100", "PCKLAMS30", "PC", "LAN",
                              "Permanent", "Total Records : 169   (Not Use : 1, IP Range 71 to 240)"}));
        QVERIFY(w.visible("lblJumlah"));
        QCOMPARE(w.child<QTableView>("gridData")->model()->rowCount(), 169);
        QVERIFY(!w.enabled("cboEquipment") && !w.enabled("cboRegion") && w.enabled("cmdBatal"));
        QCOMPARE(QApplication::focusWidget(), w.child<QWidget>("txtProject"));
    }

    // Up to four echo requests, stopping at the first answer, one outcome; an answering device opens
    // the address-in-use dialog and the address is proposed all the same. The check is made again for
    // the next proposal of the address.
    void pingCheck_data()
    {
        QTest::addColumn<int>("answersFrom"); // 0: silent, -1: no ICMP socket
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<int>("dialogs"); // after the second proposal
        QTest::newRow("silent") << 0 << 4 << false << 0;
        QTest::newRow("answers at once") << 1 << 1 << true << 2;
        QTest::newRow("answers the fourth") << 4 << 4 << true << 2;
        QTest::newRow("would answer a fifth") << 5 << 4 << false << 1;
        QTest::newRow("not checked") << -1 << 1 << false << 0;
    }
    void pingCheck()
    {
        QFETCH(int, answersFrom);
        QFETCH(bool, dialog);
        AssignWindow w;
        if (answersFrom > 0)
            w.pinger.answersFrom(First, answersFrom);
        w.pinger.setUnavailable(answersFrom < 0);
        w.start();
        QVERIFY(w.propose());
        QTEST(w.pinger.requestsTo(First), "requests");
        for (const auto& call : w.pinger.calls)
            QVERIFY(call.ttl == 20 && call.timeoutMs == 200 && call.payload == "Quelm");
        QCOMPARE(w.inUseShown, dialog ? QStringList{First} : QStringList{});
        QCOMPARE(w.probeState.UsedIPMessage, dialog ? UsedIPMessageAssignment : QString());
        QCOMPARE(w.text("txtKodPeralatan"), QStringLiteral("PCKLAMS01"));
        // The user is told once that addresses are not checked, not at every proposal.
        const int told = answersFrom < 0 ? 1 : 0;
        QCOMPARE(w.program.messenger.count(), told);
        w.click("cmdBatal");
        QVERIFY(w.propose());
        QCOMPARE(w.program.messenger.count(), told);
        QTEST(int(w.inUseShown.size()), "dialogs");
    }

    // frmIPAddGuna itself on the fake probe services: "Detail Info ..." marks the proposal, "OK" writes
    // the device's details back.
    void addressInUseDialogWritesBack()
    {
        AssignWindow w;
        w.realAddressInUse = true;
        w.pinger.answers(First);
        w.resolver.answers(First, QStringLiteral("PC0123"));
        w.nodeStatus.answers(First, test::workstationNameTable());
        w.start();
        test::whenModal(QStringLiteral("frmIPAddGuna"), [](QWidget* dialog) {
            auto* button = test::child<QPushButton>(dialog, "cmdGetInfo");
            QTest::mouseClick(button, Qt::LeftButton);
            if (!QTest::qWaitFor([button] { return button->text() == QLatin1String("OK"); }, 3000))
                qFatal("no details");
            QTest::mouseClick(button, Qt::LeftButton);
        });
        QVERIFY(w.propose());
        QCOMPARE(w.texts({"lblBilangan", "txtStaffNo", "txtLANID", "txtRemarks"}),
                 (QStringList{"X", "AHMAD", "AHMAD", "Hostname = PC0123; MAC Address = 00-1A-2B-3C-4D-5E"}));
    }

    // The window stays usable while the check waits; closed then, the answer that comes finds nothing
    // and no further request is sent.
    void closeWhileChecking()
    {
        AssignWindow w;
        w.pinger.setLatency(100);
        w.start();
        w.pick("cboEquipment", QStringLiteral("PC"));
        QCOMPARE(w.pinger.calls.size(), 1);
        QVERIFY(!w.window->busyReason().isEmpty());
        QVERIFY(!w.enabled("cboEquipment") && !w.enabled("cmdSave"));
        delete w.window;
        QTest::qWait(300);
        QCOMPARE(w.pinger.calls.size(), 1);
    }

    // The /24's network and broadcast records are made once; the proposals walk between them.
    void subnetMask252ReservesThenProposes()
    {
        AssignWindow w;
        w.start();
        for (const char* octet : {"1", "2", "5"}) {
            QVERIFY(w.propose(SubnetMask252));
            QCOMPARE(w.texts({"txtIPAddress", "txtKodPeralatan"}),
                     (QStringList{Prefix + QLatin1String(octet),
                                  QStringLiteral("NWKLAMS0") + QLatin1String(octet)}));
            w.save();
            QTRY_VERIFY(w.enabled("cboEquipment"));
        }
        QCOMPARE(w.records(), 131);
        QCOMPARE(w.field(QStringLiteral("Name || StateOwner"), Prefix + QStringLiteral("3")),
                 QStringLiteral("BroadcastIPKedah"));
    }

    // A full range: OK proposes from the range chosen, for that one proposal; Cancel proposes nothing.
    void rangeFull_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void rangeFull()
    {
        QFETCH(bool, ok);
        AssignWindow w;
        w.recorded(Prefix, span(71, 240));
        w.start();
        QStringList seen;
        test::whenModal(QStringLiteral("frmIPRangePenuh"), [&seen, ok](QWidget* dialog) {
            seen << test::child<QLabel>(dialog, "lblPeralatanPenuh")->text();
            auto* list = test::child<QComboBox>(dialog, "cboEquipment");
            for (int i = 0; i < list->count(); ++i)
                seen << list->itemText(i);
            test::pick(dialog, "cboEquipment", QStringLiteral("Printer"));
            seen << test::child<QLabel>(dialog, "lblOctetMulaTamat")->text();
            QTest::mouseClick(test::child<QPushButton>(dialog, ok ? "cmdOK" : "cmdKeluar"), Qt::LeftButton);
        });
        w.pick("cboEquipment", QStringLiteral("PC"));
        QCOMPARE(QTest::qWaitFor([&w] { return w.enabled("cmdSave"); }, ok ? 3000 : 0), ok);
        QCOMPARE(seen, (QStringList{"IP Address allocation for PC is FULL !", "Printer",
                                    "Octet 4 Start : 241  End : 250"}));
        if (!ok) {
            QVERIFY(w.pinger.calls.isEmpty() && w.idle());
            return;
        }
        QCOMPARE(w.texts({"txtIPAddress", "txtKodPeralatan", "txtNamaPeralatan"}),
                 (QStringList{"10.20.34.241", "PRKLAMS01", "PC"}));
        // The next proposal of the printer is the printer's own again.
        w.click("cmdBatal");
        QVERIFY(w.propose(QStringLiteral("Printer")));
        QCOMPARE(w.texts({"txtIPAddress", "txtNamaPeralatan"}), (QStringList{"10.20.34.241", "Printer"}));
    }

    // A save writes every field with the date and the administrator, lists the range again, appends
    // its block to the log and returns to the selection. A log that cannot be written keeps the record.
    void save_data()
    {
        QTest::addColumn<bool>("unit");
        QTest::addColumn<int>("logLines");
        QTest::newRow("without a unit") << false << 7;
        QTest::newRow("with a unit") << true << 12;
        QTest::newRow("log error") << false << 0;
    }
    void save()
    {
        QFETCH(bool, unit);
        QFETCH(int, logLines);
        AssignWindow w;
        if (logLines == 0)
            QVERIFY(QDir(w.program.folder()).mkdir(AssignLogFileName));
        w.start();
        QVERIFY(w.propose());
        w.type("txtProject", QStringLiteral("Data centre"));
        w.tab(1);
        w.type("txtNamaPengguna", QStringLiteral("Ahmad"));
        if (unit)
            w.pick("cboUnitDivision", QStringLiteral("Finance"));
        // A standing proposal is the window's unsaved edit: it keeps the database from being switched
        // under it until the user agrees to drop it.
        QVERIFY(!w.program.databaseService.busyReason().isEmpty());
        QCOMPARE(w.program.databaseService.unsavedEdits(), QStringList{w.window->windowTitle()});
        QVERIFY(w.window->busyReason().isEmpty());
        w.save();
        QVERIFY(w.program.databaseService.busyReason().isEmpty());
        QCOMPARE(w.program.messenger.texts(), QStringList{"Save record to Tarvo database ?"} +
                                                  QStringList(logLines ? 0 : 1, AssignLogErrorMessage));
        QCOMPARE(w.records(), 1);
        const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
        QStringList values;
        for (const char* column :
             {"IP_4", "Name", "Type", "Region", "Workgroup", "Project", "Username", "Status", "UnitDivision",
              "Roadname", "StateOwner", "CityOwner", "DateIssue", "InputBy"})
            values << w.field(QLatin1String(column), First);
        QCOMPARE(values, (QStringList{"71", "PCKLAMS01", "PC", "Central", "LAN", "Data centre", "Ahmad",
                                      "Permanent", unit ? "Finance" : "", unit ? "Jalan Satu" : "", "Kedah",
                                      "Amstown", today, "Administrator"}));
        const QStringList lines = w.log().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), logLines);
        QVERIFY(!logLines || lines.front().startsWith(QStringLiteral("Date Assign : %1 (").arg(today)));
        QCOMPARE(w.text("lblJumlah"), QStringLiteral("Total Records : 1"));
        QVERIFY(w.visible("lblJumlah") && w.idle() && !w.enabled("txtKodPeralatan"));
        QCOMPARE(w.text("txtKodPeralatan"), QString());
    }

    // What keeps a proposal from being saved: nothing is stored or logged and the proposal stays.
    void saveRefused_data()
    {
        QTest::addColumn<QString>("hostName"); // typed over the proposal; empty keeps it
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const char* hostName, const QString& meanwhile,
                            MessageAnswer answer, const QString& message) {
            QTest::newRow(name) << QString::fromLatin1(hostName) << meanwhile << answer << message;
        };
        const QString insert = QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4, Name) VALUES ");
        row("Cancel on the question", "", {}, MessageAnswer::Cancel, "Save record to Tarvo database ?");
        row("typed name held elsewhere, other case", "hostother", insert + "('10.20.34.9', 9, 'HOSTOTHER')",
            MessageAnswer::Ok, "hostother - Duplicate hostname with IP 10.20.34.9!");
        row("proposed name recorded meanwhile", "", insert + "('10.99.1.1', 1, 'PCKLAMS01')",
            MessageAnswer::Ok, "PCKLAMS01 - Duplicate hostname with IP 10.99.1.1!");
        row("address recorded meanwhile", "", insert + "('10.20.34.71', 71, 'OTHER')", MessageAnswer::Ok,
            AddressExistsMessage);
        row("database refuses the row", "",
            "CREATE TRIGGER refuse BEFORE INSERT ON IP_Info BEGIN SELECT RAISE(ABORT, 'disk full'); END",
            MessageAnswer::Ok, "Disk full.");
    }
    void saveRefused()
    {
        QFETCH(QString, hostName);
        QFETCH(QString, message);
        QFETCH(QString, meanwhile);
        AssignWindow w;
        w.start();
        QVERIFY(w.propose());
        if (!hostName.isEmpty())
            w.type("txtKodPeralatan", hostName);
        w.tab(1);
        if (!meanwhile.isEmpty())
            w.exec(meanwhile);
        const int before = w.records();
        QFETCH(MessageAnswer, answer);
        w.saveAnswering({answer});
        QVERIFY2(w.program.messenger.last().text.contains(message),
                 qPrintable(w.program.messenger.last().text));
        QCOMPARE(w.records(), before);
        QCOMPARE(w.log(), QString());
        QVERIFY(w.enabled("cmdSave") && w.enabled("txtKodPeralatan"));
        if (message.contains(QLatin1String("Duplicate hostname"))) {
            QCOMPARE(w.child<QTabWidget>("SSTab1")->currentIndex(), 0);
            QCOMPARE(QApplication::focusWidget(), w.child<QWidget>("txtKodPeralatan"));
        }
    }
};

QTEST_MAIN(ProposalWindowTest)
#include "ProposalWindowTest.moc"
