#include "probe/AddressInUseDialog.h"
#include "FakeProbes.h"
#include "LoopbackNetBiosResponder.h"
#include "LoopbackTelnetServer.h"
#include "ScriptedMessenger.h"
#include "probe/AssignmentWindowLink.h"
#include "probe/ProbeState.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace tarvo;

namespace {

// Records what the dialog does to the assignment window.
class FakeAssignmentWindow final : public AssignmentWindowLink
{
public:
    QString bilanganText() const override { return bilangan; }
    void showRecordNumber() override { recordNumberShown = true; }
    void markProposalInUse() override { marked = true; }
    void closeTimeOperation() override { ++closeTimeCalls; }
    void setStaffNo(const QString& text) override { staffNo = text; }
    void setLanId(const QString& text) override { lanId = text; }
    void setRemarks(const QString& text) override { remarks = text; }

    QString bilangan = QStringLiteral("1");
    bool recordNumberShown = false;
    bool marked = false;
    int closeTimeCalls = 0;
    QString staffNo = QStringLiteral("S1234");
    QString lanId = QStringLiteral("typed");
    QString remarks = QStringLiteral("typed remarks");
};

NodeStatus workstationTable()
{
    NodeStatus table;
    table.names = {{QStringLiteral("PC0123"), 0x00, 0x0400},
                   {QStringLiteral("KEWANGAN"), 0x00, 0x8400},
                   {QStringLiteral("PC0123"), 0x03, 0x0400},
                   {QStringLiteral("AHMAD"), 0x03, 0x0400}};
    table.unitId = QByteArray::fromHex("001a2b3c4d5e");
    return table;
}

const QString Address = QStringLiteral("10.1.2.3");

// What the fakes answer for the address.
enum class Device
{
    Named,          // host name PC0123, name table answered
    Nameless,       // no host name, name table answered
    NoNameTable,    // host name PC0123, no NetBIOS answer, a telnet banner
    NamelessSilent, // no host name, no NetBIOS answer, a telnet banner
    QueryFails,     // host name PC0123, the NetBIOS query cannot be made
};

} // namespace

Q_DECLARE_METATYPE(Device)

class AddressInUseDialogTest : public QObject
{
    Q_OBJECT

private:
    test::FakeHostResolver m_resolver;
    test::FakeNodeStatusService m_nodeStatus;
    test::FakeBannerService m_banners;
    test::ScriptedMessenger m_messenger;
    ProbeState m_state;

    ProbeServices services() { return {m_resolver, m_nodeStatus, m_banners, m_messenger}; }

    void script(Device device)
    {
        if (device == Device::Named || device == Device::NoNameTable || device == Device::QueryFails)
            m_resolver.answers(Address, QStringLiteral("PC0123"));
        if (device == Device::Named || device == Device::Nameless)
            m_nodeStatus.answers(Address, workstationTable());
        if (device == Device::QueryFails)
            m_nodeStatus.fails(Address, QStringLiteral("socket error"));
        m_banners.shows(Address, QStringLiteral("Welcome to PC0123\r\n"));
    }

    template <typename T>
    static T* control(QWidget& window, const char* name)
    {
        T* found = window.findChild<T*>(QLatin1String(name));
        if (!found)
            qWarning("no control %s", name);
        return found;
    }

    static QString text(QWidget& window, const char* name)
    {
        QWidget* field = control<QWidget>(window, name);
        if (auto* label = qobject_cast<QLabel*>(field))
            return label->text();
        if (auto* box = qobject_cast<QLineEdit*>(field))
            return box->text();
        return QStringLiteral("<missing %1>").arg(QLatin1String(name));
    }

    // Presses "Detail Info ..." and waits until the button reads "OK".
    static bool detailInfo(AddressInUseDialog& dialog)
    {
        QPushButton* button = control<QPushButton>(dialog, "cmdGetInfo");
        if (!button || button->text() != QLatin1String("Detail Info ..."))
            return false;
        QTest::mouseClick(button, Qt::LeftButton);
        return QTest::qWaitFor([&] { return button->text() == QLatin1String("OK") && button->isEnabled(); },
                               5000);
    }

private Q_SLOTS:
    // Run by hand as well as by CTest, the tests reach no address outside loopback.
    void initTestCase() { qputenv("TARVO_LOOPBACK_ONLY", "1"); }
    void init();
    void controlsOfBothWindows();
    void assignmentMode_data();
    void assignmentMode();
    void informationMode_data();
    void informationMode();
    void informationWithoutAddress();
    void waitsForTheNameTable();
    void closingEndsTheQueries();
    void anotherWindowsLookupDecidesNothing_data();
    void anotherWindowsLookupDecidesNothing();
    void againstLoopbackPeers();
};

