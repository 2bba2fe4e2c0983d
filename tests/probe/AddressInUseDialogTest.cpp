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

// Records what the dialog does to the assignment window, in order.
class FakeAssignmentWindow final : public AssignmentWindowLink
{
public:
    QString bilanganText() const override { return bilangan; }
    void showRecordNumber() override { calls << "record number"; }
    void markProposalInUse() override { calls << "marked"; }
    void closeTimeOperation() override { calls << "closed"; }
    void setStaffNo(const QString& text) override { calls << "staff no " + text; }
    void setLanId(const QString& text) override { calls << "LAN ID " + text; }
    void setRemarks(const QString& text) override { calls << "remarks " + text; }

    QString bilangan = QStringLiteral("1");
    QStringList calls;
};

// A row of the detail table: which dialog, the run's size, whether the device has a host name, its name
// table (1 answered, 0 no answer, -1 the query fails), whether the table's findings are shown, the message.
struct Detail
{
    bool assignment;
    const char* bilangan;
    bool named;
    int nameTable;
    bool shown;
    const char* message;
};

const QString Address = QStringLiteral("10.1.2.3");
const char* const TechnicalError =
    "Pemberitahuan: Ralat !!! Kesilapan teknikal pada sistem... sila Cari sekali lagi...";
const QString Banner = QStringLiteral("Welcome to PC0123\r\n");
const QStringList WrittenBack = {"staff no AHMAD", "LAN ID AHMAD",
                                 "remarks Hostname = PC0123; MAC Address = 00-1A-2B-3C-4D-5E"};

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

    // A device with a telnet banner at Address, named and with a name table as asked (1 answered, 0 no
    // answer, -1 the query fails), handed over to the next dialog, which opens.
    void handOver(const QString& message, bool named = true, int nameTable = 1,
                  const QString& address = Address)
    {
        if (named)
            resolver.answers(Address, QStringLiteral("PC0123"));
        if (nameTable == 1)
            nodeStatus.answers(Address, test::workstationNameTable());
        if (nameTable == -1)
            nodeStatus.fails(Address, QStringLiteral("socket error"));
        banners.shows(Address, Banner);
        state.UsedIPAddress = address;
        state.UsedIPMessage = message;
    }
    std::unique_ptr<AddressInUseDialog> open(bool assignment)
    {
        std::unique_ptr<AddressInUseDialog> dialog;
        if (assignment)
            dialog = std::make_unique<frmIPAddGuna>(state, services(), window);
        else
            dialog = std::make_unique<frmIPAddressUsed>(state, services());
        dialog->show();
        return dialog;
    }
};

} // namespace

class AddressInUseDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void detailInfo_data()
    {
        QTest::addColumn<Detail>("c");
        const char* notFound = "Host Name not Found.";
        QTest::newRow("assignment, named device, bulk run") << Detail{true, "5", true, 1, true, ""};
        // Without a host name the name table is still read, but nothing is written back.
        QTest::newRow("assignment, no host name") << Detail{true, "1", false, 1, true, notFound};
        QTest::newRow("assignment, no name table") << Detail{true, "1", true, 0, false, ""};
        QTest::newRow("assignment, query fails")
            << Detail{true, "1", true, -1, false, "Error !!!: Error !!! No info available ... "};
        QTest::newRow("information, named device") << Detail{false, "", true, 1, true, ""};
        // Without a host name the telnet probe runs at once; the name table is not shown.
        QTest::newRow("information, no host name") << Detail{false, "", false, 1, false, notFound};
        QTest::newRow("information, no host name, no name table")
            << Detail{false, "", false, 0, false, notFound};
        QTest::newRow("information, no name table") << Detail{false, "", true, 0, false, ""};
        QTest::newRow("information, query fails") << Detail{false, "", true, -1, false, TechnicalError};
    }

    void detailInfo()
    {
        QFETCH(Detail, c);
        Fixture f;
        f.handOver(c.assignment ? UsedIPMessageAssignment : UsedIPMessageLiveInfo, c.named, c.nameTable);
        f.window.bilangan = c.bilangan;
        const auto dialog = f.open(c.assignment);
        const QString prefix = c.assignment ? QStringLiteral("lbl") : QStringLiteral("txtlbl");
        const auto field = [&](const char* name) { return text(*dialog, prefix + QLatin1String(name)); };

        // Opening shows the hand-over and asks for the name table at once.
        QCOMPARE(text(*dialog, QStringLiteral("lblTelahGuna")), f.state.UsedIPMessage);
        QCOMPARE(field("IPAddress"), Address);
        QCOMPARE(f.nodeStatus.queried, QStringList{Address});

        QVERIFY(pressDetailInfo(*dialog));
        QCOMPARE(field("NamaPeralatan"), c.named ? QStringLiteral("PC0123") : QString());
        const QString findings = field("WorkGroup") + '|' + field("LANID") + '|' + field("MACAddress");
        QCOMPARE(findings, c.shown ? "KEWANGAN|AHMAD|00-1A-2B-3C-4D-5E" : "||");
        const bool telnet = c.nameTable == 0 || (!c.assignment && !c.named);
        QCOMPARE(f.banners.probed, telnet ? QStringList{Address} : QStringList{});
        if (telnet)
            QTRY_COMPARE(result(*dialog), QStringLiteral("Welcome to PC0123\n"));
        QStringList messages;
        for (const Message& message : f.messenger.shown())
            messages << (c.nameTable == -1 ? message.title + ": " + message.text : message.text);
        QCOMPARE(messages, *c.message ? QStringList{c.message} : QStringList{});

        // The proposal is marked as soon as the lookup is done, whatever it found.
        QStringList calls;
        if (c.assignment)
            calls = QLatin1String(c.bilangan) == "1" ? QStringList{"marked"}
                                                     : QStringList{"record number", "marked"};
        QCOMPARE(f.window.calls, calls);

        // OK closes the dialog; only a named device is written back, with what the name table gave.
        QTest::mouseClick(button(*dialog), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        if (c.assignment)
            calls << "closed";
        if (c.assignment && c.named)
            calls << (c.shown
                          ? WrittenBack
                          : QStringList{"staff no ", "LAN ID ", "remarks Hostname = PC0123; MAC Address = "});
        QCOMPARE(f.window.calls, calls);
    }

    void informationWithoutAddress()
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
                 (QStringList{"String passed is an invalid IP.", QString(TechnicalError).section(": ", 1)}));
        QVERIFY(f.banners.probed.isEmpty());
    }

    void slowAnswers()
    {
        // The name table comes after the host name: the window waits for it, without a second lookup on
        // another press.
        Fixture f;
        f.handOver(UsedIPMessageLiveInfo);
        f.nodeStatus.setHolding(true);
        const auto waiting = f.open(false);
        QSignalSpy finished(waiting.get(), &AddressInUseDialog::detailInfoFinished);
        QTest::mouseClick(button(*waiting), Qt::LeftButton);
        QTRY_COMPARE(text(*waiting, QStringLiteral("txtlblNamaPeralatan")), QStringLiteral("PC0123"));
        QVERIFY(waiting->isProbing() && !button(*waiting)->isEnabled());
        waiting->cmdGetInfo_Click();
        QCOMPARE(f.resolver.lookedUp.size(), 1);
        f.nodeStatus.release();
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(text(*waiting, QStringLiteral("txtlblLANID")), QStringLiteral("AHMAD"));
        QCOMPARE(button(*waiting)->text(), QStringLiteral("OK"));
        QCOMPARE(f.nodeStatus.queried.size(), 1);

        // Closing ends the queries still running, and is no "OK": the assignment window is left as it was.
        f.state.UsedIPMessage = UsedIPMessageAssignment;
        f.resolver.setHolding(true);
        const auto closed = f.open(true);
        QTest::mouseClick(button(*closed), Qt::LeftButton);
        QVERIFY(closed->isProbing());
        closed->reject();
        f.resolver.release();
        f.nodeStatus.release();
        QCoreApplication::processEvents();
        QVERIFY(!closed->isProbing());
        QCOMPARE(text(*closed, QStringLiteral("lblNamaPeralatan")), QString());
        QVERIFY(f.messenger.isEmpty());
        QVERIFY(f.window.calls.isEmpty());
    }

    // A Live Info window whose lookup of another address is slow, opened before the assignment window's
    // dialog, answers between "Detail Info ..." and "OK" of that dialog.
    void anotherWindowsLookupDecidesNothing()
    {
        for (const bool named : {true, false}) {
            Fixture f;
            const QString otherAddress = QStringLiteral("10.1.2.4");
            f.handOver(UsedIPMessageLiveInfo, named, 1, otherAddress);
            test::FakeHostResolver slowResolver;
            if (!named)
                slowResolver.answers(otherAddress, QStringLiteral("PC0456"));
            slowResolver.setHolding(true);
            frmIPAddressUsed information(f.state, {slowResolver, f.nodeStatus, f.banners, f.messenger});
            information.show();
            QTest::mouseClick(button(information), Qt::LeftButton);

            f.state.UsedIPAddress = Address;
            f.state.UsedIPMessage = UsedIPMessageAssignment;
            const auto assignment = f.open(true);
            QVERIFY(pressDetailInfo(*assignment));
            slowResolver.release();
            QTRY_COMPARE(f.state.HostNotFound, named);
            QTest::mouseClick(button(*assignment), Qt::LeftButton);
            QCOMPARE(f.window.calls,
                     (QStringList{"marked", "closed"} + (named ? WrittenBack : QStringList{})));
        }
    }

    void realClientsAgainstLoopbackPeers_data()
    {
        QTest::addColumn<bool>("banner");
        QTest::newRow("the service shows its banner") << true;
        // As a telnet daemon does before it sends its text: the window closes while the connection is held.
        QTest::newRow("the service holds the connection silent") << false;
    }

    void realClientsAgainstLoopbackPeers()
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
};

QTEST_MAIN(AddressInUseDialogTest)
#include "AddressInUseDialogTest.moc"
