// Scan mode of the assignment window, driven by the names of its controls: the big-scan question and
// the scan-range dialog, the Proceed question, the proposal for an answering device and the walk that
// resumes after its save, Stop. The fake pinger stands in for the network (the sample addresses are 10.x).

#include "AssignWindowKit.h"

#include <QtTest>

using namespace tarvo;
using test::AssignWindow;

namespace {

const QString Prefix = QStringLiteral("10.20.34.");

struct ScanWindow : AssignWindow
{
    ScanWindow() : AssignWindow(AssignMode::Scan)
    {
        withPlan();
        open();
    }
    const ScanMembers& members() const { return window->state().scan; }
    bool idle() const
    {
        return text("cmdBatal") == QStringLiteral("Cancel") && !enabled("cmdBatal") && enabled("cmdTutup") &&
               enabled("cboEquipment") && !enabled("cmdSave");
    }
};

} // namespace

class ScanWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // PC (71 to 240) is a big scan: the question, the start points 30 apart in a list that takes no
    // typing, the walk from 101 and the first Proceed question at 121; No ends it without a message.
    void bigScanWithStartPoint()
    {
        ScanWindow w;
        w.chooseStatePlace();
        QStringList offered;
        bool typable = true;
        test::whenModal(QStringLiteral("frmNetScanRange"), [&](QWidget* dialog) {
            auto* list = test::child<QComboBox>(dialog, "cboStartRange");
            typable = list->isEditable();
            for (int i = 0; i < list->count(); ++i)
                offered << list->itemText(i);
            list->setCurrentIndex(1);
            QTest::mouseClick(test::child<QPushButton>(dialog, "cmdStart"), Qt::LeftButton);
        });
        w.program.messenger.answer(MessageAnswer::Yes);
        w.program.messenger.answer(MessageAnswer::No);
        w.pick("cboEquipment", QStringLiteral("PC"));
        QTRY_COMPARE(w.program.messenger.count(), 2);
        QCOMPARE(offered, (QStringList{"71", "101", "131", "161", "191", "221"}));
        QVERIFY(!typable);
        const QList<Message>& shown = w.program.messenger.shown();
        QVERIFY(shown[0].text.contains(QStringLiteral("\tTotal to Scan : 170\r\n")));
        QCOMPARE(shown[0].title, QStringLiteral("Information"));
        QCOMPARE(shown[1].text, QStringLiteral("Proceed with 30 more ? ..."));
        QCOMPARE(shown[1].title, QStringLiteral("Proceed ?"));
        QCOMPARE(w.pinger.addresses().first(), Prefix + QStringLiteral("101"));
        QVERIFY(!w.pinger.addresses().contains(Prefix + QStringLiteral("121")));
        QVERIFY(w.idle());
        QCOMPARE(w.members().ScanPosition, 0);
        QCOMPARE(w.members().ScanPhase, 1);
    }

    // An answering device: "    ?" while the address-in-use dialog is open, then a proposal for its
    // record. Saved with the in-use marker, the walk goes on at once after it and finds the next device.
    // "Subnet Mask 252" in a segmented place: the network and broadcast records are made first and
    // never pinged, the device's sequence number is its octet 4.
    void answeringDeviceIsProposed_data()
    {
        QTest::addColumn<QStringList>("place"); // list:entry, or the typed segment
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QList<int>>("devices");
        QTest::addColumn<QStringList>("fields"); // host name, work group, state, city
        QTest::newRow("equipment range")
            << QStringList{"cboRegion:Central", "cboState:Kedah", "cboCity:Amstown", "cboWorkGroup:LAN"}
            << "Printer" << Prefix << QList<int>{243, 246}
            << QStringList{"PRKLAMS03", "LAN", "Kedah", "Amstown"};
        QTest::newRow("segment, Subnet Mask 252")
            << QStringList{"cboRegion:Headquarters", "cboCity:IT Division", "7"} << "Subnet Mask 252"
            << "10.100.7." << QList<int>{201, 205}
            << QStringList{"NW07ITDK1", "SEGMENT", "Headquarters", "IT Division"};
    }
    void answeringDeviceIsProposed()
    {
        QFETCH(QStringList, place);
        QFETCH(QString, prefix);
        QFETCH(QList<int>, devices);
        QFETCH(QStringList, fields);
        ScanWindow w;
        for (const int device : devices)
            w.pinger.answers(prefix + QString::number(device));
        QString noteDuringDialog;
        w.onAddressInUse = [&](AssignmentWindowLink& link) {
            noteDuringDialog = w.text("txtlblNamingConvention");
            link.markProposalInUse();
        };
        QFETCH(QString, item);
        if (item == SubnetMask252) {
            test::whenModal(QStringLiteral("frmNetScanRange"), [](QWidget* dialog) {
                auto* list = test::child<QComboBox>(dialog, "cboStartRange");
                list->setCurrentIndex(list->findText(QStringLiteral("180")));
                QTest::mouseClick(test::child<QPushButton>(dialog, "cmdStart"), Qt::LeftButton);
            });
        }
        for (const QString& step : place) {
            const QStringList parts = step.split(QLatin1Char(':'));
            if (parts.size() == 2)
                w.pick(qPrintable(parts[0]), parts[1]);
            else
                w.type("txtSegment", step);
        }
        QVERIFY(w.propose(item));
        const QString found = prefix + QString::number(devices[0]);
        QCOMPARE(w.inUseShown, QStringList{found});
        QCOMPARE(noteDuringDialog, QStringLiteral("    ?"));
        QCOMPARE((QStringList{w.text("txtIPAddress"), w.text("txtlblIPAddress"), w.text("txtNamaPeralatan"),
                              w.text("cboStatus"), w.text("cmdBatal")}),
                 (QStringList{found, found, item, "Permanent", "Cancel"}));
        QCOMPARE((QStringList{w.text("txtKodPeralatan"), w.text("txtWorkGroup"), w.text("txtNegeri"),
                              w.text("txtBandar")}),
                 fields);
        QVERIFY(!w.enabled("cboEquipment") && w.enabled("cmdBatal") && w.enabled("cmdTutup"));
        QCOMPARE(w.members().ScanPosition, devices[0] + 1);
        // Never a network (4k) or broadcast (4k + 3) record.
        for (const QString& address : w.pinger.addresses())
            QVERIFY2(item != SubnetMask252 || address.mid(prefix.size()).toInt() % 4 == 1 ||
                         address.mid(prefix.size()).toInt() % 4 == 2,
                     qPrintable(address));

        const qsizetype before = w.pinger.calls.size();
        w.save();
        QTRY_COMPARE(w.text("txtIPAddress"), prefix + QString::number(devices[1]));
        QCOMPARE(w.pinger.calls.at(before).address, prefix + QString::number(devices[0] + 1));
        QCOMPARE(w.value(QStringLiteral("SELECT Name FROM IP_Info WHERE IP_Address = '%1'").arg(found)),
                 fields[0]);
        w.click("cmdBatal");
        QVERIFY(w.idle());
        QCOMPARE(w.members().ScanPosition, 0);
        QCOMPARE(w.members().ScanPhase, ScanPhaseAskAgain);
    }

    // Stop during the walk: the pings in flight are dropped and the walk ends with its message.
    void stopEndsTheWalk()
    {
        ScanWindow w;
        w.pinger.setLatency(150);
        w.chooseStatePlace();
        w.pick("cboEquipment", QStringLiteral("Printer"));
        QTRY_VERIFY(w.text("cmdBatal") == QStringLiteral("Stop") && w.enabled("cmdBatal"));
        QVERIFY(!w.enabled("cboEquipment") && !w.enabled("cmdTutup"));
        QVERIFY(!w.window->busyReason().isEmpty());
        w.click("cmdBatal");
        const qsizetype sent = w.pinger.calls.size();
        QTRY_COMPARE(w.program.messenger.count(), 1);
        QCOMPARE(w.program.messenger.last().text, QStringLiteral("Scan Network finished or Stopped !!!"));
        QCOMPARE(w.program.messenger.last().title, QStringLiteral("Finish"));
        QVERIFY(w.idle());
        QCOMPARE(w.members().ScanPosition, 0);
        QTest::qWait(400);
        QCOMPARE(w.pinger.calls.size(), sent);
    }
};

QTEST_MAIN(ScanWindowTest)
#include "ScanWindowTest.moc"