void AddressInUseDialogTest::init()
{
    m_resolver = test::FakeHostResolver();
    m_nodeStatus = test::FakeNodeStatusService();
    m_banners = test::FakeBannerService();
    m_messenger.clear();
    m_state = ProbeState();
}

void AddressInUseDialogTest::controlsOfBothWindows()
{
    m_state.UsedIPAddress = Address;
    m_state.UsedIPMessage = UsedIPMessageAssignment;
    FakeAssignmentWindow window;
    frmIPAddGuna assignment(m_state, services(), window);
    QCOMPARE(assignment.windowTitle(), QStringLiteral("Information ..."));
    m_state.UsedIPMessage = UsedIPMessageLiveInfo;
    frmIPAddressUsed information(m_state, services());
    QCOMPARE(information.windowTitle(), QStringLiteral("Information"));

    const QList<QPair<const char*, const char*>> captions = {
        {"Label1", "IP Address :"}, {"Label2", "Hostname :"},    {"Label3", "Workgroup :"},
        {"Label4", "LAN ID :"},     {"Label5", "MAC Address :"}, {"Label6", "Extra Info :"}};
    for (AddressInUseDialog* dialog :
         {static_cast<AddressInUseDialog*>(&assignment), static_cast<AddressInUseDialog*>(&information)}) {
        for (const auto& [name, caption] : captions)
            QCOMPARE(control<QLabel>(*dialog, name)->text(), QLatin1String(caption));
        QVERIFY(control<QPlainTextEdit>(*dialog, "txtResult"));
        QVERIFY(
            control<QFrame>(*dialog, "FrameOK")->isAncestorOf(control<QPushButton>(*dialog, "cmdGetInfo")));
        QCOMPARE(control<QPushButton>(*dialog, "cmdGetInfo")->text(), QStringLiteral("Detail Info ..."));
    }
    for (const char* name : {"lblIPAddress", "lblNamaPeralatan", "lblWorkGroup", "lblLANID", "lblMACAddress"})
        QVERIFY2(control<QLabel>(assignment, name), name);
    for (const char* name :
         {"txtlblIPAddress", "txtlblNamaPeralatan", "txtlblWorkGroup", "txtlblLANID", "txtlblMACAddress"})
        QVERIFY2(control<QLineEdit>(information, name), name);

    // Opening shows the hand-over and asks for the name table at once.
    QCOMPARE(control<QLabel>(assignment, "lblTelahGuna")->text(), UsedIPMessageAssignment);
    QCOMPARE(text(assignment, "lblIPAddress"), Address);
    QCOMPARE(control<QLabel>(information, "lblTelahGuna")->text(), UsedIPMessageLiveInfo);
    QCOMPARE(text(information, "txtlblIPAddress"), Address);
    QCOMPARE(m_nodeStatus.queried, (QStringList{Address, Address}));
}

void AddressInUseDialogTest::assignmentMode_data()
{
    QTest::addColumn<Device>("device");
    QTest::addColumn<QString>("bilangan");
    QTest::addColumn<QString>("hostName");
    QTest::addColumn<QString>("lanId");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<bool>("telnet");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("writesBack");

    QTest::newRow("named device") << Device::Named << "1"
                                  << "PC0123"
                                  << "AHMAD"
                                  << "00-1A-2B-3C-4D-5E" << false << "" << true;
    QTest::newRow("bulk run") << Device::Named << "5"
                              << "PC0123"
                              << "AHMAD"
                              << "00-1A-2B-3C-4D-5E" << false << "" << true;
    // Without a host name the name table is still read, but nothing is written back.
    QTest::newRow("no host name") << Device::Nameless << "1"
                                  << ""
                                  << "AHMAD"
                                  << "00-1A-2B-3C-4D-5E" << false << "Host Name not Found." << false;
    QTest::newRow("no name table") << Device::NoNameTable << "1"
                                   << "PC0123"
                                   << ""
                                   << "" << true << "" << true;
    QTest::newRow("query fails") << Device::QueryFails << "1"
                                 << "PC0123"
                                 << ""
                                 << "" << false << "Error !!! No info available ... " << true;
}

