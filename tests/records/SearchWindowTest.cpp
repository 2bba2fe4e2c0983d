#include "SearchTestKit.h"

#include "core/DatabaseConnection.h"

#include <QPushButton>
#include <QRadioButton>

using namespace tarvo;

namespace {

const QString NotFoundTitle = QStringLiteral("Not Found");

} // namespace

// The search window: its text and location searches, the grid and its note, the detail window opened
// from it, the Delete key, and what the detail window's save and delete make it do.
class SearchWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void textSearches_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("message"); // empty: none
        const auto row = [](const char* name, const char* kind, const char* option, const QString& text,
                            const QStringList& listed, const QString& message = {}) {
            QTest::newRow(name) << kind << option << text << listed << message;
        };
        row("address begins", "Option1", "OptCarian2", "10.1.11.", {"10.1.11.5", "10.1.11.6", "10.1.11.7"});
        row("every temporary", "Option1", "OptCarian5", "ALL", {"20.5.7.1", "10.1.11.7"});
        row("all in lower case is an address", "Option1", "OptCarian5", "all", {},
            "There're no record with TEMPORARY status for IP Address all in Tarvo database.");
        row("address not recorded", "Option1", "OptCarian1", "10.9.9.9", {},
            "There're no record with IP Address 10.9.9.9 in Tarvo database.");
        row("host name in another case", "Option4", "", "pcklam02", {"10.1.11.6"});
        row("staff number not recorded", "Option2", "", "S999", {},
            "There're no record with Staff No. S999 in Tarvo database.");
        row("remarks with a quote", "Option5", "", "O'Brien", {"10.1.11.5"});
        row("remarks containing", "Option5", "", "rint", {"20.5.7.1", "10.1.11.6", "10.1.11.7"});
        row("remarks: % matches itself", "Option5", "", "50%", {},
            "There're no record with Remarks 50% in Tarvo database.");
        row("user name under three characters", "Option6", "", "Si", {},
            "The search term you specified (Si) is under the minimum word length (3) and therefore will "
            "not be found.\nPlease make this term longer.");
        row("remarks under three characters", "Option5", "", "Pr", {},
            "The search term you specified (Pr) is under the minimum word length (3) and therefore will "
            "not be found.\nPlease make this term longer.");
        row("no text", "Option6", "", "", {}, "Please enter data ... ");
    }
    void textSearches()
    {
        QFETCH(QString, kind);
        QFETCH(QString, option);
        QFETCH(QString, text);
        QFETCH(QStringList, listed);
        QFETCH(QString, message);
        test::RecordsKit kit;
        kit.openSearch();
        kit.searchFor(kind.toLatin1(), option.toLatin1(), text);

        QCOMPARE(kit.listed(), listed);
        QCOMPARE(kit.program.messenger.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!listed.isEmpty())
            QCOMPARE(kit.note(), resultNote(listed.size()));
        // One row found shows its record at once.
        QCOMPARE(kit.detailShown(), listed.size() == 1);
        if (kit.detailShown())
            QCOMPARE(test::child<QLineEdit>(kit.detail(), "txtIPAddress")->text(), listed.first());
    }

    // Remarks and user name clear "Exact Search"; back on the address kind an exact search runs, not the
    // search before.
    void addressKindWithoutOptionSearchesExactly()
    {
        test::RecordsKit kit;
        auto& window = kit.openSearch();
        kit.searchFor("Option5", "", "Printer");
        QCOMPARE(kit.listed().size(), 3);
        test::click(&window, "Option1");
        QVERIFY(test::child<QRadioButton>(&window, "OptCarian1")->isChecked());
        kit.searchFor("Option1", "", "10.1.11");
        QVERIFY(kit.listed().isEmpty());
        QCOMPARE(kit.program.messenger.last().text,
                 QStringLiteral("There're no record with IP Address 10.1.11 in Tarvo database."));
    }

    void locationSearches_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("picks"); // list=entry, or txtSegment=text
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("message");
        QTest::newRow("offset 10 and work group 1")
            << "OptCarian3"
            << QStringList{"cboRegion=Central", "cboState=Selangor", "cboCity=Klang", "cboWorkGroup=Finance"}
            << QStringList{"10.1.11.5", "10.1.11.6", "10.1.11.7"} << "";
        QTest::newRow("offset 0 drops the work group")
            << "OptCarian3"
            << QStringList{"cboRegion=Central", "cboState=Selangor", "cboCity=Shah Alam",
                           "cboWorkGroup=Admin"}
            << QStringList{"10.2.0.9", "10.2.0.10"} << "";
        QTest::newRow("segment typed, city offset unused")
            << "OptCarian3" << QStringList{"cboRegion=Borneo", "cboCity=Kuching", "txtSegment=7"}
            << QStringList{"20.5.7.1"} << "";
        QTest::newRow("segment above 255")
            << "OptCarian3" << QStringList{"cboRegion=Borneo", "cboCity=Kuching", "txtSegment=300"}
            << QStringList{} << SearchText::BadSegment;
        QTest::newRow("nothing in the place")
            << "OptCarian3"
            << QStringList{"cboRegion=Central", "cboState=Perak", "cboCity=Ipoh", "cboWorkGroup=Finance"}
            << QStringList{} << SearchText::LocationNotFound;
        QTest::newRow("area and city, by address")
            << "OptCarian4" << QStringList{"cboRegion=Central", "cboState=Selangor", "cboCity=Klang"}
            << QStringList{"10.1.11.5", "10.1.11.6", "10.1.11.7", "10.1.12.5"} << "";
    }
    void locationSearches()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, picks);
        QFETCH(QStringList, listed);
        QFETCH(QString, message);
        test::RecordsKit kit;
        auto& window = kit.openSearch();
        test::click(&window, "Option3");
        test::click(&window, mode.toLatin1());
        for (const QString& step : picks) {
            const QByteArray control = step.section('=', 0, 0).toLatin1();
            if (control == "txtSegment") {
                test::type(&window, control, step.section('=', 1));
                QTest::keyClick(test::child<QLineEdit>(&window, control), Qt::Key_Return);
            } else {
                kit.pick(control, step.section('=', 1));
            }
        }
        QCOMPARE(kit.listed(), listed);
        QCOMPARE(kit.program.messenger.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(kit.detailShown(), listed.size() == 1);
    }

    // An area administrator sees only the own area, chosen, with its states listed.
    void areaAdministratorSeesOwnArea()
    {
        test::RecordsKit kit(QStringLiteral("Central"));
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
        test::RecordsKit kit;
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

    // 40,000 rows: the note counts them all; the grid lists the rest as it scrolls.
    void largeResult()
    {
        test::RecordsKit kit;
        kit.exec(
            QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4, Name) WITH RECURSIVE n(i) AS (SELECT 0 "
                           "UNION ALL SELECT i + 1 FROM n WHERE i < 39999) SELECT '30.' || (i / 65536) || "
                           "'.' || (i / 256 % 256) || '.' || (i % 256), i % 256, 'PC' || i FROM n"));
        kit.openSearch();
        kit.searchFor("Option1", "OptCarian2", "30.");
        QTRY_COMPARE(kit.note(), resultNote(40000));
        kit.grid()->scrollToBottom();
        QTRY_COMPARE(kit.grid()->model()->rowCount(), 40000);
        QCOMPARE(kit.listed().last(), QStringLiteral("30.0.155.255")); // the last of octet 4 255
    }

    // After the detail window deleted its record: a "Begin with" search or a location search runs
    // again and a single remaining row stays in the list; any other search leaves the list empty.
    void afterDeleteInTheDetailWindow_data()
    {
        QTest::addColumn<QStringList>("steps"); // options, text= and list= steps that list two rows
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
        test::RecordsKit kit;
        kit.exec(QStringLiteral("UPDATE IP_Info SET StaffNo = 'S5' WHERE CityOwner = 'Shah Alam'"));
        auto& window = kit.openSearch();
        for (const QString& step : steps) {
            const QByteArray control = step.section('=', 0, 0).toLatin1();
            if (!step.contains('='))
                test::click(&window, control);
            else if (control == "txtCarian")
                kit.searchFor("", "", step.section('=', 1));
            else
                kit.pick(control, step.section('=', 1));
        }
        QCOMPARE(kit.listed(), before);
        kit.doubleClickRow(0);
        QVERIFY(kit.detailShown());
        kit.program.messenger.answer(MessageAnswer::Ok);
        QTest::mouseClick(test::child<QPushButton>(kit.detail(), "cmdHapus"), Qt::LeftButton);

        QCOMPARE(kit.program.messenger.last().text, QStringLiteral("Delete record from Tarvo database ?"));
        QCOMPARE(kit.value("SELECT count(*) FROM IP_Info WHERE CityOwner = 'Shah Alam'"),
                 QStringLiteral("1"));
        QVERIFY(!kit.detailShown());
        QCOMPARE(kit.listed(), listed);
        QCOMPARE(kit.note(), listed.isEmpty() ? QString() : resultNote(1));
        QCOMPARE(kit.program.messenger.count(), 1);
    }

    // Another request while the detail window is open: it shows the new record, unless it holds an edit.
    void secondRequestToTheDetailWindow()
    {
        test::RecordsKit kit;
        kit.openSearch();
        kit.searchFor("Option1", "OptCarian2", "10.1.11.");
        kit.doubleClickRow(0);
        frmMaklumatIP* detail = kit.detail();
        kit.doubleClickRow(1);
        QCOMPARE(kit.detail(), detail);
        QCOMPARE(test::child<QLineEdit>(detail, "txtIPAddress")->text(), QStringLiteral("10.1.11.6"));
        QTest::mouseClick(test::child<QPushButton>(detail, "cmdKemaskiniSimpan"), Qt::LeftButton);
        test::type(detail, "txtProject", QStringLiteral("typed"));
        kit.doubleClickRow(2);
        QCOMPARE(test::child<QLineEdit>(detail, "txtIPAddress")->text(), QStringLiteral("10.1.11.6"));
        QCOMPARE(test::child<QLineEdit>(detail, "txtProject")->text(), QStringLiteral("typed"));
    }

    // Rows belong to the database they were read from: after a change of it the grid runs its search
    // again and the detail window shows the record of its address there. An edit holds the change off.
    void databaseChangeReadsAgain()
    {
        test::RecordsKit kit;
        const QString other = kit.program.path(QStringLiteral("other.mdb"));
        QVERIFY(kit.program.databaseService.copyTo(other));
        {
            const QString connection = *openDatabaseFile(other);
            const QSqlDatabase db = QSqlDatabase::database(connection);
            QVERIFY(execSql(db, QStringLiteral("DELETE FROM IP_Info WHERE IP_Address = '10.1.11.5'")));
            QVERIFY(execSql(
                db, QStringLiteral("UPDATE IP_Info SET Name = 'OTHER' WHERE IP_Address = '10.1.11.6'")));
            QVERIFY(execSql(
                db, QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4) VALUES ('10.1.11.9', 9)")));
            closeDatabaseFile(connection);
        }
        kit.openSearch();
        kit.searchFor("Option1", "OptCarian2", "10.1.11.");
        kit.doubleClickRow(1);
        QTest::mouseClick(test::child<QPushButton>(kit.detail(), "cmdKemaskiniSimpan"), Qt::LeftButton);
        QVERIFY(!kit.program.databaseService.switchTo(other));
        QTest::mouseClick(test::child<QPushButton>(kit.detail(), "cmdHapus"), Qt::LeftButton); // Cancel

        QVERIFY(kit.program.databaseService.switchTo(other));
        QCOMPARE(kit.listed(), QStringList({"10.1.11.6", "10.1.11.7", "10.1.11.9"}));
        QCOMPARE(test::child<QLineEdit>(kit.detail(), "txtKodPeralatan")->text(), QStringLiteral("OTHER"));
    }

    // The detail window of a closed search window saves and deletes without bringing the search window
    // back.
    void closedSearchWindowIsNotCalledBack()
    {
        test::RecordsKit kit;
        auto& window = kit.openSearch();
        kit.searchFor("Option1", "OptCarian2", "10.2.0.");
        kit.doubleClickRow(1);
        QTest::mouseClick(test::child<QPushButton>(&window, "cmdTutup"), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        const auto press = [&kit](const char* button) {
            QTest::mouseClick(test::child<QPushButton>(kit.detail(), button), Qt::LeftButton);
        };
        kit.program.messenger.answer(MessageAnswer::Ok);
        press("cmdKemaskiniSimpan");
        press("cmdKemaskiniSimpan");
        QCOMPARE(kit.value("SELECT InputBy FROM IP_Info WHERE IP_Address = '10.2.0.10'"),
                 QStringLiteral("Administrator"));
        kit.program.messenger.answer(MessageAnswer::Ok);
        press("cmdHapus");
        QCOMPARE(kit.count(), 6);
        QVERIFY(!window.isVisible());
        QVERIFY(kit.listed().size() == 2); // the closed window's list was not read again
    }
};

QTEST_MAIN(SearchWindowTest)
#include "SearchWindowTest.moc"
