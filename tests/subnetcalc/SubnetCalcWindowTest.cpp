#include "ScriptedMessenger.h"
#include "TestProgram.h"

#include "FakeNetwork.h"
#include "app/SubnetCalcWindows.h"
#include "app/WindowRegistration.h"
#include "core/WindowRegistry.h"
#include "subnetcalc/frmSubnetCal.h"

#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {

const QString RangeMessage = u"Number must be between 0 - 255.\nPlease reenter number."_s;
const QString MaskMessage =
    u"Number for mask must be:\n0, 128, 192, 224, 240, 248, 252, 254, or 255\nPlease reenter number."_s;

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

} // namespace

class SubnetCalcWindowTest : public QObject
{
    Q_OBJECT
private:
    test::ScriptedMessenger m_messenger;
    std::unique_ptr<frmSubnetCal> m_window;

    QLineEdit* box(const QString& name) const { return m_window->findChild<QLineEdit*>(name); }
    QString label(const QString& name) const { return m_window->findChild<QLabel*>(name)->text(); }
    QAbstractItemModel* list() const { return m_window->findChild<QListView*>(u"lstNetIDs"_s)->model(); }
    int selectedRow() const
    {
        const QModelIndexList rows =
            m_window->findChild<QListView*>(u"lstNetIDs"_s)->selectionModel()->selectedIndexes();
        return rows.size() == 1 ? rows.constFirst().row() : -1;
    }
    void click(const QString& name)
    {
        QTest::mouseClick(m_window->findChild<QWidget*>(name), Qt::LeftButton);
    }

    // Types each character into whichever control has the focus at that moment, as a user does: "\t",
    // "\r", "\n" and "\b" stand for Tab, Return, Enter and Backspace, "^" for a click back into the box.
    void type(const QString& keys, const QString& box = {})
    {
        static const QHash<QChar, Qt::Key> named = {{u'\t', Qt::Key_Tab},
                                                    {u'\r', Qt::Key_Return},
                                                    {u'\n', Qt::Key_Enter},
                                                    {u'\b', Qt::Key_Backspace}};
        for (QChar key : keys) {
            if (key == u'^')
                click(box);
            else if (named.contains(key))
                QTest::keyClick(QApplication::focusWidget(), named.value(key));
            else
                QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
        }
    }
    // The boxes txtip0..3 or txtsm0..3 as dotted text, after putting the octets of dotted into them.
    QString octets(const QString& prefix, const QString& dotted = {})
    {
        const QStringList parts = dotted.split(u'.');
        QStringList texts;
        for (int i = 0; i < 4; ++i) {
            QLineEdit* octet = box(prefix + QString::number(i));
            if (parts.size() == 4)
                octet->setText(parts.at(i));
            texts << octet->text();
        }
        return texts.join(u'.');
    }
    bool showsNoResult() const { return label(u"lblNetID"_s).isEmpty() && list()->rowCount() == 0; }

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

    void calculationShowsTheResultAndSelectsTheNetworksRow()
    {
        QCOMPARE(focusName(), u"txtip0"_s);
        QCOMPARE(octets(u"txtsm"_s), u"255.255.255.0"_s);
        QVERIFY(showsNoResult());
        octets(u"txtip"_s, u"192.168.1.130"_s);
        octets(u"txtsm"_s, u"255.255.255.192"_s);
        click(u"cmdCalculate"_s);
        QVERIFY(m_messenger.isEmpty());
        const QStringList shown = {label(u"lblNetID"_s), label(u"lblclass"_s), label(u"lbltype"_s),
                                   label(u"lblnumhosts"_s)};
        QCOMPARE(shown, (QStringList{u"192.168.1.128/26"_s, u"C"_s, u"Reserved"_s, u"62"_s}));
        QCOMPARE(list()->rowCount(), 4);
        QCOMPARE(selectedRow(), 2);
        QCOMPARE(focusName(), u"txtip0"_s);

        // Another calculation replaces the list and selects its network's row, here the last of 128.
        octets(u"txtip"_s, u"10.0.0.255"_s);
        octets(u"txtsm"_s, u"255.255.255.254"_s);
        click(u"cmdCalculate"_s);
        QCOMPARE(label(u"lblnumhosts"_s), u"2"_s);
        QCOMPARE(list()->rowCount(), 128);
        QCOMPARE(selectedRow(), 127);
    }

