// The commands that switch or replace the live database, with typed edits open in the program's real
// windows: every window with an unsaved edit is asked about before any window closes.

#include "FakeNetwork.h"
#include "ModalDialogs.h"
#include "TestProgram.h"
#include "UserFolders.h"
#include "WidgetDriver.h"

#include "app/WindowRegistration.h"
#include "core/MDIFrmUtama.h"
#include "core/Sql.h"

#include <QAction>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

using namespace tarvo;
using namespace Qt::StringLiterals;
using test::child;

namespace {

const QString Settings = u"IP Address Settings"_s;
const QString Details = u"IP Address Details ..."_s;
const QString Units = u"Unit / Division Setting"_s;
const QString Accounts = u"Tarvo User ..."_s;

// The main window with every real window registered, on fake network services, an administrator signed
// in, and a second database (for Change Directory) and a backup copy (for Restore) whose administrator
// is named apart from the live one's.
struct Rig
{
    Rig()
    {
        test::quietOffscreenNotes();
        p.context.WriteINI(u"Database"_s, u"DatabaseLocation"_s, p.folder());
        p.context.WriteINI(u"Backup"_s, u"BackupLocation"_s, backups.path());
        p.context.WriteINI(u"Network"_s, u"SMTP"_s, u"127.0.0.1"_s);
        app::registerAllWindows(services);
        window = std::make_unique<MDIFrmUtama>(p.context, registry, nullptr);
        services.mainWindow.setTarget(window.get());
        if (!window->start())
            qFatal("the main window does not start");
        p.signInAs(u"admin"_s, u"Administrator"_s, GroupSistem);
        window->setUserAccountsEnabled(true);
        for (const QString& path : {other(), backups.filePath(u"TarvoKestreldb.mdb"_s)}) {
            p.createDatabase(path);
            const QString name = *openDatabaseFile(path);
            if (!execSql(QSqlDatabase::database(name, false), u"UPDATE UserID SET Name = 'Elsewhere'"_s))
                qFatal("cannot mark %s", qPrintable(path));
            closeDatabaseFile(name);
        }
    }

    QString other() const { return elsewhere.filePath(DatabaseFileName); }
    QString adminName() const
    {
        return querySingleValue(p.database.handle(), u"SELECT Name FROM UserID"_s)->toString();
    }
    void trigger(const char* item) { window->findChild<QAction*>(QLatin1String(item))->trigger(); }
    QWidget* shown(const char* name) const { return window->findChild<QWidget*>(QLatin1String(name)); }

    // The City page of the settings window, "IT Division" being updated to a typed name.
    QLineEdit* editCity()
    {
        trigger("mnuIPAddressSetting");
        QWidget* settings = shown("frmIPAddressSettings");
        child<QTabWidget>(settings, "SSTabSetting")->setCurrentIndex(2);
        test::pick(settings, "cboRegionCity", u"Headquarters"_s);
        auto* list = child<QListWidget>(settings, "lstBandarCity");
        QListWidgetItem* city = list->findItems(u"IT Division"_s, Qt::MatchExactly).value(0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(city).center());
        test::click(settings, "cmdKemaskiniCity");
        test::type(settings, "txtBandar", u"Typed City"_s);
        return child<QLineEdit>(settings, "txtBandar");
    }

    // A record's detail window in its edit, and the unit window it opened with a unit being added.
    QLineEdit* editUnit()
    {
        if (!execSql(p.database.handle(), u"INSERT INTO IP_Info (IP_Address, IP_4, Name, Region, CityOwner) "
                                          "VALUES ('10.100.0.5', 5, 'PC1', 'Headquarters', 'IT Division')"_s))
            qFatal("cannot add the record");
        trigger("mnuCarianRekod");
        auto* search = child<QLineEdit>(shown("frmCarian"), "txtCarian");
        QTest::keyClicks(search, u"10.100.0.5"_s);
        QTest::keyClick(search, Qt::Key_Return);
        QWidget* detail = shown("frmMaklumatIP");
        test::click(detail, "cmdKemaskiniSimpan");
        test::click(detail, "PicUnitDivision");
        QWidget* units = shown("frmUnitDivision");
        test::click(units, "cmdTambah");
        test::type(units, "txtUnitDivision", u"Typed Unit"_s);
        return child<QLineEdit>(units, "txtUnitDivision");
    }

    // The accounts window adding an account.
    QLineEdit* editAccount()
    {
        trigger("mnuMaklumatPengguna");
        QWidget* accounts = shown("frmUser");
        test::click(accounts, "cmdTambah");
        test::type(accounts, "txtNama", u"Typed Name"_s);
        return child<QLineEdit>(accounts, "txtNama");
    }

