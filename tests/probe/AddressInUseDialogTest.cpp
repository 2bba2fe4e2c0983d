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

const QString Address = QStringLiteral("10.1.2.3");
const QString Banner = QStringLiteral("Welcome to PC0123\r\n");
const QString WrittenRemarks = QStringLiteral("Hostname = PC0123; MAC Address = 00-1A-2B-3C-4D-5E");

// The text of a value field: a label in the assignment dialog, a read-only box in the other one.
QString text(QWidget& window, const QString& name)
{
    QWidget* field = window.findChild<QWidget*>(name);
    if (auto* label = qobject_cast<QLabel*>(field))
        return label->text();
    if (auto* box = qobject_cast<QLineEdit*>(field))
        return box->text();
    return QStringLiteral("<missing %1>").arg(name);
}

QPushButton* button(QWidget& window)
{
    return window.findChild<QPushButton*>(QStringLiteral("cmdGetInfo"));
}

QString result(QWidget& window)
{
    return window.findChild<QPlainTextEdit*>(QStringLiteral("txtResult"))->toPlainText();
}

// Presses "Detail Info ..." and waits until the button reads "OK".
bool pressDetailInfo(AddressInUseDialog& dialog)
{
    if (button(dialog)->text() != QLatin1String("Detail Info ..."))
        return false;
    QTest::mouseClick(button(dialog), Qt::LeftButton);
    return QTest::qWaitFor(
        [&] { return button(dialog)->text() == QLatin1String("OK") && button(dialog)->isEnabled(); }, 5000);
}

// The fakes a dialog works with, and the hand-over to it.
struct Fixture
{
    test::FakeHostResolver resolver;
    test::FakeNodeStatusService nodeStatus;
    test::FakeBannerService banners;
    test::ScriptedMessenger messenger;
    ProbeState state;
    FakeAssignmentWindow window;

    ProbeServices services() { return {resolver, nodeStatus, banners, messenger}; }

    // A named device with a name table and a telnet banner at Address, handed over to a dialog.
    void handOver(const QString& message, const QString& address = Address)
    {
        resolver.answers(Address, QStringLiteral("PC0123"));
        nodeStatus.answers(Address, test::workstationNameTable());
        banners.shows(Address, Banner);
        state.UsedIPAddress = address;
        state.UsedIPMessage = message;
    }
};

} // namespace

class AddressInUseDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void detailInfo_data();
    void detailInfo();
    void informationWithoutAddress();
    void slowAnswers();
    void anotherWindowsLookupDecidesNothing_data();
    void anotherWindowsLookupDecidesNothing();
    void realClientsAgainstLoopbackPeers_data();
    void realClientsAgainstLoopbackPeers();
};

void AddressInUseDialogTest::detailInfo_data()
{
    QTest::addColumn<bool>("assignment");
    QTest::addColumn<QString>("bilangan");
    QTest::addColumn<bool>("named");
    QTest::addColumn<int>("nameTable"); // 1 answered, 0 no answer, -1 the query fails
    QTest::addColumn<bool>("shown");    // the name table's findings are shown
    QTest::addColumn<QString>("message");
    const auto row = [](const char* name, bool assignment, const char* bilangan, bool named, int nameTable,
                        bool shown, const QString& message) {
        QTest::newRow(name) << assignment << QString::fromLatin1(bilangan) << named << nameTable << shown
                            << message;
    };
    const QString notFound = QStringLiteral("Host Name not Found.");
    row("assignment, named device", true, "1", true, 1, true, {});
    row("assignment, bulk run", true, "5", true, 1, true, {});
    // Without a host name the name table is still read, but nothing is written back.
    row("assignment, no host name", true, "1", false, 1, true, notFound);
    row("assignment, no name table", true, "1", true, 0, false, {});
    row("assignment, query fails", true, "1", true, -1, false,
        QStringLiteral("Error !!! No info available ... "));
    row("information, named device", false, "", true, 1, true, {});
    // Without a host name the telnet probe runs at once; the name table is not shown.
    row("information, no host name", false, "", false, 1, false, notFound);
    row("information, no host name, no name table", false, "", false, 0, false, notFound);
    row("information, no name table", false, "", true, 0, false, {});
    row("information, query fails", false, "", true, -1, false,
        QStringLiteral("Ralat !!! Kesilapan teknikal pada sistem... sila Cari sekali lagi..."));
}

