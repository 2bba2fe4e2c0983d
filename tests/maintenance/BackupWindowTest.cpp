// The backup window driven as a user does: its folder, its options, backup and restore, and the split
// and join of its lower half.

#include "MaintenanceTestKit.h"

#include "core/DatabaseService.h"
#include "core/Sql.h"
#include "core/WindowTracker.h"
#include "maintenance/FilePieces.h"
#include "maintenance/Registry.h"
#include "maintenance/SplitFileVerb.h"
#include "maintenance/ctlProgress.h"
#include "maintenance/frmBackupDB.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

using namespace tarvo;
using namespace Qt::StringLiterals;
using test::filesIn;
using test::readBytes;
using test::writeBytes;

namespace {

struct BackupRig
{
    explicit BackupRig(const QString& group = GroupSistem)
    {
        p.signInAs(u"admin"_s, u"Administrator"_s, group);
        p.context.WriteINI(u"Backup"_s, u"BackupLocation"_s, backup.path());
    }
    Registry registry() const { return Registry(folders.configHome() + u"/Tarvo/Registry.ini"_s); }
    QString option(const QString& name) const
    {
        return registry()
            .RegReadValue(u"Tarvo"_s, u"Settings"_s, name, u"unset"_s, RegistryRoot::CurrentUser,
                          u"SOFTWARE"_s)
            .toString();
    }
    frmBackupDB& open()
    {
        window = std::make_unique<frmBackupDB>(p.context, registry());
        window->show();
        return *window;
    }
    template <class T = QWidget>
    T* control(const QString& name) const
    {
        T* found = window->findChild<T*>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    // Chooses a folder through Browse.
    void browse(const QString& folder)
    {
        p.fileDialogs.folders = {folder};
        click(u"cmdDirektori"_s);
    }
    QString firstUser() const
    {
        return querySingleValue(p.database.handle(), u"SELECT UserID FROM UserID ORDER BY rowid"_s)
            ->toString();
    }
    void click(const QString& name) const { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    QString label(const QString& name) const { return control<QLabel>(name)->text(); }
    bool enabled(const QString& name) const { return control(name)->isEnabled(); }
    // Waits until the split or join under way has ended.
    bool waitIdle() const
    {
        return QTest::qWaitFor([this] { return window->busyReason().isEmpty(); }, 20000);
    }

    test::UserFolders folders;
    test::TestProgram p;
    QTemporaryDir backup;
    QTemporaryDir work;
    std::unique_ptr<frmBackupDB> window;
};

} // namespace

class BackupWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aFolderIsAskedForUntilTheUserGivesUp()
    {
        BackupRig rig;
        rig.p.context.WriteINI(u"Backup"_s, u"BackupLocation"_s, QString());
        rig.p.fileDialogs.folders = {QString(), rig.backup.path()};
        rig.p.messenger.answer(MessageAnswer::Yes);
        rig.open();
        QCOMPARE(rig.p.fileDialogs.folderTitles,
                 (QStringList{u"Browse for Backup Folder :"_s, u"Browse for Backup Folder :"_s}));
        QCOMPARE(rig.control<QLineEdit>(u"txtPath"_s)->text(), rig.backup.path() + u"/"_s);
        QVERIFY(rig.enabled(u"cmdBackup"_s));
        QVERIFY(QFileInfo::exists(splitFileEntryPath()));

        // No: the window stays open without a folder, Backup disabled, nothing registered.
        BackupRig refused(GroupHQ);
        refused.p.context.WriteINI(u"Backup"_s, u"BackupLocation"_s, QString());
        refused.p.messenger.answer(MessageAnswer::No);
        refused.p.program.CommandLineFile = refused.p.databasePath();
        refused.open();
        QCOMPARE(refused.p.messenger.last().text, u"Please select folder, Browse Again?"_s);
        QCOMPARE(refused.p.messenger.last().title, u"No Path Selected"_s);
        QVERIFY(!refused.enabled(u"cmdBackup"_s));
        QVERIFY(!refused.enabled(u"cmdRestore"_s));
        QVERIFY(refused.control<QLineEdit>(u"txtFileName"_s)->text().isEmpty());
        QVERIFY(!QFileInfo::exists(splitFileEntryPath()));
        QVERIFY(!QFileInfo::exists(refused.registry().filePath()));
    }

