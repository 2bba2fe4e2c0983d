#include "RecordsTestKit.h"

#include "core/DatabaseConnection.h"
#include "plan/frmUnitDivision.h"
#include "probe/AddressInUseDialog.h"
#include "records/DetailTabs.h"

#include <QDate>
#include <QHeaderView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

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

    QPointer<frmMaklumatIP> window;
};

} // namespace

// The search window: its text and location searches, the grid and its note, the Delete key, and what
// the detail window's save and delete make it do. The detail window: view and edit mode, Save and
// Delete of the row shown, the units of the owner place, "Live Info" on the fake probes, the keyboard.
class SearchWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Text searches of each kind and match option, and location searches; one row found shows its
    // record at once.
    void searches_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("message"); // empty: none
        const auto row = [](const char* name, const QStringList& steps, const QStringList& listed,
                            const QString& message = {}) {
            QTest::newRow(name) << steps << listed << message;
        };
        const QString tooShort =
            "The search term you specified (%1) is under the minimum word length (3) and "
            "therefore will not be found.\nPlease make this term longer.";
        row("address begins", {"Option1", "OptCarian2", "txtCarian=10.1.11."},
            {"10.1.11.5", "10.1.11.6", "10.1.11.7"});
        row("every temporary", {"Option1", "OptCarian5", "txtCarian=ALL"}, {"20.5.7.1", "10.1.11.7"});
        row("all in lower case is an address", {"Option1", "OptCarian5", "txtCarian=all"}, {},
            "There're no record with TEMPORARY status for IP Address all in Tarvo database.");
        row("address not recorded", {"Option1", "OptCarian1", "txtCarian=10.9.9.9"}, {},
            "There're no record with IP Address 10.9.9.9 in Tarvo database.");
        // Remarks clear "Exact Search"; back on the address kind an exact search runs, not the one before.
        row("address kind without option", {"Option5", "txtCarian=Printer", "Option1", "txtCarian=10.1.11"},
            {}, "There're no record with IP Address 10.1.11 in Tarvo database.");
        row("host name in another case", {"Option4", "txtCarian=pcklam02"}, {"10.1.11.6"});
        row("staff number not recorded", {"Option2", "txtCarian=S999"}, {},
            "There're no record with Staff No. S999 in Tarvo database.");
        row("remarks with a quote", {"Option5", "txtCarian=O'Brien"}, {"10.1.11.5"});
        row("remarks containing", {"Option5", "txtCarian=rint"}, {"20.5.7.1", "10.1.11.6", "10.1.11.7"});
        row("remarks: % matches itself", {"Option5", "txtCarian=50%"}, {},
            "There're no record with Remarks 50% in Tarvo database.");
        row("user name under three characters", {"Option6", "txtCarian=Si"}, {}, tooShort.arg("Si"));
        row("remarks under three characters", {"Option5", "txtCarian=Pr"}, {}, tooShort.arg("Pr"));
        row("no text", {"Option6", "txtCarian="}, {}, "Please enter data ... ");

        const QStringList selangor{"Option3", "OptCarian3", "cboRegion=Central", "cboState=Selangor"};
        row("offset 10 and work group 1", selangor + QStringList{"cboCity=Klang", "cboWorkGroup=Finance"},
            {"10.1.11.5", "10.1.11.6", "10.1.11.7"});
        row("offset 0 drops the work group",
            selangor + QStringList{"cboCity=Shah Alam", "cboWorkGroup=Admin"}, {"10.2.0.9", "10.2.0.10"});
        row("segment typed, city offset unused",
            {"Option3", "OptCarian3", "cboRegion=Borneo", "cboCity=Kuching", "txtSegment=7"}, {"20.5.7.1"});
        row("segment above 255",
            {"Option3", "OptCarian3", "cboRegion=Borneo", "cboCity=Kuching", "txtSegment=300"}, {},
            SearchText::BadSegment);
        row("nothing in the place",
            selangor.mid(0, 3) + QStringList{"cboState=Perak", "cboCity=Ipoh", "cboWorkGroup=Finance"}, {},
            SearchText::LocationNotFound);
        row("area and city, by address",
            {"Option3", "OptCarian4", "cboRegion=Central", "cboState=Selangor", "cboCity=Klang"},
            {"10.1.11.5", "10.1.11.6", "10.1.11.7", "10.1.12.5"});
    }
    void searches()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, listed);
        QFETCH(QString, message);
        test::SearchKit kit;
        test::follow(&kit.openSearch(), steps);
        QCOMPARE(kit.listed(), listed);
        QCOMPARE(kit.program.messenger.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!listed.isEmpty())
            QCOMPARE(kit.note(), resultNote(listed.size()));
        QCOMPARE(kit.detailShown(), listed.size() == 1);
        if (kit.detailShown())
            QCOMPARE(kit.detailText("txtIPAddress"), listed.first());
        // The address kind always shows a match option chosen: "Exact Search" where none was.
        const auto chosen = [&kit](const char* option) {
            return test::child<QRadioButton>(kit.search, option)->isChecked();
        };
        if (steps.contains("Option1"))
            QVERIFY(chosen("OptCarian1") || chosen("OptCarian2") || chosen("OptCarian5"));
    }

    // An area administrator sees only the own area, chosen, with its states listed.
    void areaAdministratorSeesOwnArea()
    {
        test::SearchKit kit(QStringLiteral("Central"));
        auto& window = kit.openSearch();
        for (const char* mode : {"OptCarian4", "OptCarian3"}) {
            test::click(&window, "Option3");
            test::click(&window, mode);
            auto* areas = test::child<QComboBox>(&window, "cboRegion");
            QCOMPARE(areas->count(), 1);
            QCOMPARE(areas->currentText(), QStringLiteral("Central"));
            QCOMPARE(test::child<QComboBox>(&window, "cboState")->count(), 2);
        }
    }

    // Rows 3 to 1 selected: one question about three records, No keeps them, Yes deletes the three and
    // the search runs again.
    void deleteKeyDeletesTheSelectedRows()
    {
        test::SearchKit kit;
        kit.openSearch();
        kit.searchFor("Option1", "OptCarian2", "10.1.");
        QCOMPARE(kit.listed(), QStringList({"10.1.11.5", "10.1.12.5", "10.1.11.6", "10.1.11.7"}));
        QTableView* grid = kit.grid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(2, 0)).center());
        QTest::keyClick(grid, Qt::Key_Up, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Up, Qt::ShiftModifier);
        kit.program.messenger.answer(MessageAnswer::No);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(kit.program.messenger.last().text,
                 QStringLiteral("Are you sure you want to deleted the selected 3 record(s)?"));
        QCOMPARE(kit.program.messenger.last().defaultAnswer, MessageAnswer::No);
        QCOMPARE(kit.count(), 7);

        kit.program.messenger.answer(MessageAnswer::Yes);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(kit.count(), 4);
        QCOMPARE(kit.value("SELECT group_concat(Name) FROM IP_Info WHERE IP_Address LIKE '10.1.%'"),
                 QStringLiteral("PCKLAM03"));
        QCOMPARE(kit.listed(), QStringList{"10.1.11.7"});
    }

    // 40,000 rows: the note counts them all; the grid lists the rest as it scrolls. Deleting them all
    // goes all or none: one refused keeps every row.
    void largeResult()
    {
        test::SearchKit kit;
        kit.exec(
            QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4, Name) WITH RECURSIVE n(i) AS (SELECT 0 "
                           "UNION ALL SELECT i + 1 FROM n WHERE i < 39999) SELECT '30.' || (i / 65536) || "
                           "'.' || (i / 256 % 256) || '.' || (i % 256), i % 256, 'PC' || i FROM n"));
        kit.openSearch();
        kit.searchFor("Option1", "OptCarian2", "30.");
        QTRY_COMPARE(kit.note(), resultNote(40000));
        // A part at a time: each scroll to the end lists the next part.
        QVERIFY(QTest::qWaitFor(
            [&kit] {
                kit.grid()->scrollToBottom();
                return kit.grid()->model()->rowCount() == 40000;
            },
            30000));
        QCOMPARE(kit.listed().last(), QStringLiteral("30.0.155.255")); // the last of octet 4 255

        // Row 1 clicked, the last one clicked with Shift; the row in the middle is refused.
        kit.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON IP_Info WHEN old.IP_Address = '%1' "
                                "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                     .arg(kit.listed().at(20000)));
        QTableView* grid = kit.grid();
        for (const int row : {0, 39999}) {
            grid->scrollTo(grid->model()->index(row, 0));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, row ? Qt::ShiftModifier : Qt::NoModifier,
                              grid->visualRect(grid->model()->index(row, 0)).center());
        }
        kit.program.messenger.answer(MessageAnswer::Yes);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(kit.program.messenger.shown().first().text,
                 QStringLiteral("Are you sure you want to deleted the selected 40000 record(s)?"));
        QVERIFY2(kit.program.messenger.last().text.contains(QStringLiteral("refused"), Qt::CaseInsensitive),
                 qPrintable(kit.program.messenger.last().text));
        QCOMPARE(kit.count(), 40007);
    }

    // The columns widen to a long host name and remark as the rows come, all within the grid; a column
    // the user widens keeps its width.
    void columnsFitTheirTexts()
    {
        test::SearchKit kit;
        const QString name = QStringLiteral("RSLSLHC1-PRINTER-07");
        const QString remark = QStringLiteral("First test of the grid");
        kit.addRecords({"IP_Address", "Name", "Remarks"}, {{"10.1.11.9", name, remark}});
        kit.openSearch();
        QHeaderView* header = kit.grid()->horizontalHeader();
        const QFontMetrics metrics(kit.grid()->font());
        QVERIFY(header->sectionSize(SearchResultModel::HostnameColumn) < metrics.horizontalAdvance(name));
        kit.searchFor("Option5", "", "test");
        QVERIFY(header->length() <= kit.grid()->viewport()->width());
        kit.search->resize(1000, kit.search->height());
        QVERIFY(header->sectionSize(SearchResultModel::HostnameColumn) > metrics.horizontalAdvance(name));
        QVERIFY(header->sectionSize(SearchResultModel::RemarksColumn) > metrics.horizontalAdvance(remark));

        // The user drags the right edge of the address column; a narrower window keeps that width.
        const int edge = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
        const int middle = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, {edge, middle});
        QTest::mouseMove(header->viewport(), {edge + 60, middle});
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, {edge + 60, middle});
        const int widened = header->sectionSize(0);
        QVERIFY(widened >= metrics.horizontalAdvance(QStringLiteral("10.1.11.9")) + 50);
        kit.search->resize(800, kit.search->height());
        QCOMPARE(header->sectionSize(0), widened);
    }

    // Short texts never make a column narrower than its own run of "X"; long ones still widen it.
    void columnsKeepTheirOwnWidths()
    {
        test::SearchKit kit;
        kit.addRecords({"IP_Address", "Name", "Type", "Username", "StaffNo", "Remarks"},
                       {{"1.1.1.1", "A", "B", "C", "1", "abc"}, {"1.1.1.2", "A", "B", "C", "1", "abc"}});
        kit.openSearch();
        kit.search->resize(1200, kit.search->height());
        kit.searchFor("Option5", "", "abc");
        QCOMPARE(kit.listed().size(), 2);
        QHeaderView* header = kit.grid()->horizontalHeader();
        const QFontMetrics metrics(kit.grid()->font());
        const auto run = [&metrics](int characters) {
            return metrics.horizontalAdvance(QString(characters, QLatin1Char('X')));
        };
        const int runs[] = {11, 10, 10, 10, 7, 12, 2};
        for (int column = 0; column < SearchResultModel::ColumnCount; ++column)
            QVERIFY2(header->sectionSize(column) >= run(runs[column]), qPrintable(QString::number(column)));

        kit.addRecords({"IP_Address", "Remarks"}, {{"1.1.1.3", "abc" + QString(20, QLatin1Char('X'))}});
        kit.searchFor("Option5", "", "abc");
        QCOMPARE(kit.listed().size(), 3);
        QVERIFY(header->sectionSize(SearchResultModel::RemarksColumn) > run(23));
    }

    // After the detail window deleted its record: a "Begin with" search or a location search runs
    // again and a single remaining row stays in the list; any other search leaves the list empty.
    void afterDeleteInTheDetailWindow_data()
    {
        QTest::addColumn<QStringList>("steps"); // steps that list two rows
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("listed"); // after the first row was deleted
        const QStringList byOctet4{"10.2.0.9", "10.2.0.10"};
        const QStringList place{"cboRegion=Central", "cboState=Selangor", "cboCity=Shah Alam"};
        QTest::newRow("begin with") << QStringList{"Option1", "OptCarian2", "txtCarian=10.2.0."} << byOctet4
                                    << QStringList{"10.2.0.10"};
        QTest::newRow("work group") << QStringList{"Option3", "OptCarian3"} + place +
                                           QStringList{"cboWorkGroup=Finance"}
                                    << byOctet4 << QStringList{"10.2.0.10"};
        QTest::newRow("city, by address") << QStringList{"Option3", "OptCarian4"} + place
                                          << QStringList{"10.2.0.10", "10.2.0.9"} << QStringList{"10.2.0.9"};
        QTest::newRow("staff number") << QStringList{"Option2", "txtCarian=S5"} << byOctet4 << QStringList{};
    }
    void afterDeleteInTheDetailWindow()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, before);
        QFETCH(QStringList, listed);
        test::SearchKit kit;
        kit.exec(QStringLiteral("UPDATE IP_Info SET StaffNo = 'S5' WHERE CityOwner = 'Shah Alam'"));
        test::follow(&kit.openSearch(), steps);
        QCOMPARE(kit.listed(), before);
        kit.doubleClickRow(0);
        QVERIFY(kit.detailShown());
        kit.program.messenger.answer(MessageAnswer::Ok);
        kit.press("cmdHapus");

        QCOMPARE(kit.program.messenger.last().text, QStringLiteral("Delete record from Tarvo database ?"));
        QCOMPARE(kit.value("SELECT count(*) FROM IP_Info WHERE CityOwner = 'Shah Alam'"),
                 QStringLiteral("1"));
        QVERIFY(!kit.detailShown());
        QCOMPARE(kit.listed(), listed);
        QCOMPARE(kit.note(), listed.isEmpty() ? QString() : resultNote(1));
        QCOMPARE(kit.program.messenger.count(), 1);
    }

    // Another request while the detail window is open shows the new record, unless the window holds an
    // edit. Rows belong to the database they were read from: after a change of it the grid runs its
    // search again and the detail window shows the record of its address there; an edit holds the
    // change off.
    void detailWindowKeepsToItsRecord()
    {
        test::SearchKit kit;
        const QString other = kit.program.path(QStringLiteral("other.mdb"));
        QVERIFY(kit.program.databaseService.copyTo(other));
        const QString connection = *openDatabaseFile(other);
        {
            // Gone before its connection is removed, which would otherwise still be in use.
            const QSqlDatabase db = QSqlDatabase::database(connection);
            for (const char* sql : {"DELETE FROM IP_Info WHERE IP_Address = '10.1.11.5'",
                                    "UPDATE IP_Info SET Name = 'OTHER' WHERE IP_Address = '10.1.11.6'",
                                    "INSERT INTO IP_Info (IP_Address, IP_4) VALUES ('10.1.11.9', 9)"})
                QVERIFY(execSql(db, QString::fromLatin1(sql)));
        }
        closeDatabaseFile(connection);
        kit.openSearch();
        kit.searchFor("Option1", "OptCarian2", "10.1.11.");
        kit.doubleClickRow(0);
        frmMaklumatIP* detail = kit.detail();
        kit.doubleClickRow(1);
        QCOMPARE(kit.detail(), detail);
        QCOMPARE(kit.detailText("txtIPAddress"), QStringLiteral("10.1.11.6"));
        kit.press("cmdKemaskiniSimpan");
        test::type(detail, "txtProject", QStringLiteral("typed"));
        kit.doubleClickRow(2);
        QCOMPARE(kit.detailText("txtIPAddress"), QStringLiteral("10.1.11.6"));
        QCOMPARE(kit.detailText("txtProject"), QStringLiteral("typed"));
        QVERIFY(!kit.program.databaseService.switchTo(other));
        kit.press("cmdHapus"); // Cancel

        QVERIFY(kit.program.databaseService.switchTo(other));
        QCOMPARE(kit.listed(), QStringList({"10.1.11.6", "10.1.11.7", "10.1.11.9"}));
        QCOMPARE(kit.detailText("txtKodPeralatan"), QStringLiteral("OTHER"));
    }

    // The detail window of a closed search window saves and deletes without bringing the search window
    // back.
    void closedSearchWindowIsNotCalledBack()
    {
        test::SearchKit kit;
        auto& window = kit.openSearch();
        kit.searchFor("Option1", "OptCarian2", "10.2.0.");
        kit.doubleClickRow(1);
        QTest::mouseClick(test::child<QPushButton>(&window, "cmdTutup"), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        kit.program.messenger.answer(MessageAnswer::Ok);
        kit.press("cmdKemaskiniSimpan");
        kit.press("cmdKemaskiniSimpan");
        QCOMPARE(kit.stored("InputBy", "10.2.0.10"), QStringLiteral("Administrator"));
        kit.program.messenger.answer(MessageAnswer::Ok);
        kit.press("cmdHapus");
        QCOMPARE(kit.count(), 6);
        QVERIFY(!window.isVisible());
        QVERIFY(kit.listed().size() == 2); // the closed window's list was not read again
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

    // Choosing "User Details", in view mode too, reads the record's units again and shows the current
    // address of its unit; a unit the place no longer has keeps the stored address.
    void userDetailsTabShowsTheUnitsAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("floor");
        QTest::newRow("unit of the place") << "10.1.11.5"
                                           << "Level 5";
        QTest::newRow("unit gone") << "10.1.11.6"
                                   << "Level 9";
    }
    void userDetailsTabShowsTheUnitsAddress()
    {
        QFETCH(QString, address);
        Detail d(address);
        d.exec(QStringLiteral("UPDATE UnitDivision SET Floor = 'Level 5'"));
        QTabBar* tabs = d.control<QTabWidget>("SSTab1")->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(DetailTabs::UserDetailsTab).center());
        QTEST(d.detailText("txtTingkat"), "floor");
    }

    // The unit picker opens the program's one unit window, placed over the main window; a later pick
    // brings it forward, opened again for the place of the record shown then, unless it holds an edit.
    void oneUnitWindow()
    {
        Detail d(QStringLiteral("10.1.11.5"));
        d.unitWindows.emplace(d.program.context);
        d.mainWindow.mainWidget()->setGeometry(40, 30, 900, 700);
        auto pickUnits = [&d] {
            d.press("cmdKemaskiniSimpan");
            d.tab(DetailTabs::UserDetailsTab);
            QTest::mouseClick(d.control<QToolButton>("PicUnitDivision"), Qt::LeftButton);
        };
        auto open = [] {
            QList<QWidget*> windows;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->objectName() == "frmUnitDivision" && window->isVisible())
                    windows << window;
            return windows;
        };
        pickUnits();
        const QPointer<frmUnitDivision> units = d.unitWindows->window();
        QVERIFY(units);
        QCOMPARE(test::child<QComboBox>(units, "cboCity")->currentText(), "Klang");
        const QRect frame = units->frameGeometry();
        QCOMPARE(frame.topLeft(),
                 QPoint(40 + (900 - frame.width()) / 2, 30 + qRound((700 * 0.885 - frame.height()) / 2)));

        d.press("cmdHapus"); // Cancel
        d.windows.showDetail(RecordSearch::of(RecordSearch::Kind::Address, "20.5.7.1"), *d.search);
        pickUnits();
        QCOMPARE(open(), QList<QWidget*>{units});
        QCOMPARE(test::child<QComboBox>(units, "cboCity")->currentText(), "Kuching");
        QCOMPARE(test::child<QListWidget>(units, "lstUnitDivision")->count(), 0);

        test::click(units, "cmdTambah");
        d.press("cmdHapus");
        d.windows.showDetail(RecordSearch::of(RecordSearch::Kind::Address, "10.1.11.5"), *d.search);
        pickUnits();
        QCOMPARE(open(), QList<QWidget*>{units});
        QVERIFY(units->isEditing());
        QCOMPARE(test::child<QComboBox>(units, "cboCity")->currentText(), "Kuching");
        delete units;
    }

    // The window opens in view mode. In edit mode Enter, Down and Up move between the boxes (Enter in
    // the remarks shows "User Details" first), "Live Info" asks the fake probes about the shown address,
    // and Cancel keeps the record as stored. Closing the window closes the live-device window.
    void viewEditAndCancel()
    {
        Detail d(QStringLiteral("10.1.11.5"));
        QCOMPARE(d.detailText("txtKodPeralatan"), QStringLiteral("PCKLAM01"));
        QCOMPARE(d.control<QComboBox>("cboStatus")->currentText(), StatusPermanent);
        QCOMPARE(d.control<QLabel>("lblNotaUpdate")->text(),
                 QStringLiteral("Last Update by Old on 01/01/2020"));
        for (const char* field : {"txtKodPeralatan", "txtRemarks", "txtTelefon", "cboStatus", "cmdLiveInfo"})
            QVERIFY2(!d.control(field)->isEnabled(), field);

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

        d.press("cmdLiveInfo");
        d.press("cmdLiveInfo");                 // already open: only brought forward
        QCOMPARE(d.mainWindow.shown.size(), 2); // the detail window, then one live-device window
        auto* live = d.window->liveInfoWindow();
        QVERIFY(live && live->isVisible());
        QCOMPARE(d.probeState.UsedIPAddress, QStringLiteral("10.1.11.5"));
        QCOMPARE(d.probeState.UsedIPMessage, UsedIPMessageLiveInfo);
        QTRY_COMPARE(d.nodeStatus.queried, QStringList{"10.1.11.5"});
        QVERIFY(d.pinger.calls.isEmpty());

        test::type(d.window, "txtProject", QStringLiteral("Unsaved"));
        d.press("cmdHapus");
        QVERIFY(!d.window->isEditing());
        QCOMPARE(d.detailText("txtProject"), QStringLiteral("Unsaved"));
        QCOMPARE(d.stored("Project", "10.1.11.5"), QStringLiteral("NULL"));
        QVERIFY(d.program.messenger.isEmpty());
        d.press("cmdTutup");
        QVERIFY(!live->isVisible());
    }
};

QTEST_MAIN(SearchWindowTest)
#include "SearchWindowTest.moc"