void AddressInUseDialogTest::assignmentMode()
{
    QFETCH(Device, device);
    QFETCH(QString, bilangan);
    QFETCH(QString, hostName);
    QFETCH(QString, lanId);
    QFETCH(QString, mac);
    QFETCH(bool, telnet);
    QFETCH(QString, message);
    QFETCH(bool, writesBack);

    script(device);
    m_state.UsedIPAddress = Address;
    m_state.UsedIPMessage = UsedIPMessageAssignment;
    FakeAssignmentWindow window;
    window.bilangan = bilangan;
    frmIPAddGuna dialog(m_state, services(), window);
    dialog.show();

    QVERIFY(detailInfo(dialog));
    QCOMPARE(text(dialog, "lblNamaPeralatan"), hostName);
    QCOMPARE(text(dialog, "lblWorkGroup"), lanId.isEmpty() ? QString() : QStringLiteral("KEWANGAN"));
    QCOMPARE(text(dialog, "lblLANID"), lanId);
    QCOMPARE(text(dialog, "lblMACAddress"), mac);
    QCOMPARE(m_banners.probed, telnet ? QStringList{Address} : QStringList{});
    if (telnet)
        QTRY_COMPARE(control<QPlainTextEdit>(dialog, "txtResult")->toPlainText(),
                     QStringLiteral("Welcome to PC0123\n"));
    QCOMPARE(m_messenger.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
    if (message.startsWith(QLatin1String("Error")))
        QCOMPARE(m_messenger.last().title, QStringLiteral("Error !!!"));

    // The proposal is marked as soon as the lookup is done, whatever it found.
    QVERIFY(window.marked);
    QCOMPARE(window.recordNumberShown, bilangan != QLatin1String("1"));
    QCOMPARE(window.closeTimeCalls, 0);

    QTest::mouseClick(control<QPushButton>(dialog, "cmdGetInfo"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(window.closeTimeCalls, 1);
    if (writesBack) {
        QCOMPARE(window.staffNo, lanId);
        QCOMPARE(window.lanId, lanId);
        QCOMPARE(window.remarks, QStringLiteral("Hostname = PC0123; MAC Address = ") + mac);
    } else {
        QCOMPARE(window.staffNo, QStringLiteral("S1234"));
        QCOMPARE(window.lanId, QStringLiteral("typed"));
        QCOMPARE(window.remarks, QStringLiteral("typed remarks"));
    }
}

void AddressInUseDialogTest::informationMode_data()
{
    QTest::addColumn<Device>("device");
    QTest::addColumn<QString>("hostName");
    QTest::addColumn<QString>("lanId");
    QTest::addColumn<bool>("telnet");
    QTest::addColumn<QString>("message");

    QTest::newRow("named device") << Device::Named << "PC0123"
                                  << "AHMAD" << false << "";
    // Without a host name the telnet probe runs at once; the name table is not shown.
    QTest::newRow("no host name") << Device::Nameless << ""
                                  << "" << true << "Host Name not Found.";
    QTest::newRow("no host name, no name table") << Device::NamelessSilent << ""
                                                 << "" << true << "Host Name not Found.";
    QTest::newRow("no name table") << Device::NoNameTable << "PC0123"
                                   << "" << true << "";
    QTest::newRow("query fails") << Device::QueryFails << "PC0123"
                                 << "" << false
                                 << "Ralat !!! Kesilapan teknikal pada sistem... sila Cari sekali lagi...";
}

void AddressInUseDialogTest::informationMode()
{
    QFETCH(Device, device);
    QFETCH(QString, hostName);
    QFETCH(QString, lanId);
    QFETCH(bool, telnet);
    QFETCH(QString, message);

    script(device);
    m_state.UsedIPAddress = Address;
    m_state.UsedIPMessage = UsedIPMessageLiveInfo;
    frmIPAddressUsed dialog(m_state, services());
    dialog.show();

    QVERIFY(detailInfo(dialog));
    QCOMPARE(text(dialog, "txtlblNamaPeralatan"), hostName);
    QCOMPARE(text(dialog, "txtlblLANID"), lanId);
    QCOMPARE(text(dialog, "txtlblMACAddress"),
             lanId.isEmpty() ? QString() : QStringLiteral("00-1A-2B-3C-4D-5E"));
    QCOMPARE(m_banners.probed, telnet ? QStringList{Address} : QStringList{});
    if (telnet)
        QTRY_COMPARE(control<QPlainTextEdit>(dialog, "txtResult")->toPlainText(),
                     QStringLiteral("Welcome to PC0123\n"));
    QCOMPARE(m_messenger.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
    if (message.startsWith(QLatin1String("Ralat")))
        QCOMPARE(m_messenger.last().title, QStringLiteral("Pemberitahuan"));

    QTest::mouseClick(control<QPushButton>(dialog, "cmdGetInfo"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

void AddressInUseDialogTest::informationWithoutAddress()
{
    m_state.UsedIPMessage = UsedIPMessageLiveInfo;
    frmIPAddressUsed dialog(m_state, services());
    dialog.show();
    QVERIFY(m_nodeStatus.queried.isEmpty());
    QCOMPARE(text(dialog, "txtlblIPAddress"), QString());

    // With no address there is nothing to ask: both failures are told, nothing is probed.
    m_resolver.fails(QString(), HostLookupResult::Outcome::InvalidAddress);
    m_nodeStatus.fails(QString(), QStringLiteral("not an address"));
    QVERIFY(detailInfo(dialog));
    QCOMPARE(m_messenger.texts(),
             (QStringList{
                 QStringLiteral("String passed is an invalid IP."),
                 QStringLiteral("Ralat !!! Kesilapan teknikal pada sistem... sila Cari sekali lagi...")}));
    QVERIFY(m_banners.probed.isEmpty());
}

void AddressInUseDialogTest::waitsForTheNameTable()
{
    script(Device::Named);
    m_nodeStatus.setHolding(true);
    m_state.UsedIPAddress = Address;
    m_state.UsedIPMessage = UsedIPMessageLiveInfo;
    frmIPAddressUsed dialog(m_state, services());
    QSignalSpy finished(&dialog, &AddressInUseDialog::detailInfoFinished);
    dialog.show();
    auto* button = control<QPushButton>(dialog, "cmdGetInfo");

    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_COMPARE(text(dialog, "txtlblNamaPeralatan"), QStringLiteral("PC0123"));
    // The name table has not come yet: the window waits, without a second lookup on another press.
    QVERIFY(dialog.isProbing());
    QVERIFY(!button->isEnabled());
    dialog.cmdGetInfo_Click();
    QCOMPARE(m_resolver.lookedUp.size(), 1);
    QCOMPARE(button->text(), QStringLiteral("Detail Info ..."));

    m_nodeStatus.release();
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(text(dialog, "txtlblLANID"), QStringLiteral("AHMAD"));
    QCOMPARE(button->text(), QStringLiteral("OK"));
    QCOMPARE(m_nodeStatus.queried.size(), 1);
}

void AddressInUseDialogTest::closingEndsTheQueries()
{
    script(Device::Named);
    m_resolver.setHolding(true);
    m_nodeStatus.setHolding(true);
    m_state.UsedIPAddress = Address;
    m_state.UsedIPMessage = UsedIPMessageAssignment;
    FakeAssignmentWindow window;
    frmIPAddGuna dialog(m_state, services(), window);
    dialog.show();
    QTest::mouseClick(control<QPushButton>(dialog, "cmdGetInfo"), Qt::LeftButton);
    QVERIFY(dialog.isProbing());

    dialog.reject();
    m_resolver.release();
    m_nodeStatus.release();
    QCoreApplication::processEvents();
    QVERIFY(!dialog.isProbing());
    QCOMPARE(text(dialog, "lblNamaPeralatan"), QString());
    QVERIFY(m_messenger.isEmpty());
    QVERIFY(!window.marked);
    // Closing is no "OK": the assignment window is left as it was.
    QCOMPARE(window.closeTimeCalls, 0);
    QCOMPARE(window.staffNo, QStringLiteral("S1234"));
}

void AddressInUseDialogTest::anotherWindowsLookupDecidesNothing_data()
{
    QTest::addColumn<Device>("device");
    QTest::addColumn<bool>("otherAddressNamed");
    QTest::addColumn<bool>("writesBack");

    QTest::newRow("named device, the other address nameless") << Device::Named << false << true;
    QTest::newRow("nameless device, the other address named") << Device::Nameless << true << false;
}

void AddressInUseDialogTest::anotherWindowsLookupDecidesNothing()
{
    QFETCH(Device, device);
    QFETCH(bool, otherAddressNamed);
    QFETCH(bool, writesBack);

    // A Live Info window whose lookup is slow, opened before the assignment window's dialog.
    script(device);
    const QString otherAddress = QStringLiteral("10.1.2.4");
    test::FakeHostResolver slowResolver;
    if (otherAddressNamed)
        slowResolver.answers(otherAddress, QStringLiteral("PC0456"));
    slowResolver.setHolding(true);
    m_state.UsedIPAddress = otherAddress;
    m_state.UsedIPMessage = UsedIPMessageLiveInfo;
    frmIPAddressUsed information(m_state, {slowResolver, m_nodeStatus, m_banners, m_messenger});
    information.show();
    QTest::mouseClick(control<QPushButton>(information, "cmdGetInfo"), Qt::LeftButton);

    m_state.UsedIPAddress = Address;
    m_state.UsedIPMessage = UsedIPMessageAssignment;
    FakeAssignmentWindow window;
    frmIPAddGuna assignment(m_state, services(), window);
    assignment.show();
    QVERIFY(detailInfo(assignment));

    // The other window's answer comes between "Detail Info ..." and "OK".
    slowResolver.release();
    QTRY_COMPARE(m_state.HostNotFound, !otherAddressNamed);
    QTest::mouseClick(control<QPushButton>(assignment, "cmdGetInfo"), Qt::LeftButton);
    QCOMPARE(window.closeTimeCalls, 1);
    QCOMPARE(window.lanId, writesBack ? QStringLiteral("AHMAD") : QStringLiteral("typed"));
    QCOMPARE(window.remarks, writesBack ? QStringLiteral("Hostname = PC0123; MAC Address = 00-1A-2B-3C-4D-5E")
                                        : QStringLiteral("typed remarks"));
}

void AddressInUseDialogTest::againstLoopbackPeers()
{
    // The real NetBIOS and telnet clients against peers on 127.0.0.1; the host name from a fake.
    test::LoopbackNetBiosResponder responder;
    QVERIFY(responder.start());
    responder.setTable(workstationTable());
    test::LoopbackNetBiosResponder silentNode;
    QVERIFY(silentNode.start());
    silentNode.setSilent(true);
    test::LoopbackTelnetServer telnet;
    QVERIFY(telnet.start());
    telnet.addStep(QByteArray("\xff\xfd\x18", 3));
    telnet.addStep("Core switch\r\nUsername :", 3);
    const QString loopback = QStringLiteral("127.0.0.1");
    m_resolver.answers(loopback, QStringLiteral("localhost"));
    TelnetBannerService banners(telnet.port());
    m_state.UsedIPAddress = loopback;
    m_state.UsedIPMessage = UsedIPMessageLiveInfo;

    UdpNodeStatusService answering({responder.port(), 2, 2000});
    frmIPAddressUsed named(m_state, {m_resolver, answering, banners, m_messenger});
    named.show();
    QVERIFY(detailInfo(named));
    QCOMPARE(text(named, "txtlblWorkGroup"), QStringLiteral("KEWANGAN"));
    QCOMPARE(text(named, "txtlblLANID"), QStringLiteral("AHMAD"));
    QCOMPARE(text(named, "txtlblMACAddress"), QStringLiteral("00-1A-2B-3C-4D-5E"));
    QVERIFY(!telnet.clientConnected());

    // A device without a name table gets the telnet probe.
    UdpNodeStatusService silent({silentNode.port(), 2, 100});
    frmIPAddressUsed quiet(m_state, {m_resolver, silent, banners, m_messenger});
    quiet.show();
    QVERIFY(detailInfo(quiet));
    QCOMPARE(text(quiet, "txtlblLANID"), QString());
    QTRY_COMPARE(control<QPlainTextEdit>(quiet, "txtResult")->toPlainText(), QStringLiteral("Core switch\n"));
    QCOMPARE(telnet.received(), QByteArray("\xff\xfb\x18", 3));
    QTRY_VERIFY(telnet.clientClosed());
    QVERIFY(m_messenger.isEmpty());
}

QTEST_MAIN(AddressInUseDialogTest)
#include "AddressInUseDialogTest.moc"