void AddressInUseDialogTest::detailInfo()
{
    QFETCH(bool, assignment);
    QFETCH(QString, bilangan);
    QFETCH(bool, named);
    QFETCH(int, nameTable);
    QFETCH(bool, shown);
    QFETCH(QString, message);
    Fixture f;

    if (named)
        f.resolver.answers(Address, QStringLiteral("PC0123"));
    if (nameTable == 1)
        f.nodeStatus.answers(Address, test::workstationNameTable());
    if (nameTable == -1)
        f.nodeStatus.fails(Address, QStringLiteral("socket error"));
    f.banners.shows(Address, Banner);
    f.state.UsedIPAddress = Address;
    f.state.UsedIPMessage = assignment ? UsedIPMessageAssignment : UsedIPMessageLiveInfo;
    f.window.bilangan = bilangan;
    std::unique_ptr<AddressInUseDialog> dialog;
    if (assignment)
        dialog = std::make_unique<frmIPAddGuna>(f.state, f.services(), f.window);
    else
        dialog = std::make_unique<frmIPAddressUsed>(f.state, f.services());
    dialog->show();
    const QString prefix = assignment ? QStringLiteral("lbl") : QStringLiteral("txtlbl");
    const auto field = [&](const char* name) { return text(*dialog, prefix + QLatin1String(name)); };

    // Opening shows the hand-over and asks for the name table at once.
    QCOMPARE(text(*dialog, QStringLiteral("lblTelahGuna")), f.state.UsedIPMessage);
    QCOMPARE(field("IPAddress"), Address);
    QCOMPARE(f.nodeStatus.queried, QStringList{Address});

    QVERIFY(pressDetailInfo(*dialog));
    QCOMPARE(field("NamaPeralatan"), named ? QStringLiteral("PC0123") : QString());
    QCOMPARE(field("WorkGroup"), shown ? QStringLiteral("KEWANGAN") : QString());
    QCOMPARE(field("LANID"), shown ? QStringLiteral("AHMAD") : QString());
    QCOMPARE(field("MACAddress"), shown ? QStringLiteral("00-1A-2B-3C-4D-5E") : QString());
    const bool telnet = nameTable == 0 || (!assignment && !named);
    QCOMPARE(f.banners.probed, telnet ? QStringList{Address} : QStringList{});
    if (telnet)
        QTRY_COMPARE(result(*dialog), QStringLiteral("Welcome to PC0123\n"));
    QCOMPARE(f.messenger.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
    if (nameTable == -1)
        QCOMPARE(f.messenger.last().title,
                 assignment ? QStringLiteral("Error !!!") : QStringLiteral("Pemberitahuan"));

    // The proposal is marked as soon as the lookup is done, whatever it found.
    QCOMPARE(f.window.marked, assignment);
    QCOMPARE(f.window.recordNumberShown, assignment && bilangan != QLatin1String("1"));
    QCOMPARE(f.window.closeTimeCalls, 0);

    QTest::mouseClick(button(*dialog), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(f.window.closeTimeCalls, assignment ? 1 : 0);
    // Only a named device is written back, with what the name table gave.
    const bool writesBack = assignment && named;
    QCOMPARE(f.window.staffNo, writesBack ? field("LANID") : QStringLiteral("S1234"));
    QCOMPARE(f.window.lanId, writesBack ? field("LANID") : QStringLiteral("typed"));
    QCOMPARE(f.window.remarks, !writesBack ? QStringLiteral("typed remarks")
                               : shown     ? WrittenRemarks
                                           : QStringLiteral("Hostname = PC0123; MAC Address = "));
}

void AddressInUseDialogTest::informationWithoutAddress()
{
    Fixture f;
    f.state.UsedIPMessage = UsedIPMessageLiveInfo;
    frmIPAddressUsed dialog(f.state, f.services());
    dialog.show();
    QVERIFY(f.nodeStatus.queried.isEmpty());

    // With no address there is nothing to ask: both failures are told, nothing is probed.
    f.resolver.fails(QString(), HostLookupResult::Outcome::InvalidAddress);
    f.nodeStatus.fails(QString(), QStringLiteral("not an address"));
    QVERIFY(pressDetailInfo(dialog));
    QCOMPARE(f.messenger.texts(),
             (QStringList{
                 QStringLiteral("String passed is an invalid IP."),
                 QStringLiteral("Ralat !!! Kesilapan teknikal pada sistem... sila Cari sekali lagi...")}));
    QVERIFY(f.banners.probed.isEmpty());
}

void AddressInUseDialogTest::slowAnswers()
{
    // The name table comes after the host name: the window waits for it, without a second lookup on
    // another press.
    Fixture f;
    f.handOver(UsedIPMessageLiveInfo);
    f.nodeStatus.setHolding(true);
    frmIPAddressUsed waiting(f.state, f.services());
    QSignalSpy finished(&waiting, &AddressInUseDialog::detailInfoFinished);
    waiting.show();
    QTest::mouseClick(button(waiting), Qt::LeftButton);
    QTRY_COMPARE(text(waiting, QStringLiteral("txtlblNamaPeralatan")), QStringLiteral("PC0123"));
    QVERIFY(waiting.isProbing() && !button(waiting)->isEnabled());
    waiting.cmdGetInfo_Click();
    QCOMPARE(f.resolver.lookedUp.size(), 1);
    f.nodeStatus.release();
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(text(waiting, QStringLiteral("txtlblLANID")), QStringLiteral("AHMAD"));
    QCOMPARE(button(waiting)->text(), QStringLiteral("OK"));
    QCOMPARE(f.nodeStatus.queried.size(), 1);

    // Closing ends the queries still running, and is no "OK": the assignment window is left as it was.
    f.state.UsedIPMessage = UsedIPMessageAssignment;
    f.resolver.setHolding(true);
    frmIPAddGuna closed(f.state, f.services(), f.window);
    closed.show();
    QTest::mouseClick(button(closed), Qt::LeftButton);
    QVERIFY(closed.isProbing());
    closed.reject();
    f.resolver.release();
    f.nodeStatus.release();
    QCoreApplication::processEvents();
    QVERIFY(!closed.isProbing());
    QCOMPARE(text(closed, QStringLiteral("lblNamaPeralatan")), QString());
    QVERIFY(f.messenger.isEmpty());
    QVERIFY(!f.window.marked);
    QCOMPARE(f.window.closeTimeCalls, 0);
    QCOMPARE(f.window.staffNo, QStringLiteral("S1234"));
}

void AddressInUseDialogTest::anotherWindowsLookupDecidesNothing_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("otherAddressNamed");
    QTest::newRow("named device, the other address nameless") << true << false;
    QTest::newRow("nameless device, the other address named") << false << true;
}

void AddressInUseDialogTest::anotherWindowsLookupDecidesNothing()
{
    QFETCH(bool, named);
    QFETCH(bool, otherAddressNamed);
    Fixture f;

    // A Live Info window whose lookup is slow, opened before the assignment window's dialog.
    const QString otherAddress = QStringLiteral("10.1.2.4");
    f.handOver(UsedIPMessageLiveInfo, otherAddress);
    if (!named)
        f.resolver.fails(Address, HostLookupResult::Outcome::NotFound);
    test::FakeHostResolver slowResolver;
    if (otherAddressNamed)
        slowResolver.answers(otherAddress, QStringLiteral("PC0456"));
    slowResolver.setHolding(true);
    frmIPAddressUsed information(f.state, {slowResolver, f.nodeStatus, f.banners, f.messenger});
    information.show();
    QTest::mouseClick(button(information), Qt::LeftButton);

    f.state.UsedIPAddress = Address;
    f.state.UsedIPMessage = UsedIPMessageAssignment;
    frmIPAddGuna assignment(f.state, f.services(), f.window);
    assignment.show();
    QVERIFY(pressDetailInfo(assignment));

    // The other window's answer comes between "Detail Info ..." and "OK".
    slowResolver.release();
    QTRY_COMPARE(f.state.HostNotFound, !otherAddressNamed);
    QTest::mouseClick(button(assignment), Qt::LeftButton);
    QCOMPARE(f.window.closeTimeCalls, 1);
    QCOMPARE(f.window.lanId, named ? QStringLiteral("AHMAD") : QStringLiteral("typed"));
    QCOMPARE(f.window.remarks, named ? WrittenRemarks : QStringLiteral("typed remarks"));
}

void AddressInUseDialogTest::realClientsAgainstLoopbackPeers_data()
{
    QTest::addColumn<bool>("banner");
    QTest::newRow("the service shows its banner") << true;
    // As a telnet daemon does before it sends its text: the window closes while the connection is held.
    QTest::newRow("the service holds the connection silent") << false;
}

void AddressInUseDialogTest::realClientsAgainstLoopbackPeers()
{
    QFETCH(bool, banner);
    Fixture f;
    // A device with no name table gets the telnet probe: the real NetBIOS and telnet clients against
    // peers on 127.0.0.1, the host name from a fake.
    test::LoopbackNetBiosResponder silentNode;
    QVERIFY(silentNode.start());
    silentNode.setAnswerFromRequest(0);
    test::LoopbackTelnetServer telnet;
    QVERIFY(telnet.start());
    telnet.addStep(QByteArray("\xff\xfd\x18", 3));
    if (banner)
        telnet.addStep("Core switch\r\nUsername :", 3);
    f.resolver.answers(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"));
    f.state.UsedIPAddress = QStringLiteral("127.0.0.1");
    f.state.UsedIPMessage = UsedIPMessageLiveInfo;
    UdpNodeStatusService nodeStatus({silentNode.port(), 2, 100});
    TelnetBannerService banners(telnet.port());

    frmIPAddressUsed dialog(f.state, {f.resolver, nodeStatus, banners, f.messenger});
    dialog.show();
    QVERIFY(pressDetailInfo(dialog));
    QTRY_COMPARE(telnet.received(), QByteArray("\xff\xfb\x18", 3));
    if (banner)
        QTRY_COMPARE(result(dialog), QStringLiteral("Core switch\n"));
    else
        QTest::mouseClick(button(dialog), Qt::LeftButton);
    QTRY_VERIFY(telnet.clientClosed());
    QCOMPARE(result(dialog).isEmpty(), !banner);
    QVERIFY(f.messenger.isEmpty());
}

QTEST_MAIN(AddressInUseDialogTest)
#include "AddressInUseDialogTest.moc"
