// The commands that switch, replace or compact the live database, with typed edits open in the
// program's real windows: every window with an unsaved edit is asked about before any window closes, an
// edit goes only with a change that goes through, and what is typed while the database changes answers
// nothing.

#include "FakeNetwork.h"
#include "ModalDialogs.h"
#include "TestProgram.h"
#include "UserFolders.h"
#include "WidgetDriver.h"
#include "WindowSystemInput.h"

#include "app/WindowRegistration.h"
#include "core/DatabaseService.h"
#include "core/MDIFrmUtama.h"
#include "core/Sql.h"
#include "core/WindowTracker.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace tarvo;
using namespace Qt::StringLiterals;
using test::child;

namespace {

const QString Settings = u"IP Address Settings"_s;
const QString Details = u"IP Address Details ..."_s;
const QString Units = u"Unit / Division Setting"_s;
const QString Accounts = u"Tarvo User ..."_s;
const QString InUse = u"Not Allowed : Tarvo database was in use ... "_s;

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A folder that this process may not write to while this object lives, whoever runs it: read-only
// permissions stop a user, the immutable attribute (on file systems that have it) stops root too.
class UnwritableFolder
{
public:
    explicit UnwritableFolder(const QString& path)
        : m_path(path), m_permissions(QFile::permissions(path)),
          m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        if (m_fd >= 0 && ::ioctl(m_fd, FS_IOC_GETFLAGS, &m_flags) == 0) {
            int immutable = m_flags | FS_IMMUTABLE_FL;
            m_immutable = ::ioctl(m_fd, FS_IOC_SETFLAGS, &immutable) == 0;
        }
    }
    ~UnwritableFolder()
    {
        if (m_immutable)
            ::ioctl(m_fd, FS_IOC_SETFLAGS, &m_flags);
        if (m_fd >= 0)
            ::close(m_fd);
        QFile::setPermissions(m_path, m_permissions);
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

    // Whether a file can no longer be made in the folder.
    bool made() const
    {
        QFile probe(m_path + u"/probe"_s);
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.remove();
        return false;
    }

private:
    QString m_path;
    QFile::Permissions m_permissions;
    int m_fd;
    int m_flags = 0;
    bool m_immutable = false;
};

// The helper this test runs as to leave a database as a workstation killed in the middle of a save does:
//   test_app_databasechange save-until-killed <database>
// begins a save that writes more than its page cache holds, so that changed pages reach the file before
// the commit (their old content safe in the journal), prints "written" and waits to be killed.
int saveUntilKilled(const QString& path)
{
    const QString name = *openDatabaseFile(path);
    const QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!execSql(db, u"PRAGMA cache_size = 2"_s) || !execSql(db, u"BEGIN"_s))
        return 1;
    for (int i = 1; i <= 2000; ++i) {
        if (!execSql(db, u"INSERT INTO IP_Info (IP_Address, IP_4, Name) VALUES (?, ?, ?)"_s,
                     {u"10.200.%1.%2"_s.arg(i / 250).arg(i % 250), i % 250, QString(200, u'x')}))
            return 1;
    }
    std::puts("written");
    std::fflush(stdout);
    QThread::sleep(60);
    return 0;
}

