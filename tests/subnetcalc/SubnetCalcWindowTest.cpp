#include "ScriptedMessenger.h"
#include "TestProgram.h"

#include "FakeNetwork.h"
#include "app/SubnetCalcWindows.h"
#include "app/WindowRegistration.h"
#include "core/WindowRegistry.h"
#include "subnetcalc/frmSubnetCal.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tarvo;

namespace {

const QString RangeMessage = QStringLiteral("Number must be between 0 - 255.\nPlease reenter number.");
const QString MaskMessage = QStringLiteral(
    "Number for mask must be:\n0, 128, 192, 224, 240, 248, 252, 254, or 255\nPlease reenter number.");

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// Types each character into whichever control has the focus at that moment, as a user does.
void type(const QString& keys)
{
    for (QChar key : keys)
        QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
}

} // namespace

class SubnetCalcWindowTest : public QObject
{
    Q_OBJECT
private:
    test::ScriptedMessenger m_messenger;
    std::unique_ptr<frmSubnetCal> m_window;

    QLineEdit* box(const QString& name) const { return m_window->findChild<QLineEdit*>(name); }
    QString label(const char* name) const
    {
        return m_window->findChild<QLabel*>(QLatin1String(name))->text();
    }
    QListView* list() const { return m_window->findChild<QListView*>(QStringLiteral("lstNetIDs")); }
    void click(const QString& name)
    {
        QTest::mouseClick(m_window->findChild<QWidget*>(name), Qt::LeftButton);
    }

