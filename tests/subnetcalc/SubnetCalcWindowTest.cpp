#include "ScriptedMessenger.h"
#include "TestProgram.h"

#include "FakePinger.h"
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

class SubnetCalcWindowTest : public QObject
{
    Q_OBJECT
private:
    test::ScriptedMessenger m_messenger;
    std::unique_ptr<frmSubnetCal> m_window;

    QLineEdit* box(const QString& name) const
    {
        auto* found = m_window->findChild<QLineEdit*>(name);
        if (!found)
            qFatal("no box %s", qPrintable(name));
        return found;
    }
    QString label(const QString& name) const { return m_window->findChild<QLabel*>(name)->text(); }
    QListView* list() const { return m_window->findChild<QListView*>(QStringLiteral("lstNetIDs")); }
    QString focusName() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

    // Types each character into whichever control has the focus at that moment, as a user does.
    static void type(const QString& keys)
    {
        for (QChar key : keys)
            QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
    }
    static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    void click(const QString& buttonName)
    {
        QTest::mouseClick(m_window->findChild<QPushButton*>(buttonName), Qt::LeftButton);
    }

    // Enters an address and a mask through the keyboard, from the address's first box on.
    void enter(const QString& address, const QString& mask)
    {
        QTest::mouseClick(box(QStringLiteral("txtip0")), Qt::LeftButton);
        for (const QString& octet : address.split(QLatin1Char('.')))
            type(octet + (octet.size() < 3 ? QStringLiteral(".") : QString()));
        QCOMPARE(focusName(), QStringLiteral("txtsm0"));
        for (const QString& octet : mask.split(QLatin1Char('.')))
            type(octet + (octet.size() < 3 ? QStringLiteral(".") : QString()));
    }

    int selectedRow() const
    {
        const QModelIndexList selected = list()->selectionModel()->selectedIndexes();
        return selected.size() == 1 ? selected.first().row() : -1;
    }

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