// The main window with every real window registered, on fake network services, an administrator signed
// in, and a second database (for Change Directory, written by an earlier version: it lacks an index)
// and a backup copy of the database and of Tarvo.ini (for Restore) whose administrator is named apart
// from the live one's.
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
        change(other(), u"DROP INDEX IP_Info_Octet4"_s);
        QFile::copy(p.iniPath(), backups.filePath(IniFileName));
        p.context.WriteINI(u"Backup"_s, u"Marker"_s, u"live"_s);
    }

    static void change(const QString& path, const QString& sql)
    {
        const QString name = *openDatabaseFile(path);
        if (!execSql(QSqlDatabase::database(name, false), sql))
            qFatal("cannot change %s", qPrintable(path));
        closeDatabaseFile(name);
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

    // An edit open in the window of a caption.
    QLineEdit* edit(const QString& caption)
    {
        return caption == Settings ? editCity() : caption == Units ? editUnit() : editAccount();
    }

    // Another workstation's connection in the middle of a read of the live database; closed with
    // closeDatabaseFile.
    QString readingConnection() const
    {
        const QString reader = *openDatabaseFile(p.databasePath());
        const QSqlDatabase db = QSqlDatabase::database(reader, false);
        if (!execSql(db, u"BEGIN"_s) || !querySingleValue(db, u"SELECT count(*) FROM City"_s))
            qFatal("cannot read the database");
        return reader;
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

// Answers the program's real message boxes as a user who reads them: each one only once it has stayed
// open a moment (input made before it appeared would have closed it by then), with the button that
// choose picks for its text. Keeps the text of every box it answered.
class DeliberateAnswers
{
public:
    explicit DeliberateAnswers(std::function<QMessageBox::StandardButton(const QString&)> choose)
        : m_choose(std::move(choose))
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { look(); });
        m_poll.start(20);
    }
    const QStringList& answered() const { return m_answered; }

private:
    void look()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != m_box) {
            m_box = box;
            m_open.start();
            return;
        }
        if (!box || m_open.elapsed() < 200)
            return;
        m_answered << box->text();
        m_box = nullptr;
        box->button(m_choose(box->text()))->click();
    }

    std::function<QMessageBox::StandardButton(const QString&)> m_choose;
    QStringList m_answered;
    QTimer m_poll;
    QPointer<QMessageBox> m_box;
    QElapsedTimer m_open;
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
        for (const QString& command : {u"Change Directory"_s, u"Confirm Restore"_s}) {
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
        QPointer<QLineEdit> typed = rig.edit(edit);
        const QString typedText = typed->text();
        const QStringList before = rig.openChildren();
        const QByteArray otherBefore = readBytes(rig.other());
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
        QCOMPARE(rig.p.database.path(), switched ? rig.other() : rig.p.databasePath());
        QCOMPARE(rig.adminName(), agreed ? u"Elsewhere"_s : u"Administrator"_s);
        if (!agreed) {
            // Nothing closed, what was typed stays, and the file the user did not switch to is as it was.
            QVERIFY(typed && typed->isVisible());
            QCOMPARE(typed->text(), typedText);
            QCOMPARE(rig.openChildren().mid(0, before.size()), before);
            QCOMPARE(readBytes(rig.other()), otherBefore);
        } else if (switched) {
            QVERIFY(rig.openChildren().isEmpty());
            QVERIFY(!typed || !typed->isVisible());
        } else {
            // The windows stay, their edits dropped and their data read again.
            QVERIFY(typed && typed->isVisible() && !typed->isEnabled());
            QVERIFY(typed->text() != typedText);
        }
    }

    // Compact Database takes a window's unsaved edit as it takes another workstation's use of the
    // database: its own message, no question, and every window keeps what it holds.
    void compactionRefusesWhileAnEditIsOpen_data()
    {
        QTest::addColumn<QString>("edit");
        for (const QString& edit : {Settings, Units, Accounts})
            QTest::newRow(qPrintable(edit)) << edit;
    }
    void compactionRefusesWhileAnEditIsOpen()
    {
        QFETCH(QString, edit);
        Rig rig;
        QPointer<QLineEdit> typed = rig.edit(edit);
        const QString typedText = typed->text();
        const QStringList before = rig.openChildren();
        rig.p.messenger.clear();
        rig.p.messenger.answer(MessageAnswer::Yes);
        rig.trigger("mnuCompactDB");

        QCOMPARE(rig.p.messenger.shown().size(), 2);
        QCOMPARE(rig.p.messenger.last().text, InUse);
        QCOMPARE(rig.p.messenger.last().title, u"Database in use ..."_s);
        QVERIFY(typed && typed->isVisible() && typed->isEnabled());
        QCOMPARE(typed->text(), typedText);
        QCOMPARE(rig.openChildren(), before);
    }

    // A change that the user agreed to, refused by a check that could only run after the question (the
    // chosen file cannot take the upgrade; another workstation reads the live database throughout the
    // restore), drops nothing: the edits stay, and no window closes.
    void aChangeRefusedAfterTheQuestionKeepsTheEdits_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Change Directory") << u"Change Directory"_s;
        QTest::newRow("Confirm Restore") << u"Confirm Restore"_s;
    }
    void aChangeRefusedAfterTheQuestionKeepsTheEdits()
    {
        QFETCH(QString, command);
        Rig rig;
        QPointer<QLineEdit> typed = rig.editCity();
        const QString typedText = typed->text();
        const QStringList before = rig.openChildren();
        rig.p.messenger.clear();
        QString reader;
        if (command == u"Change Directory") {
            // Two records of one address: the unique index that the upgrade adds cannot be built.
            Rig::change(rig.other(), u"DROP INDEX IP_Info_IP_Address"_s);
            Rig::change(rig.other(), u"INSERT INTO IP_Info (IP_Address) VALUES ('10.1.1.1'), ('10.1.1.1')"_s);
            rig.p.fileDialogs.files.push_back(rig.other());
            test::clickInNextModal(u"Command1"_s);
            rig.p.messenger.answer(MessageAnswer::Yes);
            rig.trigger("mnuChangeDBDir");
        } else {
            reader = rig.readingConnection();
            QVERIFY(execSql(rig.p.database.handle(), u"PRAGMA busy_timeout = 200"_s));
            rig.trigger("mnuBackupRestore");
            QWidget* backup = rig.shown("frmBackupDB");
            test::click(backup, "chkBackupINI");
            rig.p.messenger.answer(MessageAnswer::Ok);
            rig.p.messenger.answer(MessageAnswer::Yes);
            test::click(backup, "cmdRestore");
        }
        closeDatabaseFile(reader);

        QList<Message> questions = rig.p.messenger.shown();
        questions.removeIf([](const Message& m) { return !m.text.contains(u"not saved"_s); });
        QCOMPARE(questions.size(), 1);
        QCOMPARE(rig.p.messenger.last().icon, MessageIcon::Critical);
        // Both files were left alone, which is said once.
        if (command == u"Change Directory")
            QVERIFY2(rig.p.messenger.last().text.endsWith(
                         u"each address may be recorded once.\r\n\r\nNeither the "
                         "chosen database nor the database in use was changed."_s),
                     qPrintable(rig.p.messenger.last().text));
        QCOMPARE(rig.p.database.path(), rig.p.databasePath());
        QCOMPARE(rig.adminName(), u"Administrator"_s);
        QVERIFY(typed && typed->isVisible() && typed->isEnabled());
        QCOMPARE(typed->text(), typedText);
        QCOMPARE(rig.openChildren().mid(0, before.size()), before);
    }

    // Change Directory drops the edits and closes the windows only once nothing can refuse the new file
    // any more: it is open and up to date first. So another connection that locks the chosen file from
    // the question on refuses the change with every edit in place, one that locks it as the windows close
    // comes too late to refuse it, and a window that turned busy after the question keeps every edit.
    void changeDirectoryNeverDropsEditsForNothing_data()
    {
        QTest::addColumn<QString>("when");
        for (const char* when : {"locked from the question", "locked as the windows close", "busy window"})
            QTest::newRow(when) << QString::fromLatin1(when);
    }
    void changeDirectoryNeverDropsEditsForNothing()
    {
        QFETCH(QString, when);
        Rig rig;
        QPointer<QLineEdit> typed = rig.editCity();
        const QString typedText = typed->text();
        QVERIFY(execSql(rig.p.database.handle(), u"PRAGMA busy_timeout = 200"_s));
        struct Mailing : QWidget, BusyWindow
        {
            QString busyReason() const override { return busy ? u"A mail is on its way."_s : QString(); }
            void closeEvent(QCloseEvent* event) override
            {
                if (closing)
                    closing();
                event->setAccepted(!busy);
            }
            bool busy = false;
            std::function<void()> closing;
        };
        QPointer<Mailing> mailing = new Mailing;
        rig.window->showOwnedWindow(mailing);
        const QStringList before = rig.openChildren();

        QString locker;
        auto lock = [&] {
            locker = *openDatabaseFile(rig.other());
            QVERIFY(execSql(QSqlDatabase::database(locker, false), u"BEGIN EXCLUSIVE"_s));
        };
        rig.p.messenger.onMessage([&](const Message& message) {
            if (!message.text.contains(u"not saved"_s))
                return;
            if (when == u"busy window")
                mailing->busy = true;
            else if (when == u"locked from the question")
                lock();
        });
        if (when == u"locked as the windows close")
            mailing->closing = lock;
        rig.p.messenger.clear();
        rig.p.fileDialogs.files.push_back(rig.other());
        test::clickInNextModal(u"Command1"_s);
        rig.p.messenger.answer(MessageAnswer::Yes);
        rig.trigger("mnuChangeDBDir");
        closeDatabaseFile(locker);

        const bool switched = rig.p.database.path() == rig.other();
        QCOMPARE(switched, when == u"locked as the windows close");
        if (!switched) {
            QVERIFY(typed && typed->isVisible() && typed->isEnabled());
            QCOMPARE(typed->text(), typedText);
            QCOMPARE(rig.openChildren(), before);
            QCOMPARE(rig.p.messenger.last().icon,
                     when == u"busy window" ? MessageIcon::Information : MessageIcon::Critical);
        }
        if (mailing)
            mailing->busy = false;
    }

    // A file that a workstation killed in the middle of a save left with its journal is taken as every
    // workstation takes it: the look at it before the question rolls the journal back (beside the file a
    // chosen symbolic link names, where SQLite keeps it), and the switch finds the file as it was before
    // the save. In a folder the user may not write to, the journal cannot be removed: the message says
    // so and the database in use stays; once the folder is writable again, the file is taken.
    void changeDirectoryTakesTheFileOfAKilledSave_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::newRow("the file") << u"file"_s;
        QTest::newRow("a symbolic link to it") << u"link"_s;
        QTest::newRow("in a folder the user may not write to") << u"unwritable"_s;
    }
    void changeDirectoryTakesTheFileOfAKilledSave()
    {
        QFETCH(QString, chosen);
        Rig rig;
        QProcess saver;
        saver.start(QCoreApplication::applicationFilePath(), {u"save-until-killed"_s, rig.other()});
        QVERIFY(saver.waitForReadyRead(20000));
        QCOMPARE(saver.readAll().trimmed(), QByteArray("written"));
        saver.kill();
        QVERIFY(saver.waitForFinished(5000));
        QVERIFY(QFileInfo(rig.other() + u"-journal"_s).size() > 0);
        QTemporaryDir links;
        const QString path = chosen == u"link"_s ? links.filePath(DatabaseFileName) : rig.other();
        QVERIFY(path == rig.other() || QFile::link(rig.other(), path));

        const auto changeDirectory = [&rig, &path] {
            rig.p.messenger.clear();
            rig.p.fileDialogs.files.push_back(path);
            test::clickInNextModal(u"Command1"_s);
            rig.trigger("mnuChangeDBDir");
        };
        if (chosen == u"unwritable"_s) {
            {
                const UnwritableFolder folder(rig.elsewhere.path());
                if (!folder.made())
                    QSKIP("this process can write to every folder it can make here (root on a file system "
                          "without the immutable attribute)");
                changeDirectory();
            }
            QCOMPARE(rig.p.messenger.count(), 1);
            const QString text = rig.p.messenger.last().text;
            QVERIFY2(text.contains(u"was left by a save that did not finish"_s) &&
                         text.contains(u"its folder must be writable to recover it"_s) &&
                         text.endsWith(u"The database in use was not changed."_s),
                     qPrintable(text));
            QCOMPARE(rig.p.database.path(), rig.p.databasePath());
        }
        changeDirectory();

        QVERIFY2(rig.p.messenger.isEmpty(), qPrintable(rig.p.messenger.texts().join(u" | ")));
        QCOMPARE(rig.p.database.path(), path);
        QCOMPARE(querySingleValue(rig.p.database.handle(), u"SELECT count(*) FROM IP_Info"_s)->toInt(), 0);
        QCOMPARE(querySingleValue(rig.p.database.handle(), u"PRAGMA integrity_check"_s)->toString(), u"ok"_s);
        QCOMPARE(rig.adminName(), u"Elsewhere"_s);
    }

    // Restore skips its database part for a busy window or for edits the user keeps, as Cancel on the
    // question about it does: the INI part still runs, and the message names what was restored.
    void aRefusedDatabasePartStillRestoresTheIniFile_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("edits kept") << false;
        QTest::newRow("busy window") << true;
    }
    void aRefusedDatabasePartStillRestoresTheIniFile()
    {
        QFETCH(bool, busy);
        Rig rig;
        QObject owner;
        const DatabaseHold hold(rig.p.databaseService, &owner, {.busyReason = [busy] {
                                    return busy ? u"A scan is under way."_s : QString();
                                }});
        QPointer<QLineEdit> typed = rig.editCity();
        rig.p.messenger.clear();
        rig.trigger("mnuBackupRestore");
        rig.p.messenger.answer(MessageAnswer::Ok); // the database
        if (!busy)
            rig.p.messenger.answer(MessageAnswer::No); // keep the edit
        rig.p.messenger.answer(MessageAnswer::Ok);     // the INI file
        test::click(rig.shown("frmBackupDB"), "cmdRestore");

        QCOMPARE(rig.adminName(), u"Administrator"_s);
        QCOMPARE(rig.p.context.ReadINI(u"Backup"_s, u"Marker"_s), QString());
        QCOMPARE(rig.p.messenger.last().text, u"Tarvo INI file restoration completed !"_s);
        QVERIFY(typed && typed->isEnabled());
    }

    // While the database is worked on (a compaction; the check of the backup copy that comes before the
    // restore's questions) the windows take no input, and what is typed or clicked meanwhile is dropped
    // when the work ends: it reaches no field, and answers none of the real message boxes that follow,
    // even where the keyboard's focus moves to them as it does on X11. Only deliberate answers close them.
    void inputMadeDuringDatabaseWorkIsDropped_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::newRow("compaction") << false;
        QTest::newRow("restore's check") << true;
    }
    void inputMadeDuringDatabaseWorkIsDropped()
    {
        QFETCH(bool, restore);
        Rig rig;
        rig.p.messenger.showRealBoxes(true);
        rig.trigger("mnuCarianRekod");
        auto* search = child<QLineEdit>(rig.shown("frmCarian"), "txtCarian");
        QWidget* backup = nullptr;
        if (restore) {
            rig.trigger("mnuBackupRestore");
            backup = rig.shown("frmBackupDB");
            test::click(backup, "chkBackupINI");
        }
        rig.window->show();
        rig.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        search->setFocus();

        // Another connection holds the work up: a read of the live database the compaction, a write
        // lock on the backup copy its check. Keys and a click come while it waits.
        const QString blocker = restore ? *openDatabaseFile(rig.backups.filePath(u"TarvoKestreldb.mdb"_s))
                                        : rig.readingConnection();
        if (restore)
            QVERIFY(execSql(QSqlDatabase::database(blocker, false), u"BEGIN EXCLUSIVE"_s));
        const test::FocusFollowsShownWindows focus;
        auto duringTheWork = [&] {
            QTimer::singleShot(100, [&] {
                test::queueKeys(u"10  "_s);
                if (backup)
                    test::queueClick(child<QWidget>(backup, "chkBackupDB"));
            });
            QTimer::singleShot(400, [&] { closeDatabaseFile(blocker); });
        };
        DeliberateAnswers answers([&](const QString& text) {
            if (text.startsWith(u"Do you want to compact"_s))
                duringTheWork();
            return text.startsWith(u"Restore "_s) ? QMessageBox::Cancel
                   : text.startsWith(u"Do you"_s) ? QMessageBox::Yes
                                                  : QMessageBox::Ok;
        });
        if (restore) {
            duringTheWork();
            test::click(backup, "cmdRestore");
        } else {
            rig.trigger("mnuCompactDB");
        }
        QTest::qWait(50);

        QVERIFY2(rig.p.messenger.count() == (restore ? 1 : 2),
                 qPrintable(rig.p.messenger.texts().join(u" | ")));
        QCOMPARE(answers.answered(), rig.p.messenger.texts());
        if (!restore)
            QVERIFY2(rig.p.messenger.last().text.contains(u"compacted successfully"_s),
                     qPrintable(rig.p.messenger.last().text));
        QCOMPARE(search->text(), QString());
        if (backup)
            QVERIFY(child<QCheckBox>(backup, "chkBackupDB")->isChecked());
        QCOMPARE(rig.adminName(), u"Administrator"_s);
    }

    // The chosen file's connection waits for another workstation's lock off the windows' thread: they
    // keep painting (a timer keeps ticking) with the busy pointer, and keys typed meanwhile answer
    // nothing. When the lock goes the change goes through; when it outlasts the live connection's wait
    // the change is refused, with the database in use kept.
    void changeDirectoryWaitsForALockWithTheWindowsAlive_data()
    {
        QTest::addColumn<bool>("lockGoes");
        QTest::newRow("the lock stays") << false;
        QTest::newRow("the lock goes") << true;
    }
    void changeDirectoryWaitsForALockWithTheWindowsAlive()
    {
        QFETCH(bool, lockGoes);
        Rig rig;
        rig.p.messenger.showRealBoxes(true);
        QVERIFY(execSql(rig.p.database.handle(),
                        lockGoes ? u"PRAGMA busy_timeout = 5000"_s : u"PRAGMA busy_timeout = 400"_s));
        rig.window->show();
        rig.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        QString locker;
        int busyTicks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (!locker.isEmpty() && QApplication::overrideCursor() &&
                QApplication::overrideCursor()->shape() == Qt::WaitCursor)
                ++busyTicks;
        });
        // The upgrade of the chosen file is done; another workstation locks it before it is opened.
        QObject::connect(&rig.p.databaseService, &DatabaseService::upgradeEnded, [&] {
            locker = *openDatabaseFile(rig.other());
            QVERIFY(execSql(QSqlDatabase::database(locker, false), u"BEGIN EXCLUSIVE"_s));
            test::queueKeys(u"  "_s);
            ticker.start(20);
            if (lockGoes)
                QTimer::singleShot(300, [&] { closeDatabaseFile(std::exchange(locker, QString())); });
        });
        const test::FocusFollowsShownWindows focus;
        DeliberateAnswers answers([](const QString&) { return QMessageBox::Ok; });
        rig.p.fileDialogs.files.push_back(rig.other());
        test::clickInNextModal(u"Command1"_s);
        rig.trigger("mnuChangeDBDir");
        closeDatabaseFile(std::exchange(locker, QString()));

        QVERIFY2(busyTicks >= 5, qPrintable(QString::number(busyTicks)));
        if (lockGoes) {
            QVERIFY2(rig.p.messenger.isEmpty(), qPrintable(rig.p.messenger.texts().join(u" | ")));
            QCOMPARE(rig.p.database.path(), rig.other());
            QCOMPARE(rig.adminName(), u"Elsewhere"_s);
            return;
        }
        QCOMPARE(rig.p.messenger.count(), 1);
        QVERIFY2(rig.p.messenger.last().text.endsWith(u"The database in use was not changed."_s),
                 qPrintable(rig.p.messenger.last().text));
        QCOMPARE(answers.answered(), rig.p.messenger.texts());
        QCOMPARE(rig.p.database.path(), rig.p.databasePath());
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (QCoreApplication::arguments().value(1) == u"save-until-killed")
        return saveUntilKilled(QCoreApplication::arguments().value(2));
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    DatabaseChangeTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "DatabaseChangeTest.moc"