    QStringList openChildren() const
    {
        QStringList names;
        for (QMdiSubWindow* sub : window->findChild<QMdiArea*>()->subWindowList())
            if (sub->isVisible())
                names << sub->widget()->objectName();
        return names;
    }

    test::UserFolders folders;
    test::TestProgram p;
    test::FakeNetwork network;
    QTemporaryDir elsewhere;
    QTemporaryDir backups;
    WindowRegistry registry;
    app::AppServices services{p.context, registry, network.services()};
    std::unique_ptr<MDIFrmUtama> window;
};

} // namespace

class DatabaseChangeTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void unsavedEditsAreAskedAboutFirst_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("edit"); // the window whose edit is open
        QTest::addColumn<bool>("agreed");
        for (const QString& command : {u"Change Directory"_s, u"Confirm Restore"_s, u"Compact Database"_s}) {
            for (const QString& edit : {Settings, Units, Accounts}) {
                for (const bool agreed : {false, true})
                    QTest::addRow("%s, %s, %s", qPrintable(command), qPrintable(edit), agreed ? "yes" : "no")
                        << command << edit << agreed;
            }
        }
    }
    void unsavedEditsAreAskedAboutFirst()
    {
        QFETCH(QString, command);
        QFETCH(QString, edit);
        QFETCH(bool, agreed);
        Rig rig;
        QPointer<QLineEdit> typed = edit == Settings ? rig.editCity()
                                    : edit == Units  ? rig.editUnit()
                                                     : rig.editAccount();
        const QString typedText = typed->text();
        const QStringList before = rig.openChildren();
        rig.p.messenger.clear();

        const MessageAnswer answer = agreed ? MessageAnswer::Yes : MessageAnswer::No;
        if (command == u"Change Directory") {
            rig.p.fileDialogs.files.push_back(rig.other());
            test::clickInNextModal(u"Command1"_s);
            rig.p.messenger.answer(answer);
            rig.trigger("mnuChangeDBDir");
        } else if (command == u"Confirm Restore") {
            rig.trigger("mnuBackupRestore");
            QWidget* backup = rig.shown("frmBackupDB");
            test::click(backup, "chkBackupINI");
            rig.p.messenger.answer(MessageAnswer::Ok);
            rig.p.messenger.answer(answer);
            test::click(backup, "cmdRestore");
        } else {
            rig.p.messenger.answer(MessageAnswer::Yes);
            rig.p.messenger.answer(answer);
            rig.trigger("mnuCompactDB");
        }

        // One question, naming every window with an edit; a busy window would have refused before it.
        const QStringList named = edit == Units ? QStringList{Details, Units} : QStringList{edit};
        QList<Message> questions = rig.p.messenger.shown();
        questions.removeIf([](const Message& m) { return !m.text.contains(u"not saved"_s); });
        QCOMPARE(questions.size(), 1);
        QCOMPARE(questions.first().title, command);
        for (const QString& caption : named)
            QVERIFY2(questions.first().text.contains(u'"' + caption + u'"'),
                     qPrintable(questions.first().text));
        // Nothing else names a window: no refusal of a window that is gone.
        for (const Message& message : rig.p.messenger.shown())
            QVERIFY2(message.text.contains(u"not saved"_s) || !message.text.contains(named.last()),
                     qPrintable(message.text));

        const bool switched = agreed && command == u"Change Directory";
        const bool replaced = agreed && command != u"Compact Database";
        QCOMPARE(rig.p.database.path(), switched ? rig.other() : rig.p.databasePath());
        QCOMPARE(rig.adminName(), replaced ? u"Elsewhere"_s : u"Administrator"_s);
        QCOMPARE(rig.p.messenger.last().text.contains(u"compacted successfully"_s),
                 agreed && command == u"Compact Database");
        if (!agreed) {
            // Nothing closed, and what was typed stays.
            QVERIFY(typed && typed->isVisible());
            QCOMPARE(typed->text(), typedText);
            QCOMPARE(rig.openChildren().mid(0, before.size()), before);
        } else if (switched) {
            QVERIFY(rig.openChildren().isEmpty());
            QVERIFY(!typed || !typed->isVisible());
        } else {
            // The windows stay, their edits dropped and their data read again.
            QVERIFY(typed && typed->isVisible() && !typed->isEnabled());
            QVERIFY(typed->text() != typedText);
        }
    }
};

QTEST_MAIN(DatabaseChangeTest)
#include "DatabaseChangeTest.moc"