    void optionsComeFromTheSettingsStoreAndGoBackOnClose()
    {
        BackupRig rig;
        rig.registry().RegWriteValue(u"Tarvo"_s, u"Settings"_s, u"DeleteParts"_s, u"0"_s,
                                     RegistryRoot::CurrentUser, u"SOFTWARE"_s);
        const QString file = rig.work.filePath(u"big.bin"_s);
        QVERIFY(writeBytes(file, QByteArray(3000000, 'x')));
        rig.p.program.CommandLineFile = file;
        rig.open();
        QVERIFY(!rig.control<QCheckBox>(u"chkDeleteParts"_s)->isChecked());
        QVERIFY(rig.control<QCheckBox>(u"chkOpenExplorer"_s)->isChecked());
        QVERIFY(!rig.control<QCheckBox>(u"chkCopyToFloppy"_s)->isChecked());
        QCOMPARE(rig.control<QLineEdit>(u"txtFileName"_s)->text(), file);
        QCOMPARE(rig.label(u"lblEstFileCount"_s), u"File Count: 3"_s);
        QVERIFY(rig.enabled(u"cmdSplit"_s));
        QVERIFY(!rig.enabled(u"cmdJoin"_s));

        QTest::mouseClick(rig.control<QCheckBox>(u"chkCopyToFloppy"_s), Qt::LeftButton);
        rig.click(u"cmdTutup"_s);
        QVERIFY(!rig.window->isVisible());
        QCOMPARE(rig.option(u"SplitSize"_s), u"1360"_s);
        QCOMPARE(rig.option(u"DeleteParts"_s), u"0"_s);
        QCOMPARE(rig.option(u"OpenExplorer"_s), u"1"_s);
        QCOMPARE(rig.option(u"CopyToFloppy"_s), u"1"_s);
    }

    void splitThroughTheWindow_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QList<MessageAnswer>>("answers");
        QTest::addColumn<int>("pieces");
        QTest::newRow("ten pieces, no question") << 10 * PieceSize << QList<MessageAnswer>{} << 10;
        QTest::newRow("eleven pieces, No")
            << 10 * PieceSize + 1 << QList<MessageAnswer>{MessageAnswer::No} << 0;
        QTest::newRow("eleven pieces, Yes")
            << 10 * PieceSize + 1 << QList<MessageAnswer>{MessageAnswer::Yes} << 11;
    }
    void splitThroughTheWindow()
    {
        QFETCH(qint64, length);
        QFETCH(QList<MessageAnswer>, answers);
        QFETCH(int, pieces);
        BackupRig rig;
        const QString file = rig.work.filePath(u"data.bin"_s);
        QVERIFY(writeBytes(file, test::patternBytes(length)));
        rig.p.program.CommandLineFile = file;
        rig.open();
        for (MessageAnswer answer : answers)
            rig.p.messenger.answer(answer);
        rig.click(u"cmdSplit"_s);
        if (pieces == 0) {
            QCOMPARE(rig.p.messenger.last().text,
                     u"Are you sure you want to break this file up into 11 pieces?"_s);
            QCOMPARE(filesIn(rig.work.path()), QStringList{u"data.bin"_s});
            return;
        }
        // While it runs nothing else may start, and the program may not close the window.
        for (const char* name :
             {"cmdSplit", "cmdJoin", "cmdBackup", "cmdRestore", "cmdTutup", "cmdDirektori"})
            QVERIFY2(!rig.enabled(QLatin1String(name)), name);
        QVERIFY(rig.enabled(u"cmdStop"_s));
        QVERIFY(!rig.window->busyReason().isEmpty());
        QVERIFY(!rig.window->close());
        QVERIFY(rig.waitIdle());

        QCOMPARE(consecutivePieces(file).size(), pieces);
        QCOMPARE(rig.label(u"lblFileCount"_s), u"Split Count: Finished (%1 Files)"_s.arg(pieces));
        QVERIFY(rig.label(u"lblStart"_s).startsWith(u"Start Time: "_s));
        QVERIFY(rig.label(u"lblElapsed"_s).endsWith(u" seconds"_s));
        QCOMPARE(rig.control<ctlProgress>(u"ctlProgress1"_s)->shownText(), u"Finished Splitting"_s);
        QVERIFY(rig.enabled(u"cmdSplit"_s) && rig.enabled(u"cmdJoin"_s) && rig.enabled(u"cmdBackup"_s));
        QVERIFY(rig.enabled(u"cmdRestore"_s) && !rig.enabled(u"cmdStop"_s));
        // The folder of the pieces is shown.
        QCOMPARE(rig.p.shell.opened, QStringList{rig.work.path()});
    }