    void opensWithDesignTexts()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Subnet Calculator"));
        const QStringList address{"0", "0", "0", "0"};
        const QStringList mask{"255", "255", "255", "0"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(box(QStringLiteral("txtip%1").arg(i))->text(), address[i]);
            QCOMPARE(box(QStringLiteral("txtsm%1").arg(i))->text(), mask[i]);
        }
        for (const char* name : {"lblNetID", "lblclass", "lbltype", "lblnumhosts"})
            QVERIFY(label(QString::fromLatin1(name)).isEmpty());
        QCOMPARE(list()->model()->rowCount(), 0);
        QCOMPARE(focusName(), QStringLiteral("txtip0"));
    }

    void keyboardEntryAdvancesAndCalculates()
    {
        QTest::mouseClick(box(QStringLiteral("txtip0")), Qt::LeftButton);
        type(QStringLiteral("192"));
        QCOMPARE(focusName(), QStringLiteral("txtip1")); // three digits move on
        type(QStringLiteral("168"));
        type(QStringLiteral("1."));
        QCOMPARE(focusName(), QStringLiteral("txtip3")); // "." moves on and is not kept
        QCOMPARE(box(QStringLiteral("txtip2"))->text(), QStringLiteral("1"));
        type(QStringLiteral("130"));
        QCOMPARE(focusName(), QStringLiteral("txtsm0")); // from the last address box to the mask
        QVERIFY(box(QStringLiteral("txtsm0"))->hasSelectedText());
        type(QStringLiteral("255"));
        press(Qt::Key_Return);
        QCOMPARE(focusName(), QStringLiteral("txtsm2")); // a full box moved on, then Enter
        type(QStringLiteral("255"));
        type(QStringLiteral("192"));
        QCOMPARE(focusName(), QStringLiteral("cmdCalculate"));
        press(Qt::Key_Space);

        QVERIFY(m_messenger.isEmpty());
        QCOMPARE(label(QStringLiteral("lblNetID")), QStringLiteral("192.168.1.128/26"));
        QCOMPARE(label(QStringLiteral("lblclass")), QStringLiteral("C"));
        QCOMPARE(label(QStringLiteral("lbltype")), QStringLiteral("Reserved"));
        QCOMPARE(label(QStringLiteral("lblnumhosts")), QStringLiteral("62"));
        QCOMPARE(list()->model()->rowCount(), 4);
        QCOMPARE(list()->model()->index(2, 0).data().toString(),
                 QStringLiteral("192.168.1.128\t\t192.168.1.191"));
        QCOMPARE(selectedRow(), 2);
        QCOMPARE(focusName(), QStringLiteral("txtip0"));
    }

    void enterMovesFromLastAddressBoxToMask()
    {
        QTest::mouseClick(box(QStringLiteral("txtip3")), Qt::LeftButton);
        press(Qt::Key_Enter);
        QCOMPARE(focusName(), QStringLiteral("txtsm0"));
    }

    void maskKeysWrapAround()
    {
        QTest::mouseClick(box(QStringLiteral("txtsm3")), Qt::LeftButton);
        type(QStringLiteral("."));
        QCOMPARE(focusName(), QStringLiteral("txtsm0")); // "." on the last mask box goes back to the first
        QTest::mouseClick(box(QStringLiteral("txtsm3")), Qt::LeftButton);
        press(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("cmdCalculate")); // Tab leaves for the button
        QVERIFY(m_messenger.isEmpty());
    }

    void maskOctetCheckedOnKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Tab") << int(Qt::Key_Tab);
        QTest::newRow(".") << int(Qt::Key_Period);
        QTest::newRow("Enter") << int(Qt::Key_Return);
    }
    void maskOctetCheckedOnKeys()
    {
        QFETCH(int, key);
        QTest::mouseClick(box(QStringLiteral("txtsm2")), Qt::LeftButton);
        type(QStringLiteral("100"));
        QCOMPARE(focusName(), QStringLiteral("txtsm3")); // a full box moves on without a check
        QTest::mouseClick(box(QStringLiteral("txtsm2")), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));

        QCOMPARE(m_messenger.count(), 1);
        QCOMPARE(m_messenger.last().text,
                 QStringLiteral("Number for mask must be:\n0, 128, 192, 224, 240, 248, "
                                "252, 254, or 255\nPlease reenter number."));
        QCOMPARE(m_messenger.last().title, QStringLiteral("Error"));
        QCOMPARE(m_messenger.last().icon, MessageIcon::Information);
        QCOMPARE(focusName(), QStringLiteral("txtsm2"));
        QCOMPARE(box(QStringLiteral("txtsm2"))->selectedText(), QStringLiteral("100"));

        // "Calculate" refuses it again.
        box(QStringLiteral("txtip0"))->setText(QStringLiteral("10"));
        click(QStringLiteral("cmdCalculate"));
        QCOMPARE(m_messenger.count(), 2);
        QCOMPARE(m_messenger.last().text, m_messenger.shown().first().text);
        QCOMPARE(focusName(), QStringLiteral("txtsm2"));
        QVERIFY(label(QStringLiteral("lblNetID")).isEmpty());
    }

    void emptiedBoxShowsZero()
    {
        QTest::mouseClick(box(QStringLiteral("txtip1")), Qt::LeftButton);
        type(QStringLiteral("12"));
        press(Qt::Key_Backspace);
        press(Qt::Key_Backspace);
        QCOMPARE(box(QStringLiteral("txtip1"))->text(), QStringLiteral("0"));
        type(QStringLiteral("7"));
        QCOMPARE(box(QStringLiteral("txtip1"))->text(), QStringLiteral("7")); // the "0" was selected
        QTest::mouseClick(box(QStringLiteral("txtsm1")), Qt::LeftButton);
        press(Qt::Key_Delete);
        QCOMPARE(box(QStringLiteral("txtsm1"))->text(), QStringLiteral("0"));
    }

    void lettersCannotBeTyped()
    {
        QTest::mouseClick(box(QStringLiteral("txtip0")), Qt::LeftButton);
        type(QStringLiteral("1x2"));
        QCOMPARE(box(QStringLiteral("txtip0"))->text(), QStringLiteral("12"));
    }

    void addressOctetAbove255IsRefused()
    {
        QTest::mouseClick(box(QStringLiteral("txtip0")), Qt::LeftButton);
        type(QStringLiteral("300"));
        QCOMPARE(m_messenger.count(), 1);
        QCOMPARE(m_messenger.last().text,
                 QStringLiteral("Number must be between 0 - 255.\nPlease reenter number."));
        QCOMPARE(m_messenger.last().icon, MessageIcon::Information);
        QCOMPARE(focusName(), QStringLiteral("txtip0")); // stays to be retyped
        QCOMPARE(box(QStringLiteral("txtip0"))->selectedText(), QStringLiteral("300"));

        click(QStringLiteral("cmdCalculate"));
        QCOMPARE(m_messenger.count(), 2);
        QCOMPARE(m_messenger.last().text, m_messenger.shown().first().text);
        QCOMPARE(focusName(), QStringLiteral("txtip0"));
        QVERIFY(label(QStringLiteral("lblNetID")).isEmpty());
        QCOMPARE(list()->model()->rowCount(), 0);
    }

    void allZeroAddressIsRefused()
    {
        QTest::mouseClick(box(QStringLiteral("txtip1")), Qt::LeftButton);
        type(QStringLiteral("00"));
        QCOMPARE(box(QStringLiteral("txtip1"))->text(), QStringLiteral("00"));
        click(QStringLiteral("cmdCalculate"));
        QCOMPARE(m_messenger.count(), 1);
        QCOMPARE(m_messenger.last().text, QStringLiteral("Please enter IP Address."));
        QCOMPARE(m_messenger.last().title, QStringLiteral("Error"));
        QCOMPARE(m_messenger.last().icon, MessageIcon::Exclamation);
        QCOMPARE(focusName(), QStringLiteral("txtip0"));
        QVERIFY(box(QStringLiteral("txtip0"))->hasSelectedText());
    }

    void gappedMaskIsRefused()
    {
        enter(QStringLiteral("10.1.2.3"), QStringLiteral("255.0.255.0"));
        click(QStringLiteral("cmdCalculate"));
        QCOMPARE(m_messenger.count(), 1);
        QVERIFY(m_messenger.last().text.contains(QStringLiteral("255.0.255.0")));
        QCOMPARE(focusName(), QStringLiteral("txtsm2"));
        QVERIFY(label(QStringLiteral("lblNetID")).isEmpty());
        QCOMPARE(list()->model()->rowCount(), 0);
    }

    void networkRowSelected_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("selected");
        QTest::newRow("/2") << "64.1.2.3"
                            << "192.0.0.0" << 4 << 1;
        QTest::newRow("/31") << "10.0.0.255"
                             << "255.255.255.254" << 128 << 127;
        QTest::newRow("/32") << "10.0.0.9"
                             << "255.255.255.255" << 1 << 0;
        QTest::newRow("/0") << "10.0.0.9"
                            << "0.0.0.0" << 1 << 0;
    }
    void networkRowSelected()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        enter(address, mask);
        click(QStringLiteral("cmdCalculate"));
        QVERIFY(m_messenger.isEmpty());
        QTEST(list()->model()->rowCount(), "rows");
        QTEST(selectedRow(), "selected");
        QCOMPARE(list()->currentIndex().row(), selectedRow());
    }

    void recalculationReplacesList()
    {
        enter(QStringLiteral("192.168.1.130"), QStringLiteral("255.255.255.192"));
        click(QStringLiteral("cmdCalculate"));
        QCOMPARE(list()->model()->rowCount(), 4);
        enter(QStringLiteral("192.168.1.130"), QStringLiteral("255.255.255.0"));
        click(QStringLiteral("cmdCalculate"));
        QCOMPARE(list()->model()->rowCount(), 1);
        QCOMPARE(selectedRow(), 0);
        QCOMPARE(label(QStringLiteral("lblnumhosts")), QStringLiteral("254"));
    }

    void clicksSelectWholeOctet()
    {
        QLineEdit* second = box(QStringLiteral("txtsm1"));
        QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(second->width() - 4, second->height() / 2));
        QCOMPARE(second->selectedText(), QStringLiteral("255"));

        QWidget* frame = m_window->findChild<QWidget*>(QStringLiteral("picSM"));
        QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(frame->width() - 3, frame->height() / 2));
        QCOMPARE(focusName(), QStringLiteral("txtsm0"));
        frame = m_window->findChild<QWidget*>(QStringLiteral("picIP"));
        QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(frame->width() - 3, frame->height() / 2));
        QCOMPARE(focusName(), QStringLiteral("txtip0"));
        QVERIFY(box(QStringLiteral("txtip0"))->hasSelectedText());
    }

    void closeButtonClosesWindow()
    {
        click(QStringLiteral("cmdTutup"));
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->result(), int(QDialog::Rejected));
    }

    void mainWindowCommandOpensModalCalculator()
    {
        m_window.reset();
        test::TestProgram program(test::TestProgram::Setup::Empty);
        WindowRegistry registry;
        test::FakePinger pinger;
        app::AppServices services{program.context, registry, pinger, {}, nullptr};
        app::registerSubnetCalcWindows(services);
        QVERIFY(registry.has(WindowCommand::SubnetCalculator));
        QVERIFY(!registry.isChild(WindowCommand::SubnetCalculator));

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
