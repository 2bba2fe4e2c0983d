#include "RecordsTestKit.h"

#include "probe/AddressInUseDialog.h"
#include "records/DetailTabs.h"

#include <QDate>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include <optional>

using namespace tarvo;

namespace {

const QString Today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));

// The detail window of one record, opened from a search window that lists that record.
struct Detail : test::SearchKit
{
    explicit Detail(const QString& address)
    {
        openSearch();
        searchFor("Option1", "OptCarian1", address);
        window = detail();
        if (!window)
            qFatal("no detail window for %s", qPrintable(address));
        QApplication::setActiveWindow(window);
        if (!QTest::qWaitForWindowActive(window))
            qFatal("the detail window does not come up");
    }
    template <class T = QWidget>
    T* control(const char* name) const
    {
        return test::child<T>(window, name);
    }
    void tab(int index) const { control<QTabWidget>("SSTab1")->setCurrentIndex(index); }
    QString stored(const QString& column, const QString& address) const
    {
        return value(
            QStringLiteral("SELECT ifnull(%1, 'NULL') FROM IP_Info WHERE IP_Address = ?").arg(column),
            {address});
    }

    QPointer<frmMaklumatIP> window;
};

} // namespace

// The detail window: view and edit mode, Save and Delete of the row shown, the units of the owner
// place, "Live Info" on the fake probes, and the keyboard.
class DetailWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The window opens in view mode; Cancel of an edit keeps the record as stored.
    void viewModeAndCancel()
    {
        Detail d(QStringLiteral("10.1.11.5"));
        QCOMPARE(d.detailText("txtKodPeralatan"), QStringLiteral("PCKLAM01"));
        QCOMPARE(d.control<QPlainTextEdit>("txtRemarks")->toPlainText(), QStringLiteral("O'Brien's desk"));
        QCOMPARE(d.control<QComboBox>("cboStatus")->currentText(), StatusPermanent);
        QCOMPARE(d.control<QLabel>("lblNotaUpdate")->text(),
                 QStringLiteral("Last Update by Old on 01/01/2020"));
        for (const char* field : {"txtKodPeralatan", "txtRemarks", "txtTelefon", "cboStatus", "cmdLiveInfo"})
            QVERIFY2(!d.control(field)->isEnabled(), field);
        QCOMPARE(d.control<QPushButton>("cmdKemaskiniSimpan")->text(), QStringLiteral("Update"));

        d.press("cmdKemaskiniSimpan");
        test::type(d.window, "txtProject", QStringLiteral("Unsaved"));
        d.press("cmdHapus");
        QVERIFY(!d.window->isEditing());
        QCOMPARE(d.detailText("txtProject"), QStringLiteral("Unsaved"));
        QCOMPARE(d.stored("Project", "10.1.11.5"), QStringLiteral("NULL"));
        QVERIFY(d.program.messenger.isEmpty());
    }

    // A row gone since the search: the window says so and offers nothing to save, delete or probe.
    void recordNotFound()
    {
        test::SearchKit kit;
        kit.windows.showDetail(RecordSearch::row(999), kit.openSearch());
        QCOMPARE(kit.program.messenger.texts(), QStringList{"Record not found !"});
        for (const char* button : {"cmdKemaskiniSimpan", "cmdHapus", "cmdLiveInfo"})
            QVERIFY2(!test::child<QPushButton>(kit.detail(), button)->isEnabled(), button);
        QCOMPARE(test::child<QLabel>(kit.detail(), "lblNotaUpdate")->text(),
                 QStringLiteral("Kemaskini Oleh"));
    }

    // Save rewrites the date and the user, keeps an empty status and a unit the place no longer has
    // together with its postal address, and the search list shows the change.
    void saveKeepsEmptyStatusAndStoredUnit()
    {
        Detail d(QStringLiteral("10.1.11.6"));
        QCOMPARE(d.control<QComboBox>("cboStatus")->count(), 0);
        d.press("cmdKemaskiniSimpan");
        QCOMPARE(QApplication::focusWidget(), d.control("txtKodPeralatan"));
        QCOMPARE(d.control<QComboBox>("cboStatus")->count(), 2);
        test::type(d.window, "txtKodPeralatan", QStringLiteral("PCRENAMED"));
        d.tab(DetailTabs::UserDetailsTab);
        QCOMPARE(d.control<QComboBox>("cboUnitDivision")->currentIndex(), -1);
        QCOMPARE(d.control<QComboBox>("cboUnitDivision")->placeholderText(), QStringLiteral("Gone Unit"));
        QCOMPARE(d.detailText("txtTingkat"), QStringLiteral("Level 9"));

        d.press("cmdKemaskiniSimpan", MessageAnswer::Cancel);
        QVERIFY(d.window->isEditing());
        QCOMPARE(d.stored("Name", "10.1.11.6"), QStringLiteral("PCKLAM02"));
        d.press("cmdKemaskiniSimpan");
        QCOMPARE(d.program.messenger.last().text, QStringLiteral("Save record to Tarvo database ?"));
        QStringList stored;
        for (const char* column :
             {"Name", "Status", "UnitDivision", "Floor", "DateIssue", "InputBy", "StateOwner"})
            stored << d.stored(column, "10.1.11.6");
        QCOMPARE(stored,
                 QStringList({"PCRENAMED", "", "Gone Unit", "Level 9", Today, "Administrator", "Selangor"}));
        QVERIFY(!d.window->isEditing());
        QCOMPARE(d.control<QLabel>("lblNotaUpdate")->text(),
                 QStringLiteral("Last Update by Administrator on ") + Today);
        QVERIFY(d.listed(SearchResultModel::HostnameColumn).contains(QStringLiteral("PCRENAMED")));
        QCOMPARE(d.stored("Name", "10.1.11.5"), QStringLiteral("PCKLAM01"));
    }

    // The unit picker hands the owner place to the unit window; when it closes, the unit list is read
    // again and the chosen unit's current address shown. After Save the closing refills nothing.
    void unitPicker_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("hasState");
        QTest::newRow("state area") << "10.1.11.5" << true;
        QTest::newRow("segment area") << "20.5.7.1" << false;
    }
    void unitPicker()
    {
        QFETCH(QString, address);
        QFETCH(bool, hasState);
        Detail d(address);
        d.exec(QStringLiteral("INSERT INTO UnitDivision (UnitDivision, Floor, RegionOwner, CityOwner) "
                              "VALUES ('Lab', 'Level 1', 'Borneo', 'Kuching')"));
        QVERIFY(!d.control("PicUnitDivision")->isVisible());
        d.press("cmdKemaskiniSimpan");
        d.tab(DetailTabs::UserDetailsTab);
        QTest::mouseClick(d.control<QToolButton>("PicUnitDivision"), Qt::LeftButton);
        const UnitDivisionHandOver& handOver = d.program.context.unitDivisionHandOver();
        QCOMPARE(d.unitOpeners.size(), 1);
        QVERIFY(handOver.UnitDivFromInfo);
        QCOMPARE(handOver.OwnerHasState, hasState);
        QCOMPARE(handOver.OwnerState, hasState ? QStringLiteral("Selangor") : QString());
        QCOMPARE(handOver.OwnerCity, hasState ? QStringLiteral("Klang") : QStringLiteral("Kuching"));

        // In the unit window the user adds a unit and moves the record's own; then picks in the list.
        d.exec(QStringLiteral("UPDATE UnitDivision SET Floor = 'Level 5'"));
        d.unitWindowClosed();
        auto* units = d.control<QComboBox>("cboUnitDivision");
        QCOMPARE(units->currentText(), hasState ? QStringLiteral("IT Unit") : QString());
        QCOMPARE(d.detailText("txtTingkat"), hasState ? QStringLiteral("Level 5") : QString());
        units->setCurrentIndex(0);
        Q_EMIT units->activated(0);
        QCOMPARE(d.detailText("txtTingkat"), QStringLiteral("Level 5"));

        d.press("cmdKemaskiniSimpan");
        QVERIFY(!handOver.UnitDivFromInfo);
        d.exec(QStringLiteral("UPDATE UnitDivision SET Floor = 'Level 7'"));
        d.unitWindowClosed();
        QCOMPARE(d.detailText("txtTingkat"), QStringLiteral("Level 5"));
        QCOMPARE(d.stored("Floor", address), QStringLiteral("Level 5"));
    }

    // "Live Info" asks the fake probes about the shown address; closing the detail window closes it.
    void liveInfo()
    {
        Detail d(QStringLiteral("10.1.11.5"));
        d.press("cmdKemaskiniSimpan");
        d.press("cmdLiveInfo");
        d.press("cmdLiveInfo");                 // already open: only brought forward
        QCOMPARE(d.mainWindow.shown.size(), 2); // the detail window, then one live-device window
        auto* live = d.window->liveInfoWindow();
        QVERIFY(live && live->isVisible());
        QCOMPARE(d.probeState.UsedIPAddress, QStringLiteral("10.1.11.5"));
        QCOMPARE(d.probeState.UsedIPMessage, UsedIPMessageLiveInfo);
        QTRY_COMPARE(d.nodeStatus.queried, QStringList{"10.1.11.5"});
        QVERIFY(d.pinger.calls.isEmpty());
        d.press("cmdTutup");
        QVERIFY(!live->isVisible());
    }

    // Enter in the remarks shows "User Details" and moves on to the user name; Down and Up move too.
    void keyboard()
    {
        Detail d(QStringLiteral("10.1.11.5"));
        d.press("cmdKemaskiniSimpan");
        QTest::keyClick(d.control("txtKodPeralatan"), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), d.control("txtWorkGroup"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), d.control("txtNamaPeralatan"));
        d.control("txtRemarks")->setFocus();
        QTest::keyClick(d.control("txtRemarks"), Qt::Key_Return);
        QCOMPARE(d.control<QTabWidget>("SSTab1")->currentIndex(), int(DetailTabs::UserDetailsTab));
        QCOMPARE(QApplication::focusWidget(), d.control("txtNamaPengguna"));
        QCOMPARE(d.control<QPlainTextEdit>("txtRemarks")->toPlainText(), QStringLiteral("O'Brien's desk"));
    }
};

QTEST_MAIN(DetailWindowTest)
#include "DetailWindowTest.moc"