    void joinThroughTheWindow()
    {
        BackupRig rig;
        const QString file = rig.work.filePath(u"data.bin"_s);
        const QByteArray bytes = test::patternBytes(2 * PieceSize + 10);
        QVERIFY(writeBytes(file, bytes));
        rig.p.program.CommandLineFile = file;
        rig.open();
        rig.click(u"cmdSplit"_s);
        QVERIFY(rig.waitIdle());
        QVERIFY(writeBytes(file, "newer"));

        // No to the overwrite question changes nothing.
        rig.p.messenger.answer(MessageAnswer::No);
        rig.click(u"cmdJoin"_s);
        QCOMPARE(rig.p.messenger.last().title, u"Overwrite Warning"_s);
        QCOMPARE(rig.label(u"lblFileCount"_s), u"Join Count: Output File Exists"_s);
        QCOMPARE(readBytes(file), QByteArray("newer"));

        // Stop before the first piece takes back everything.
        rig.p.messenger.answer(MessageAnswer::Yes);
        rig.click(u"cmdJoin"_s);
        rig.click(u"cmdStop"_s);
        QCOMPARE(rig.label(u"lblFileCount"_s), u"Join Count: Stopped"_s);
        QCOMPARE(readBytes(file), QByteArray("newer"));

        rig.p.messenger.answer(MessageAnswer::Yes);
        rig.click(u"cmdJoin"_s);
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.label(u"lblFileCount"_s), u"File Count: Finished (3 Files)"_s);
        QCOMPARE(readBytes(file), bytes);
        QCOMPARE(filesIn(rig.work.path()), QStringList{u"data.bin"_s});
        QVERIFY(!rig.enabled(u"cmdJoin"_s));
    }

    void anEmptyFileIsNotSplit()
    {
        BackupRig rig;
        const QString file = rig.work.filePath(u"empty.bin"_s);
        QVERIFY(writeBytes(file, {}));
        rig.p.program.CommandLineFile = file;
        rig.open();
        QCOMPARE(rig.label(u"lblEstFileCount"_s), u"File Count: 0"_s);
        rig.click(u"cmdSplit"_s);
        QCOMPARE(rig.p.messenger.last().title, u"File Read Error"_s);
        QCOMPARE(filesIn(rig.work.path()), QStringList{u"empty.bin"_s});
    }

    // The pieces go one per disk, each into a folder the user picks; nothing else there is touched.
    void piecesAreCopiedToDisks()
    {
        BackupRig rig;
        const QString file = rig.work.filePath(u"data.bin"_s);
        QVERIFY(writeBytes(file, test::patternBytes(PieceSize + 5)));
        QTemporaryDir diskA;
        QTemporaryDir diskB;
        QVERIFY(writeBytes(diskA.filePath(u"notes.txt"_s), "mine"));
        QVERIFY(writeBytes(diskA.filePath(u"data.bin.1"_s), "old piece"));
        rig.p.program.CommandLineFile = file;
        rig.open();
        rig.control<QCheckBox>(u"chkCopyToFloppy"_s)->setChecked(true);
        rig.control<QCheckBox>(u"chkOpenExplorer"_s)->setChecked(false);
        rig.p.fileDialogs.folders = {rig.work.filePath(u"no such disk"_s), diskA.path(), diskB.path()};
        for (MessageAnswer answer : {MessageAnswer::Ok, MessageAnswer::Ok, MessageAnswer::Ok})
            rig.p.messenger.answer(answer);
        rig.click(u"cmdSplit"_s);
        QVERIFY(rig.waitIdle());

        QCOMPARE(rig.p.messenger.texts(),
                 (QStringList{
                     u"Please enter Disk #1, then choose its folder"_s,
                     u"Unable to find disk in drive or disk is write-protected\rPlease insert another disk "
                     "and press OK"_s,
                     u"Please enter Disk #2, then choose its folder"_s}));
        QCOMPARE(filesIn(diskA.path()), (QStringList{u"data.bin.1"_s, u"notes.txt"_s}));
        QCOMPARE(readBytes(diskA.filePath(u"data.bin.1"_s)), readBytes(pieceName(file, 1)));
        QCOMPARE(readBytes(diskA.filePath(u"notes.txt"_s)), QByteArray("mine"));
        QCOMPARE(filesIn(diskB.path()), (QStringList{u"data.bin.2"_s, u"data.bin.bat"_s}));
        QVERIFY(!rig.window->findChild<QWidget*>(u"frmSplitterSplash"_s)->isVisible());
        QVERIFY(rig.enabled(u"cmdSplit"_s));
    }
    void backupAndRestoreRoundTrip()
    {
        BackupRig rig;
        // An older, larger copy shown in the file box from the command line.
        const QString folder = rig.backup.path() + u"/"_s;
        QVERIFY(writeBytes(folder + BackupDatabaseFileName, QByteArray(3 * PieceSize, 'o')));
        rig.p.program.CommandLineFile = folder + BackupDatabaseFileName;
        rig.open();
        QCOMPARE(rig.label(u"lblEstFileCount"_s), u"File Count: 3"_s);
        rig.click(u"cmdBackup"_s);
        QCOMPARE(rig.p.messenger.last().text,
                 u"Backup Tarvo database and Tarvo INI file to %1 completed successfully."_s.arg(folder));
        QCOMPARE(rig.p.messenger.last().title, u"Backup completed"_s);
        QCOMPARE(rig.p.context.ReadINI(u"Backup"_s, u"BackupLocation"_s), folder);
        QCOMPARE(rig.control<QLineEdit>(u"txtFileName"_s)->text(), folder + BackupDatabaseFileName);
        QCOMPARE(rig.label(u"lblEstFileCount"_s), u"File Count: 1"_s);
        QVERIFY(!rig.enabled(u"cmdBackup"_s) && rig.enabled(u"cmdRestore"_s));
        QCOMPARE(filesIn(rig.backup.path()), (QStringList{IniFileName, BackupDatabaseFileName}));

        // Changes made after the backup go with the restore.
        QVERIFY(execSql(rig.p.database.handle(), u"UPDATE UserID SET UserID = 'changed'"_s));
        rig.p.context.WriteINI(u"Web"_s, u"MainURL"_s, u"http://127.0.0.1/changed"_s);
        rig.p.messenger.clear();
        rig.click(u"cmdRestore"_s);
        const QStringList texts = rig.p.messenger.texts();
        QCOMPARE(texts.size(), 3);
        QVERIFY(texts.at(0).startsWith(u"Restore Tarvo database dated "_s) && texts.at(0).endsWith(u" ?"_s));
        QVERIFY(texts.at(1).startsWith(u"Restore Tarvo INI file dated "_s));
        QCOMPARE(texts.at(2), u"Tarvo database and Tarvo INI file restoration completed !"_s);
        QCOMPARE(rig.firstUser(), u"admin"_s);
        QVERIFY(rig.p.context.ReadINI(u"Web"_s, u"MainURL"_s).isEmpty());
        QVERIFY(!rig.enabled(u"cmdBackup"_s) && !rig.enabled(u"cmdRestore"_s));
    }

    void aRestoreOfAFileThatIsNoTarvoDatabaseChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("copy");
        QTest::newRow("text") << QByteArray("not a database");
        QTest::newRow("old Jet file") << QByteArray("\0\1\0\0Standard Jet DB\0", 20) + QByteArray(2000, '\0');
    }
    void aRestoreOfAFileThatIsNoTarvoDatabaseChangesNothing()
    {
        QFETCH(QByteArray, copy);
        BackupRig rig;
        QVERIFY(writeBytes(rig.backup.filePath(BackupDatabaseFileName), copy));
        const QByteArray live = readBytes(rig.p.databasePath());
        rig.open();
        rig.control<QCheckBox>(u"chkBackupINI"_s)->setChecked(false);
        rig.click(u"cmdRestore"_s);
        QCOMPARE(rig.p.messenger.count(), 1); // no question: the copy is refused first
        QCOMPARE(rig.p.messenger.last().title, u"Error !!!"_s);
        QCOMPARE(readBytes(rig.p.databasePath()), live);
        QCOMPARE(rig.firstUser(), u"admin"_s);
        QVERIFY(rig.enabled(u"cmdRestore"_s));
    }

    // A backup that would overwrite a live file is refused before anything is copied.
    void backupsOntoTheLiveFilesAreRefused_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("message");
        const QString application = u"Backup to Tarvo application folder is not allowed !"_s;
        QTest::newRow("program folder through a link") << u"link"_s << application;
        QTest::newRow("program folder through ..") << u"dots"_s << application;
        QTest::newRow("database named as its copy")
            << u"database"_s << u"Backup to Tarvo database folder is not allowed !"_s;
        QTest::newRow("root folder")
            << u"root"_s << u"Backup to / root folder is not allowed! Please choose other folder."_s;
    }
    void backupsOntoTheLiveFilesAreRefused()
    {
        QFETCH(QString, way);
        QFETCH(QString, message);
        BackupRig rig;
        const QString program = rig.p.folder();
        QString folder;
        if (way == u"link") {
            folder = rig.work.filePath(u"link"_s);
            QVERIFY(QFile::link(program, folder));
        } else if (way == u"dots") {
            QVERIFY(QDir(program).mkdir(u"sub"_s));
            folder = program + u"/sub/.."_s;
        } else if (way == u"database") {
            // The live database carries the copy's name in the folder chosen (through a link).
            const QString live = rig.work.filePath(BackupDatabaseFileName);
            QVERIFY(QFile::copy(rig.p.databasePath(), live));
            QVERIFY(rig.p.databaseService.switchTo(live));
            folder = rig.work.filePath(u"link"_s);
            QVERIFY(QFile::link(rig.work.path(), folder));
        } else {
            folder = u"/"_s;
        }
        rig.open();
        const QByteArray live = readBytes(rig.p.program.DatabasePath);
        rig.browse(folder);
        rig.click(u"cmdBackup"_s);
        QCOMPARE(rig.p.messenger.last().text, message);
        QCOMPARE(rig.p.messenger.last().icon, MessageIcon::Exclamation);
        QCOMPARE(readBytes(rig.p.program.DatabasePath), live);
        if (way != u"root")
            QCOMPARE(rig.control<QLineEdit>(u"txtPath"_s)->text(), rig.backup.path() + u"/"_s);
        QVERIFY(!QFileInfo::exists(QDir(program).filePath(BackupDatabaseFileName)));
        QVERIFY(rig.p.context.ReadINI(u"Backup"_s, u"BackupLocation"_s) == rig.backup.path());
    }

    void partialRestores_data()
    {
        QTest::addColumn<bool>("database");
        QTest::addColumn<bool>("iniCopy");
        QTest::addColumn<QList<MessageAnswer>>("answers");
        QTest::addColumn<QString>("lastMessage");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<bool>("buttonsOff");
        QTest::newRow("INI copy missing") << true << false << QList<MessageAnswer>{}
                                          << u"Backup Tarvo INI file not found!"_s << false << false;
        QTest::newRow("both cancelled")
            << true << true << QList<MessageAnswer>{MessageAnswer::Cancel, MessageAnswer::Cancel}
            << u"Restore Tarvo INI file dated"_s << false << true;
        QTest::newRow("database only")
            << true << true << QList<MessageAnswer>{MessageAnswer::Ok, MessageAnswer::Cancel}
            << u"Tarvo database restoration completed !"_s << true << true;
        QTest::newRow("INI only") << false << true << QList<MessageAnswer>{MessageAnswer::Ok}
                                  << u"Tarvo INI file restoration completed !"_s << false << true;
    }
    void partialRestores()
    {
        QFETCH(bool, database);
        QFETCH(bool, iniCopy);
        QFETCH(QList<MessageAnswer>, answers);
        QFETCH(QString, lastMessage);
        QFETCH(bool, restored);
        QFETCH(bool, buttonsOff);
        BackupRig rig;
        QVERIFY(rig.p.databaseService.copyTo(rig.backup.filePath(BackupDatabaseFileName)));
        if (iniCopy)
            QVERIFY(QFile::copy(rig.p.iniPath(), rig.backup.filePath(IniFileName)));
        if (!database)
            QVERIFY(QFile::remove(rig.backup.filePath(BackupDatabaseFileName)));
        QVERIFY(execSql(rig.p.database.handle(), u"UPDATE UserID SET UserID = 'changed'"_s));
        rig.open();
        for (MessageAnswer answer : answers)
            rig.p.messenger.answer(answer);
        if (!database)
            rig.control<QCheckBox>(u"chkBackupDB"_s)->setChecked(false);
        rig.click(u"cmdRestore"_s);
        QVERIFY2(rig.p.messenger.last().text.startsWith(lastMessage),
                 qPrintable(rig.p.messenger.last().text));
        QCOMPARE(rig.firstUser(), restored ? u"admin"_s : u"changed"_s);
        QCOMPARE(rig.enabled(u"cmdRestore"_s), !buttonsOff);
    }

    void onlySystemAdministratorsRestore()
    {
        BackupRig rig(GroupHQ);
        rig.open();
        QVERIFY(!rig.enabled(u"cmdRestore"_s));
        rig.browse(rig.work.path());
        QVERIFY(rig.enabled(u"cmdBackup"_s) && !rig.enabled(u"cmdRestore"_s));
        rig.click(u"cmdBackup"_s);
        QCOMPARE(rig.p.messenger.last().title, u"Backup completed"_s);
        QVERIFY(!rig.enabled(u"cmdRestore"_s));
    }
};

QTEST_MAIN(BackupWindowTest)
#include "BackupWindowTest.moc"