    // Puts the octets into the boxes txtip0..3 or txtsm0..3.
    void fill(const QString& prefix, const QString& dotted)
    {
        const QStringList parts = dotted.split(QLatin1Char('.'));
        for (int i = 0; i < 4; ++i)
            box(prefix + QString::number(i))->setText(parts.at(i));
    }
    bool showsNoResult() const { return label("lblNetID").isEmpty() && list()->model()->rowCount() == 0; }

private Q_SLOTS:
    void init()
    {
        m_messenger.clear();
        m_window = std::make_unique<frmSubnetCal>(m_messenger);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void keyboardEntryAdvancesAndCalculates()
    {
        QCOMPARE(focusName(), QStringLiteral("txtip0"));
        QCOMPARE(box(QStringLiteral("txtsm2"))->text(), QStringLiteral("255"));
        QCOMPARE(box(QStringLiteral("txtsm3"))->text(), QStringLiteral("0"));
        QVERIFY(showsNoResult());

        type(QStringLiteral("1x"));
        QCOMPARE(box(QStringLiteral("txtip0"))->text(), QStringLiteral("1")); // digits only
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QCOMPARE(box(QStringLiteral("txtip0"))->text(), QStringLiteral("0")); // selected: "192" replaces it
        type(QStringLiteral("192"));
        QCOMPARE(focusName(), QStringLiteral("txtip1")); // three digits move on
        type(QStringLiteral("1681."));
        QCOMPARE(focusName(), QStringLiteral("txtip3")); // "." moves on and is not kept
        QCOMPARE(box(QStringLiteral("txtip2"))->text(), QStringLiteral("1"));
        type(QStringLiteral("130"));
        QCOMPARE(focusName(), QStringLiteral("txtsm0")); // from the last address box to the mask
        QVERIFY(box(QStringLiteral("txtsm0"))->hasSelectedText());
        type(QStringLiteral("255"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(focusName(), QStringLiteral("txtsm2")); // a full box moved on, then Enter
        type(QStringLiteral("255192"));
        QCOMPARE(focusName(), QStringLiteral("cmdCalculate"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);

        QVERIFY(m_messenger.isEmpty());
        QCOMPARE(label("lblNetID"), QStringLiteral("192.168.1.128/26"));
        QCOMPARE(label("lblclass"), QStringLiteral("C"));
        QCOMPARE(label("lbltype"), QStringLiteral("Reserved"));
        QCOMPARE(label("lblnumhosts"), QStringLiteral("62"));
        QCOMPARE(list()->model()->rowCount(), 4);
        QCOMPARE(list()->selectionModel()->selectedIndexes(), QModelIndexList{list()->model()->index(2, 0)});
        QCOMPARE(focusName(), QStringLiteral("txtip0"));

        // Another calculation replaces the list and selects its network's row, here the last of 128.
        fill(QStringLiteral("txtip"), QStringLiteral("10.0.0.255"));
        fill(QStringLiteral("txtsm"), QStringLiteral("255.255.255.254"));
        click(QStringLiteral("cmdCalculate"));
        QCOMPARE(label("lblnumhosts"), QStringLiteral("2"));
        QCOMPARE(list()->model()->rowCount(), 128);
        QCOMPARE(list()->selectionModel()->selectedIndexes(),
                 QModelIndexList{list()->model()->index(127, 0)});
    }

    // Typing into a box and then pressing a key (0: none); a mask octet is checked when a key leaves its
    // box, an address octet as it is typed.
    void keysInBoxes_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const char* start, const char* typed, int key,
                            const char* focus, const QString& message) {
            QTest::newRow(name) << start << typed << key << focus << message;
        };
        row("Enter on the last address box", "txtip3", "", Qt::Key_Enter, "txtsm0", {});
        row("'.' on the last mask box", "txtsm3", "", Qt::Key_Period, "txtsm0", {});
        row("Tab on the last mask box", "txtsm3", "", Qt::Key_Tab, "cmdCalculate", {});
        row("Tab after mask octet 100", "txtsm2", "100", Qt::Key_Tab, "txtsm2", MaskMessage);
        row("Enter after mask octet 100", "txtsm2", "100", Qt::Key_Return, "txtsm2", MaskMessage);
        row("address octet 300", "txtip0", "300", 0, "txtip0", RangeMessage);
    }
    void keysInBoxes()
    {
        QFETCH(QString, start);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, message);
        click(start);
        type(typed);
        if (focusName() != start)
            click(start); // a full box moved on without a check
        if (key != 0)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QTEST(focusName(), "focus");
        QCOMPARE(m_messenger.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty()) {
            QCOMPARE(m_messenger.last().title, QStringLiteral("Error"));
            QCOMPARE(box(start)->selectedText(), typed); // to be retyped
        }
    }

    // Dotted text typed from the first address box as users type it: the "." after a full octet, which
    // moved on by itself, does not move on once more.
    void typingDottedText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("focus");
        const auto row = [](const char* name, const char* typed, const char* address, const char* mask,
                            const char* focus) { QTest::newRow(name) << typed << address << mask << focus; };
        row("full octets", "192.168.1.130.255.255.255.192", "192.168.1.130", "255.255.255.192",
            "cmdCalculate");
        row("short octets", "10.1.2.3", "10.1.2.3", "255.255.255.0", "txtip3");
        row("both", "10.1.2.3.255.0.0.0", "10.1.2.3", "255.0.0.0", "txtsm3");
        row("a second '.' moves on", "192..5", "192.0.5.0", "255.255.255.0", "txtip2");
    }
    void typingDottedText()
    {
        QFETCH(QString, typed);
        type(typed);
        QStringList address;
        QStringList mask;
        for (int i = 0; i < 4; ++i) {
            address << box(QStringLiteral("txtip%1").arg(i))->text();
            mask << box(QStringLiteral("txtsm%1").arg(i))->text();
        }
        QTEST(address.join(QLatin1Char('.')), "address");
        QTEST(mask.join(QLatin1Char('.')), "mask");
        QTEST(focusName(), "focus");
        QVERIFY(m_messenger.isEmpty());
    }