    // Keys typed from a box. Boxes take digits only, and an emptied box reads 0, selected. Three digits or
    // ".", Return and Enter move on; the last address box leads to the mask. A mask octet is checked when
    // a key leaves its box, an address octet as it is typed. The "." typed after a full octet, which moved
    // on by itself, does not move on once more.
    void keysInBoxes_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("entered"); // the address and mask boxes afterwards; "" unchecked
        const auto row = [](const char* name, const char* start, const char* typed, const char* focus,
                            const QString& message, const char* entered) {
            QTest::newRow(name) << start << typed << focus << message << entered;
        };
        row("Enter on the last address box", "txtip3", "\n", "txtsm0", {}, "");
        row("'.' on the last mask box", "txtsm3", ".", "txtsm0", {}, "");
        row("Tab on the last mask box", "txtsm3", "\t", "cmdCalculate", {}, "");
        // A full box moves on without a check.
        row("Tab after mask octet 100", "txtsm2", "100^\t", "txtsm2", MaskMessage, "");
        row("Enter after mask octet 100", "txtsm2", "100^\r", "txtsm2", MaskMessage, "");
        row("address octet 300", "txtip0", "300", "txtip0", RangeMessage, "");
        row("corrections, Return after a full octet", "txtip0", "1x\b1921681.130255\r255192", "cmdCalculate",
            {}, "192.168.1.130/255.255.255.192");
        row("full octets", "txtip0", "192.168.1.130.255.255.255.192", "cmdCalculate", {},
            "192.168.1.130/255.255.255.192");
        row("short octets", "txtip0", "10.1.2.3", "txtip3", {}, "10.1.2.3/255.255.255.0");
        row("both", "txtip0", "10.1.2.3.255.0.0.0", "txtsm3", {}, "10.1.2.3/255.0.0.0");
        row("a second '.' moves on", "txtip0", "192..5", "txtip2", {}, "192.0.5.0/255.255.255.0");
    }
    void keysInBoxes()
    {
        QFETCH(QString, start);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, entered);
        click(start);
        type(typed, start);
        QTEST(focusName(), "focus");
        QCOMPARE(m_messenger.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty()) {
            QCOMPARE(m_messenger.last().title, u"Error"_s);
            QCOMPARE(box(start)->selectedText(), box(start)->text()); // to be retyped
        }
        if (!entered.isEmpty())
            QCOMPARE(octets(u"txtip"_s) + u'/' + octets(u"txtsm"_s), entered);
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
        const QString noAddress = u"Please enter IP Address."_s;
        const auto gapped = [](const char* mask) {
            return u"Subnet mask %1 is not valid: its 1 bits must all come before its 0 bits.\n"
                   "Please reenter number."_s.arg(QLatin1String(mask));
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
        row("1.1.1.1", "0.255.255.255", gapped("0.255.255.255"), "txtsm1");
        row("1.1.1.1", "255.255.0.255", gapped("255.255.0.255"), "txtsm3");
    }
    void calculateRefuses()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        QFETCH(QString, focus);
        octets(u"txtip"_s, address);
        octets(u"txtsm"_s, mask);
        m_messenger.clear(); // of the range message a typed octet got
        click(u"cmdCalculate"_s);
        QCOMPARE(m_messenger.count(), 1);
        QTEST(m_messenger.last().text, "message");
        QCOMPARE(focusName(), focus);
        QVERIFY(box(focus)->hasSelectedText());
        QVERIFY(showsNoResult());
    }

    void clicksSelectWholeOctet()
    {
        QLineEdit* second = box(u"txtsm1"_s);
        QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(second->width() - 4, second->height() / 2));
        QCOMPARE(second->selectedText(), u"255"_s);
        // A click on a frame beside its boxes goes to the frame's first box.
        for (const QString& frameName : {u"picSM"_s, u"picIP"_s}) {
            QWidget* frame = m_window->findChild<QWidget*>(frameName);
            QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(frame->width() - 3, frame->height() / 2));
            QCOMPARE(focusName(), frameName == u"picSM" ? u"txtsm0"_s : u"txtip0"_s);
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
        QTimer::singleShot(0, &owner, [&] {
            auto* dialog = owner.findChild<QDialog*>();
            QVERIFY(dialog);
            if (dialog->isVisible() && QApplication::activeModalWidget() == dialog)
                opened = dialog->objectName();
            QTest::mouseClick(dialog->findChild<QPushButton*>(u"cmdTutup"_s), Qt::LeftButton);
        });
        registry.dialog(WindowCommand::SubnetCalculator)(&owner);
        QCOMPARE(opened, u"frmSubnetCal"_s); // shown as a modal dialog
    }
};

QTEST_MAIN(SubnetCalcWindowTest)
#include "SubnetCalcWindowTest.moc"
