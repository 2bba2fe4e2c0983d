// The proposal of the assignment window in New mode and its save: the next free address with the used
// list, the ping check through the fake pinger and the address-in-use dialog, the host name, the
// reservation of "Subnet Mask 252", the range-full dialog, the save with its checks and the assignment
// log.

#include "AssignWindowKit.h"
#include "LoopbackNetBiosResponder.h"

#include "assign/AddressPingCheck.h"
#include "assign/AssignLog.h"
#include "assign/IpRecordStore.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QtTest>

using namespace tarvo;
using test::AssignWindow;

namespace {

const QString Prefix = QStringLiteral("10.20.34.");

QList<int> octetsFrom(int first, int last, QList<int> except = {})
{
    QList<int> octets;
    for (int octet = first; octet <= last; ++octet) {
        if (!except.contains(octet))
            octets << octet;
    }
    return octets;
}

// A window with the sample plan, Central, Kedah, Amstown and LAN chosen (prefix 10.20.34.).
struct Amstown : AssignWindow
{
    explicit Amstown(const QList<int>& recordedOctets = {})
    {
        withPlan();
        recorded(Prefix, recordedOctets);
    }
    void start()
    {
        open();
        chooseStatePlace();
    }
    QString log() const
    {
        QFile file(QDir(program.folder()).filePath(AssignLogFileName));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }
    QString field(const QString& column, const QString& address) const
    {
        return value(QStringLiteral("SELECT %1 FROM IP_Info WHERE IP_Address = '%2'").arg(column, address));
    }
};

} // namespace

class ProposalWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void nextFreeAddress_data()
    {
        QTest::addColumn<QList<int>>("recorded");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("summary");
        QTest::newRow("empty range") << QList<int>{} << "10.20.34.71"
                                     << "PCKLAMS01"
                                     << "";
        QTest::newRow("71 to 75 used") << octetsFrom(71, 75) << "10.20.34.76"
                                       << "PCKLAMS06"
                                       << "Total Records : 5   (Not Use : 165, IP Range 71 to 240)";
        QTest::newRow("gap below the top stays free")
            << QList<int>{71, 73, 74} << "10.20.34.75"
            << "PCKLAMS05"
            << "Total Records : 3   (Not Use : 167, IP Range 71 to 240)";
        QTest::newRow("top used: the lowest gap")
            << octetsFrom(71, 240, {100}) << "10.20.34.100"
            << "PCKLAMS30"
            << "Total Records : 169   (Not Use : 1, IP Range 71 to 240)";
    }
    void nextFreeAddress()
    {
        QFETCH(QList<int>, recorded);
        QFETCH(QString, address);
        QFETCH(QString, summary);
        Amstown w(recorded);
        w.start();
        QVERIFY(w.propose());
        QCOMPARE(w.text("txtlblIPAddress"), address);
        QTEST(w.text("txtlblNamingConvention"), "name");
        QCOMPARE(w.text("txtIPAddress"), address);
        QTEST(w.text("txtKodPeralatan"), "name");
        QCOMPARE(w.text("txtNamaPeralatan"), QStringLiteral("PC"));
        QCOMPARE(w.text("txtWorkGroup"), QStringLiteral("LAN"));
        QCOMPARE(w.entries("cboStatus"), (QStringList{StatusPermanent, StatusTemporary}));
        QCOMPARE(w.text("cboStatus"), StatusPermanent);
        QCOMPARE(w.visible("lblJumlah"), !summary.isEmpty());
        if (!summary.isEmpty())
            QCOMPARE(w.text("lblJumlah"), summary);
        QCOMPARE(w.child<QTableView>("gridData")->model()->rowCount(), recorded.size());
        QVERIFY(!w.enabled("cboEquipment") && !w.enabled("cboRegion"));
        QVERIFY(w.enabled("cmdBatal") && w.enabled("cmdTutup"));
        QCOMPARE(QApplication::focusWidget(), w.child<QWidget>("txtProject"));
    }

    // Up to four echo requests, stopping at the first answer; an answering device opens the
    // address-in-use dialog and the address is proposed all the same.
    void pingCheck_data()
    {
        QTest::addColumn<int>("answersFrom"); // 0: silent, -1: no ICMP socket
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("dialog");
        QTest::newRow("silent") << 0 << 4 << false;
        QTest::newRow("answers at once") << 1 << 1 << true;
        QTest::newRow("answers the fourth") << 4 << 4 << true;
        QTest::newRow("not checked") << -1 << 1 << false;
    }
    void pingCheck()
    {
        QFETCH(int, answersFrom);
        const QString address = Prefix + QStringLiteral("71");
        Amstown w;
        if (answersFrom > 0)
            w.pinger.answersFrom(address, answersFrom);
        w.pinger.setUnavailable(answersFrom < 0);
        w.start();
        QVERIFY(w.propose());
        QTEST(w.pinger.requestsTo(address), "requests");
        for (const auto& call : w.pinger.calls)
            QVERIFY(call.ttl == 20 && call.timeoutMs == 200 && call.payload == "Quelm");
        QFETCH(bool, dialog);
        QCOMPARE(w.inUseShown, dialog ? QStringList{address} : QStringList{});
        QCOMPARE(w.probeState.UsedIPMessage, w.inUseShown.isEmpty() ? QString() : UsedIPMessageAssignment);
        QCOMPARE(w.text("txtKodPeralatan"), QStringLiteral("PCKLAMS01"));
        // The user is told once that addresses are not checked, not at every proposal.
        const int told = answersFrom < 0 ? 1 : 0;
        QCOMPARE(w.program.messenger.count(), told);
        w.click("cmdBatal");
        QVERIFY(w.propose());
        QCOMPARE(w.program.messenger.count(), told);
    }

    // frmIPAddGuna itself on the fake probe services: "Detail Info ..." marks the proposal, "OK" writes
    // the device's details back.
    void addressInUseDialogWritesBack()
    {
        const QString address = Prefix + QStringLiteral("71");
        Amstown w;
        w.realAddressInUse = true;
        w.pinger.answers(address);
        w.resolver.answers(address, QStringLiteral("PC0123"));
        w.nodeStatus.answers(address, test::workstationNameTable());
        w.start();
        test::whenModal(QStringLiteral("frmIPAddGuna"), [](QWidget* dialog) {
            auto* button = test::child<QPushButton>(dialog, "cmdGetInfo");
            QTest::mouseClick(button, Qt::LeftButton);
            if (!QTest::qWaitFor([button] { return button->text() == QLatin1String("OK"); }, 3000))
                qFatal("no details");
            QTest::mouseClick(button, Qt::LeftButton);
        });
        QVERIFY(w.propose());
        QCOMPARE(w.text("lblBilangan"), QStringLiteral("X"));
        QCOMPARE(w.text("txtStaffNo"), QStringLiteral("AHMAD"));
        QCOMPARE(w.text("txtLANID"), QStringLiteral("AHMAD"));
        QCOMPARE(w.text("txtRemarks"), QStringLiteral("Hostname = PC0123; MAC Address = 00-1A-2B-3C-4D-5E"));
    }

    // The window stays usable while the check waits, and closing it then is safe.
    void closeWhileChecking()
    {
        Amstown w;
        w.pinger.setLatency(60000);
        w.start();
        w.pick("cboEquipment", QStringLiteral("PC"));
        QCOMPARE(w.pinger.calls.size(), 1);
        QVERIFY(!w.window->busyReason().isEmpty());
        QVERIFY(!w.enabled("cboEquipment") && !w.enabled("cmdSave"));
        delete w.window;
        QTest::qWait(20);
        QCOMPARE(w.pinger.calls.size(), 1);
    }

    void subnetMask252ReservesThenProposes()
    {
        Amstown w;
        w.start();
        QVERIFY(w.propose(QStringLiteral("Subnet Mask 252")));
        QCOMPARE(w.records(), 128);
        QCOMPARE(w.field(QStringLiteral("Name"), Prefix + QStringLiteral("3")),
                 QStringLiteral("BroadcastIP"));
        QCOMPARE(w.field(QStringLiteral("StateOwner"), Prefix + QStringLiteral("3")),
                 QStringLiteral("Kedah"));
        QCOMPARE(w.text("txtKodPeralatan"), QStringLiteral("NWKLAMS01"));
        QCOMPARE(w.text("txtIPAddress"), Prefix + QStringLiteral("1"));
        w.save();
        QTRY_VERIFY(w.enabled("cboEquipment"));
        QVERIFY(w.propose(QStringLiteral("Subnet Mask 252")));
        QCOMPARE(w.text("txtIPAddress"), Prefix + QStringLiteral("2"));
        w.save();
        QTRY_VERIFY(w.enabled("cboEquipment"));
        QVERIFY(w.propose(QStringLiteral("Subnet Mask 252")));
        QCOMPARE(w.text("txtIPAddress"), Prefix + QStringLiteral("5"));
        QCOMPARE(w.records(), 130);
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
        Amstown w(octetsFrom(71, 240));
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
            QVERIFY(w.pinger.calls.isEmpty());
            QVERIFY(w.enabled("cboEquipment") && !w.enabled("cmdBatal") && w.enabled("cmdTutup"));
            return;
        }
        QCOMPARE(w.text("txtIPAddress"), QStringLiteral("10.20.34.241"));
        QCOMPARE(w.text("txtKodPeralatan"), QStringLiteral("PRKLAMS01"));
        QCOMPARE(w.text("txtNamaPeralatan"), QStringLiteral("PC"));
        // The next proposal of the printer is the printer's own again.
        w.click("cmdBatal");
        QVERIFY(w.propose(QStringLiteral("Printer")));
        QCOMPARE(w.text("txtNamaPeralatan"), QStringLiteral("Printer"));
        QCOMPARE(w.text("txtIPAddress"), QStringLiteral("10.20.34.241"));
    }

    // A save writes every field with the date and the administrator, lists the range again, appends
    // its block to the log and returns to the selection.
    void save_data()
    {
        QTest::addColumn<bool>("unit");
        QTest::addColumn<int>("logLines");
        QTest::newRow("without a unit") << false << 7;
        QTest::newRow("with a unit") << true << 12;
    }
    void save()
    {
        QFETCH(bool, unit);
        const QString address = Prefix + QStringLiteral("71");
        Amstown w;
        w.start();
        QVERIFY(w.propose());
        w.type("txtProject", QStringLiteral("Data centre"));
        w.child<QTabWidget>("SSTab1")->setCurrentIndex(1);
        w.type("txtNamaPengguna", QStringLiteral("Ahmad"));
        if (unit)
            w.pick("cboUnitDivision", QStringLiteral("Finance"));
        // A standing proposal keeps the database from being switched under it.
        QVERIFY(!w.program.databaseService.busyReason().isEmpty());
        QVERIFY(w.window->busyReason().isEmpty());
        w.save();
        QVERIFY(w.program.databaseService.busyReason().isEmpty());
        QCOMPARE(w.program.messenger.texts(), QStringList{"Save record to Tarvo database ?"});
        QCOMPARE(w.records(), 1);
        const QStringList columns{"IP_4",       "Name",      "Type",      "Region",       "Workgroup",
                                  "Project",    "Username",  "Status",    "UnitDivision", "Roadname",
                                  "StateOwner", "CityOwner", "DateIssue", "InputBy"};
        QStringList values;
        for (const QString& column : columns)
            values << w.field(column, address);
        QCOMPARE(values,
                 (QStringList{"71", "PCKLAMS01", "PC", "Central", "LAN", "Data centre", "Ahmad", "Permanent",
                              unit ? "Finance" : "", unit ? "Jalan Satu" : "", "Kedah", "Amstown",
                              QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")), "Administrator"}));
        const QStringList lines = w.log().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QTEST(int(lines.size()), "logLines");
        QVERIFY(lines.front().startsWith(QStringLiteral("Date Assign : ") +
                                         QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")) +
                                         QStringLiteral(" (")));
        QCOMPARE(w.text("lblJumlah"), QStringLiteral("Total Records : 1"));
        QVERIFY(w.visible("lblJumlah"));
        QVERIFY(w.enabled("cboEquipment") && !w.enabled("cmdSave") && !w.enabled("txtKodPeralatan"));
        QCOMPARE(w.text("txtKodPeralatan"), QString());
    }

    // What keeps a proposal from being saved: nothing is stored and the proposal stays.
    void saveRefused_data()
    {
        QTest::addColumn<QString>("hostName"); // typed over the proposal; empty keeps it
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("added");
        QTest::newRow("Cancel on the question")
            << ""
            << "" << MessageAnswer::Cancel << "Save record to Tarvo database ?" << 0;
        QTest::newRow("typed name held elsewhere, other case")
            << "hostother"
            << "INSERT INTO IP_Info (IP_Address, IP_4, Name) VALUES ('10.20.34.9', 9, 'HOSTOTHER')"
            << MessageAnswer::Ok << "hostother - Duplicate hostname with IP 10.20.34.9!" << 0;
        QTest::newRow("proposed name recorded meanwhile")
            << ""
            << "INSERT INTO IP_Info (IP_Address, IP_4, Name) VALUES ('10.99.1.1', 1, 'PCKLAMS01')"
            << MessageAnswer::Ok << "PCKLAMS01 - Duplicate hostname with IP 10.99.1.1!" << 0;
        QTest::newRow("address recorded meanwhile")
            << ""
            << "INSERT INTO IP_Info (IP_Address, IP_4, Name) VALUES ('10.20.34.71', 71, 'OTHER')"
            << MessageAnswer::Ok << AddressExistsMessage << 0;
        QTest::newRow("database refuses the row")
            << ""
            << "CREATE TRIGGER refuse BEFORE INSERT ON IP_Info BEGIN SELECT RAISE(ABORT, 'disk full'); END"
            << MessageAnswer::Ok << "Disk full." << 0;
    }
    void saveRefused()
    {
        QFETCH(QString, hostName);
        QFETCH(QString, message);
        QFETCH(MessageAnswer, answer);
        Amstown w;
        w.start();
        QVERIFY(w.propose());
        if (!hostName.isEmpty())
            w.type("txtKodPeralatan", hostName);
        w.child<QTabWidget>("SSTab1")->setCurrentIndex(1);
        QFETCH(QString, meanwhile);
        if (!meanwhile.isEmpty())
            w.exec(meanwhile);
        const int before = w.records();
        w.program.messenger.answer(answer);
        w.click("cmdSave");
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

    void logErrorKeepsTheRecord()
    {
        Amstown w;
        QVERIFY(QDir(w.program.folder()).mkdir(AssignLogFileName));
        w.start();
        QVERIFY(w.propose());
        w.save();
        QCOMPARE(w.records(), 1);
        QCOMPARE(w.program.messenger.last().text, AssignLogErrorMessage);
        QVERIFY(w.enabled("cboEquipment"));
    }
};

QTEST_MAIN(ProposalWindowTest)
#include "ProposalWindowTest.moc"