    // The address is checked before the mask; the message names the problem and its box takes the focus.
    void calculateRefuses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const auto row = [](const char* address, const char* mask, const QString& message,
                            const char* focus) {
            QTest::addRow("%s/%s", address, mask) << address << mask << message << focus;
        };
        const QString noAddress = QStringLiteral("Please enter IP Address.");
        const auto gapped = [](const char* mask) {
            return QStringLiteral("Subnet mask %1 is not valid: its 1 bits must all come before its 0 bits.\n"
                                  "Please reenter number.")
                .arg(QLatin1String(mask));
        };
        row("0.0.0.0", "255.255.255.0", noAddress, "txtip0");
        row("00.0.000.0", "255.255.255.0", noAddress, "txtip0");
        row("256.1.1.1", "255.255.255.0", RangeMessage, "txtip0");
        row("1.1.1.999", "255.255.255.0", RangeMessage, "txtip3");
        row("1.1.a.1", "255.255.255.0", RangeMessage, "txtip2");
        row("1.300.1.1", "255.100.0.0", RangeMessage, "txtip1");
        row("1.1.1.1", "255.255.100.0", MaskMessage, "txtsm2");
        row("1.1.1.1", "255.255.255.1", MaskMessage, "txtsm3");
        row("1.1.1.1", "256.0.0.0", MaskMessage, "txtsm0");
        row("1.1.1.1", "255.0.255.0", gapped("255.0.255.0"), "txtsm2");
        row("1.1.1.1", "255.128.128.0", gapped("255.128.128.0"), "txtsm2");
        row("1.1.1.1", "0.255.255.255", gapped("0.255.255.255"), "txtsm1");
        row("1.1.1.1", "254.255.0.0", gapped("254.255.0.0"), "txtsm1");
        row("1.1.1.1", "255.255.0.255", gapped("255.255.0.255"), "txtsm3");
    }
    void calculateRefuses()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        QFETCH(QString, focus);
        fill(QStringLiteral("txtip"), address);
        fill(QStringLiteral("txtsm"), mask);
        m_messenger.clear();
        click(QStringLiteral("cmdCalculate"));
        QCOMPARE(m_messenger.count(), 1);
        QTEST(m_messenger.last().text, "message");
        QCOMPARE(focusName(), focus);
        QVERIFY(box(focus)->hasSelectedText());
        QVERIFY(showsNoResult());
    }

    void clicksSelectWholeOctet()
    {
        QLineEdit* second = box(QStringLiteral("txtsm1"));
        QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(second->width() - 4, second->height() / 2));
        QCOMPARE(second->selectedText(), QStringLiteral("255"));
        // A click on a frame beside its boxes goes to the frame's first box.
        for (const char* frameName : {"picSM", "picIP"}) {
            QWidget* frame = m_window->findChild<QWidget*>(QLatin1String(frameName));
            QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(frame->width() - 3, frame->height() / 2));
            QCOMPARE(focusName(), QLatin1String(frameName == QLatin1String("picSM") ? "txtsm0" : "txtip0"));
            QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget())->hasSelectedText());
        }
    }

    void mainWindowCommandOpensModalCalculator()
    {
        m_window.reset();
        test::TestProgram program(test::TestProgram::Setup::Empty);
        WindowRegistry registry;
        test::FakeNetwork network;
        app::AppServices services(program.context, registry, network.services());
        app::registerSubnetCalcWindows(services);
        QVERIFY(!registry.isChild(WindowCommand::SubnetCalculator));

        // Close ends the modal calculator.
        QWidget owner;
        QString opened;
        bool modal = false;
        QTimer::singleShot(0, &owner, [&] {
            auto* dialog = owner.findChild<QDialog*>();
            QVERIFY(dialog);
            opened = dialog->objectName();
            modal = dialog->isVisible() && QApplication::activeModalWidget() == dialog;
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdTutup")), Qt::LeftButton);
        });
        registry.dialog(WindowCommand::SubnetCalculator)(&owner);
        QCOMPARE(opened, QStringLiteral("frmSubnetCal"));
        QVERIFY(modal);
    }
};

QTEST_MAIN(SubnetCalcWindowTest)
#include "SubnetCalcWindowTest.moc"
