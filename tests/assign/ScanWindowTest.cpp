// Scan mode of the assignment window, driven by the names of its controls: the big-scan question and
// the scan-range dialog, the Proceed question, the proposal for an answering device and the walk that
// resumes after its save, Stop. The fake pinger stands in for the network (the sample addresses are 10.x).

#include "AssignWindowKit.h"

#include <QtTest>

using namespace tarvo;
using test::AssignWindow;

namespace {

const QString Prefix = QStringLiteral("10.20.34.");

// Picks the start point of the scan-range dialog when it comes, noting the points offered and whether
// the list takes typing.
void startAt(const QString& point, QStringList* offered = nullptr)
{
    test::whenModal(QStringLiteral("frmNetScanRange"), [point, offered](QWidget* dialog) {
        auto* list = test::child<QComboBox>(dialog, "cboStartRange");
        for (int i = 0; offered && i < list->count(); ++i)
            *offered << list->itemText(i);
        if (offered && list->isEditable())
            *offered << QStringLiteral("typable");
        list->setCurrentIndex(list->findText(point));
        QTest::mouseClick(test::child<QPushButton>(dialog, "cmdStart"), Qt::LeftButton);
    });
}

} // namespace

class ScanWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // PC (71 to 240) is a big scan: the question, the start points 30 apart in a list that takes no
    // typing, the walk from 101 and the first Proceed question at 121; No ends it without a message.
    void bigScanWithStartPoint()
    {
        AssignWindow w(AssignMode::Scan);
        w.start();
        QStringList offered;
        startAt(QStringLiteral("101"), &offered);
        w.program.messenger.answer(MessageAnswer::Yes);
        w.program.messenger.answer(MessageAnswer::No);
        w.pick("cboEquipment", QStringLiteral("PC"));
        QTRY_COMPARE(w.program.messenger.count(), 2);
        QCOMPARE(offered, (QStringList{"71", "101", "131", "161", "191", "221"}));
        QCOMPARE(w.questions(), (QStringList{"Information", "Proceed ?"}));
        QVERIFY(w.program.messenger.shown()[0].text.contains(QStringLiteral("\tTotal to Scan : 170\r\n")));
        QCOMPARE(w.program.messenger.last().text, QStringLiteral("Proceed with 30 more ? ..."));
        QCOMPARE(w.pinger.addresses().first(), Prefix + QStringLiteral("101"));
        QVERIFY(!w.pinger.addresses().contains(Prefix + QStringLiteral("121")));
        const ScanMembers& scan = w.window->state().scan;
        QVERIFY(w.idle() && scan.ScanPosition == 0 && scan.ScanPhase == 1);
    }

    // A range of 30 or fewer addresses asks "Proceed with 30 more ? ..." as well, without the big-scan
    // question: 20 to 45 at 31, and a range from 0 at 1. No ends the walk quietly; nothing past the
    // question was pinged.
    void smallRangeAsksToProceed_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("askedAt");
        QTest::newRow("20 to 45") << 20 << 45 << 31;
        QTest::newRow("0 to 20") << 0 << 20 << 1;
    }
    void smallRangeAsksToProceed()
    {
        QFETCH(int, from);
        QFETCH(int, askedAt);
        AssignWindow w(AssignMode::Scan);
        QFETCH(int, to);
        w.exec(QStringLiteral("INSERT INTO Equipment VALUES ('Switch', 'SW', ?, ?)"), {from, to});
        w.start();
        QString shownAtQuestion;
        w.program.messenger.onMessage([&](const Message&) { shownAtQuestion = w.text("txtlblIPAddress"); });
        w.program.messenger.answer(MessageAnswer::No);
        w.pick("cboEquipment", QStringLiteral("Switch"));
        QTRY_COMPARE(w.program.messenger.count(), 1);
        QCOMPARE(w.questions(), QStringList{"Proceed ?"});
        QCOMPARE(shownAtQuestion, Prefix + QString::number(askedAt - 1));
        QStringList expected;
        for (int octet = from; octet < askedAt; ++octet)
            expected << Prefix + QString::number(octet);
        QStringList pinged = w.pinger.addresses();
        pinged.removeDuplicates();
        QCOMPARE(pinged, expected);
        const ScanMembers& scan = w.window->state().scan;
        QVERIFY(w.idle() && scan.ScanPosition == 0 && scan.ScanPhase == ScanPhaseAskAgain);
    }

    // An answering device: "    ?" while the address-in-use dialog is open, then a proposal for its
    // record. Saved with the in-use marker, the walk goes on at once after it and finds the next device.
    // "Subnet Mask 252" in a segmented place: the network and broadcast records are made first and
    // never pinged, the device's sequence number is its octet 4.
    void answeringDeviceIsProposed_data()
    {
        QTest::addColumn<QStringList>("place");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QList<int>>("devices");
        QTest::addColumn<QStringList>("fields"); // host name, work group, state, city
        QTest::newRow("equipment range") << test::inKedah() << "Printer" << Prefix << QList<int>{243, 246}
                                         << QStringList{"PRKLAMS03", "LAN", "Kedah", "Amstown"};
        QTest::newRow("segment, Subnet Mask 252")
            << test::inSegment("7") << SubnetMask252 << QStringLiteral("10.100.7.") << QList<int>{201, 205}
            << QStringList{"NW07ITDK1", "SEGMENT", "Headquarters", "IT Division"};
    }
    void answeringDeviceIsProposed()
    {
        QFETCH(QStringList, place);
        QFETCH(QString, prefix);
        QFETCH(QList<int>, devices);
        QFETCH(QStringList, fields);
        AssignWindow w(AssignMode::Scan);
        w.open();
        for (const int device : devices)
            w.pinger.answers(prefix + QString::number(device));
        QString noteDuringDialog;
        w.onAddressInUse = [&](AssignmentWindowLink& link) {
            noteDuringDialog = w.text("txtlblNamingConvention");
            link.markProposalInUse();
        };
        QFETCH(QString, item);
        if (item == SubnetMask252)
            startAt(QStringLiteral("180"));
        w.apply(place);
        QVERIFY(w.propose(item));
        const QString found = prefix + QString::number(devices[0]);
        QCOMPARE(w.inUseShown, QStringList{found});
        QCOMPARE(noteDuringDialog, QStringLiteral("    ?"));
        QCOMPARE(w.texts({"txtIPAddress", "txtlblIPAddress", "txtNamaPeralatan", "cboStatus", "cmdBatal"}),
                 (QStringList{found, found, item, "Permanent", "Cancel"}));
        QCOMPARE(w.texts({"txtKodPeralatan", "txtWorkGroup", "txtNegeri", "txtBandar"}), fields);
        QVERIFY(!w.enabled("cboEquipment") && w.enabled("cmdBatal") && w.enabled("cmdTutup"));
        const ScanMembers& scan = w.window->state().scan;
        QCOMPARE(scan.ScanPosition, devices[0] + 1);
        // Never a network (4k) or broadcast (4k + 3) record.
        for (const QString& address : w.pinger.addresses()) {
            const int octet = address.mid(prefix.size()).toInt();
            QVERIFY2(item != SubnetMask252 || octet % 4 == 1 || octet % 4 == 2, qPrintable(address));
        }

        const qsizetype before = w.pinger.calls.size();
        w.save();
        QTRY_COMPARE(w.text("txtIPAddress"), prefix + QString::number(devices[1]));
        QCOMPARE(w.pinger.calls.at(before).address, prefix + QString::number(devices[0] + 1));
        QCOMPARE(w.field(QStringLiteral("Name"), found), fields[0]);
        w.click("cmdBatal");
        QVERIFY(w.idle() && scan.ScanPosition == 0 && scan.ScanPhase == ScanPhaseAskAgain);
    }

    // Stop during the walk: the pings in flight are dropped, the walk ends with its message and its place
    // is reset.
    void stopEndsTheWalk()
    {
        AssignWindow w(AssignMode::Scan);
        w.pinger.setLatency(150);
        w.start();
        w.pick("cboEquipment", QStringLiteral("Printer"));
        QTRY_VERIFY(w.text("cmdBatal") == QStringLiteral("Stop") && w.enabled("cmdBatal"));
        QVERIFY(!w.enabled("cboEquipment") && !w.enabled("cmdTutup"));
        QVERIFY(!w.window->busyReason().isEmpty());
        w.click("cmdBatal");
        const qsizetype sent = w.pinger.calls.size();
        QTRY_COMPARE(w.program.messenger.count(), 1);
        QCOMPARE(w.program.messenger.last().text, QStringLiteral("Scan Network finished or Stopped !!!"));
        QCOMPARE(w.program.messenger.last().title, QStringLiteral("Finish"));
        const ScanMembers& scan = w.window->state().scan;
        QVERIFY(w.idle() && scan.ScanPosition == 0 && scan.ScanPhase == ScanPhaseAskAgain);
        QTest::qWait(400);
        QCOMPARE(w.pinger.calls.size(), sent);
    }
};

QTEST_MAIN(ScanWindowTest)
#include "ScanWindowTest.moc"
