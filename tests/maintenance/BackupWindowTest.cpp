// The backup window driven as a user does: its folder, its options, backup and restore, and the split
// and join of its lower half.

#include "MaintenanceTestKit.h"
#include "WidgetDriver.h"

#include "core/DatabaseConnection.h"
#include "core/ReplacingFile.h"
#include "core/Sql.h"
#include "core/WidgetParts.h"
#include "maintenance/Compaction.h"
#include "maintenance/FilePieces.h"
#include "maintenance/Registry.h"
#include "maintenance/SplitFileVerb.h"
#include "maintenance/ctlProgress.h"
#include "maintenance/frmBackupDB.h"

#include <QCheckBox>
#include <QLabel>
#include <QTimer>

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
    void open()
    {
        window = std::make_unique<frmBackupDB>(p.context, registry());
        window->show();
    }
    // Opens the window with a file of the given bytes in its file box.
    QString openWith(const QByteArray& bytes)
    {
        const QString file = work.filePath(u"data.bin"_s);
        if (!writeBytes(file, bytes))
            qFatal("cannot write %s", qPrintable(file));
        p.program.CommandLineFile = file;
        open();
        return file;
    }
    void browse(const QString& folder)
    {
        p.fileDialogs.folders = {folder};
        click("cmdDirektori");
    }
    QString firstUser() const
    {
        return querySingleValue(p.database.handle(), u"SELECT UserID FROM UserID ORDER BY rowid"_s)
            ->toString();
    }
    void click(const char* name) const
    {
        QTest::mouseClick(test::child<QAbstractButton>(window.get(), name), Qt::LeftButton);
    }
    QCheckBox* box(const char* name) const { return test::child<QCheckBox>(window.get(), name); }
    QString label(const char* name) const { return test::child<QLabel>(window.get(), name)->text(); }
    QString text(const char* name) const { return test::child<QLineEdit>(window.get(), name)->text(); }
    bool enabled(const char* name) const { return test::child<QWidget>(window.get(), name)->isEnabled(); }
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
    // Without a folder one is asked for until the user gives up; only system administrators restore.
    void aFolderIsAskedForUntilTheUserGivesUp()
    {
        BackupRig rig;
        rig.p.context.WriteINI(u"Backup"_s, u"BackupLocation"_s, QString());
        rig.p.fileDialogs.folders = {QString(), rig.backup.path()};
        rig.p.messenger.answer(MessageAnswer::Yes);
        rig.open();
        QCOMPARE(rig.p.fileDialogs.folderTitles, QStringList(2, u"Browse for Backup Folder :"_s));
        QCOMPARE(rig.text("txtPath"), rig.backup.path() + u"/"_s);
        QVERIFY(rig.enabled("cmdBackup"));
        QVERIFY(QFileInfo::exists(splitFileEntryPath()));

        // No: the window stays open without a folder, Backup disabled, nothing registered.
        BackupRig hq(GroupHQ);
        hq.p.context.WriteINI(u"Backup"_s, u"BackupLocation"_s, QString());
        hq.p.messenger.answer(MessageAnswer::No);
        hq.p.program.CommandLineFile = hq.p.databasePath();
        hq.open();
        QCOMPARE(hq.p.messenger.last().text, u"Please select folder, Browse Again?"_s);
        QCOMPARE(hq.p.messenger.last().title, u"No Path Selected"_s);
        QVERIFY(!hq.enabled("cmdBackup") && !hq.enabled("cmdRestore"));
        QVERIFY(hq.text("txtFileName").isEmpty());
        QVERIFY(!QFileInfo::exists(splitFileEntryPath()));
        QVERIFY(!QFileInfo::exists(hq.registry().filePath()));
        // A folder chosen later: Backup, never Restore.
        hq.browse(hq.work.path());
        QVERIFY(hq.enabled("cmdBackup") && !hq.enabled("cmdRestore"));
        hq.click("cmdBackup");
        QCOMPARE(hq.p.messenger.last().title, u"Backup completed"_s);
        QVERIFY(!hq.enabled("cmdRestore"));
    }

    void optionsComeFromTheSettingsStoreAndGoBackOnClose()
    {
        BackupRig rig;
        rig.registry().RegWriteValue(u"Tarvo"_s, u"Settings"_s, u"DeleteParts"_s, u"0"_s,
                                     RegistryRoot::CurrentUser, u"SOFTWARE"_s);
        const QString file = rig.openWith(QByteArray(3000000, 'x'));
        QVERIFY(!rig.box("chkDeleteParts")->isChecked() && rig.box("chkOpenExplorer")->isChecked());
        QCOMPARE(rig.text("txtFileName"), file);
        QCOMPARE(rig.label("lblEstFileCount"), u"File Count: 3"_s);
        QVERIFY(rig.enabled("cmdSplit") && !rig.enabled("cmdJoin"));

        QTest::mouseClick(rig.box("chkCopyToFloppy"), Qt::LeftButton);
        rig.click("cmdTutup");
        QVERIFY(!rig.window->isVisible());
        QCOMPARE(QStringList({rig.option(u"SplitSize"_s), rig.option(u"DeleteParts"_s),
                              rig.option(u"OpenExplorer"_s), rig.option(u"CopyToFloppy"_s)}),
                 (QStringList{u"1360"_s, u"0"_s, u"1"_s, u"1"_s}));
    }

    // A split and a join through the window.
    void splitAndJoinThroughTheWindow_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QList<MessageAnswer>>("answers");
        QTest::addColumn<int>("pieces");
        QTest::addColumn<QString>("refusal"); // "%1": the file
        QTest::newRow("empty file") << 0LL << QList<MessageAnswer>{} << 0
                                    << u"The file %1 is empty: there is nothing to split."_s;
        QTest::newRow("ten pieces, no question")
            << 10 * PieceSize << QList<MessageAnswer>{} << 10 << QString();
        QTest::newRow("eleven pieces, No")
            << 10 * PieceSize + 1 << QList<MessageAnswer>{MessageAnswer::No} << 0
            << u"Are you sure you want to break this file up into 11 pieces?"_s;
        QTest::newRow("eleven pieces, Yes")
            << 10 * PieceSize + 1 << QList<MessageAnswer>{MessageAnswer::Yes} << 11 << QString();
    }
    void splitAndJoinThroughTheWindow()
    {
        QFETCH(qint64, length);
        QFETCH(QList<MessageAnswer>, answers);
        QFETCH(int, pieces);
        QFETCH(QString, refusal);
        BackupRig rig;
        const QByteArray bytes = test::patternBytes(length);
        const QString file = rig.openWith(bytes);
        for (MessageAnswer answer : answers)
            rig.p.messenger.answer(answer);
        rig.click("cmdSplit");
        if (pieces == 0) {
            QCOMPARE(rig.p.messenger.texts(), QStringList{refusal.arg(file)});
            QCOMPARE(filesIn(rig.work.path()), QStringList{u"data.bin"_s});
            return;
        }
        QCOMPARE(rig.p.messenger.count(), answers.size());
        // While it runs nothing else may start, and the program may not close the window.
        for (const char* name :
             {"cmdSplit", "cmdJoin", "cmdBackup", "cmdRestore", "cmdTutup", "cmdDirektori"})
            QVERIFY2(!rig.enabled(name), name);
        QVERIFY(rig.enabled("cmdStop"));
        QVERIFY(!rig.window->busyReason().isEmpty());
        QVERIFY(!rig.window->close());
        QVERIFY(rig.waitIdle());

        QCOMPARE(consecutivePieces(file).size(), pieces);
        QCOMPARE(rig.label("lblFileCount"), u"Split Count: Finished (%1 Files)"_s.arg(pieces));
        QCOMPARE(test::child<ctlProgress>(rig.window.get(), "ctlProgress1")->shownText(),
                 u"Finished Splitting"_s);
        QVERIFY(rig.enabled("cmdSplit") && rig.enabled("cmdJoin") && rig.enabled("cmdBackup"));
        QVERIFY(rig.enabled("cmdRestore") && !rig.enabled("cmdStop"));
        // The folder of the pieces is shown.
        QCOMPARE(rig.p.shell.opened, QStringList{rig.work.path()});

        // A join: No to the overwrite question changes nothing, Stop before the first piece takes back
        // everything, then the file is whole again and the pieces are gone.
        QVERIFY(writeBytes(file, "newer"));
        rig.p.messenger.answer(MessageAnswer::No);
        rig.click("cmdJoin");
        QCOMPARE(rig.p.messenger.last().title, u"Overwrite Warning"_s);
        QCOMPARE(rig.label("lblFileCount"), u"Join Count: Output File Exists"_s);
        QCOMPARE(readBytes(file), QByteArray("newer"));
        rig.p.messenger.answer(MessageAnswer::Yes);
        rig.click("cmdJoin");
        rig.click("cmdStop");
        QCOMPARE(rig.label("lblFileCount"), u"Join Count: Stopped"_s);
        QCOMPARE(readBytes(file), QByteArray("newer"));

        rig.p.messenger.answer(MessageAnswer::Yes);
        rig.click("cmdJoin");
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.label("lblFileCount"), u"File Count: Finished (%1 Files)"_s.arg(pieces));
        QCOMPARE(readBytes(file), bytes);
        QCOMPARE(filesIn(rig.work.path()), QStringList{u"data.bin"_s});
        QVERIFY(!rig.enabled("cmdJoin"));
    }

    // The pieces go one per disk, each into a folder the user picks; nothing else there is touched.
    void piecesAreCopiedToDisks()
    {
        BackupRig rig;
        QTemporaryDir diskA;
        QTemporaryDir diskB;
        QVERIFY(writeBytes(diskA.filePath(u"notes.txt"_s), "mine"));
        QVERIFY(writeBytes(diskA.filePath(u"data.bin.1"_s), "old piece"));
        const QString file = rig.openWith(test::patternBytes(PieceSize + 5));
        rig.box("chkCopyToFloppy")->setChecked(true);
        rig.box("chkOpenExplorer")->setChecked(false);
        rig.p.fileDialogs.folders = {rig.work.filePath(u"no such disk"_s), diskA.path(), diskB.path()};
        rig.click("cmdSplit");
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
        QVERIFY(rig.enabled("cmdSplit"));
    }

    // Nothing the lower half writes replaces the database in use: neither a join into the file the
    // program was started with, nor a piece copied to a disk where that file lies.
    void theDatabaseInUseIsNeverReplaced_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("join into the file started with") << u"join"_s;
        QTest::newRow("join into a link to it") << u"link"_s;
        QTest::newRow("piece copied onto it") << u"disk"_s;
    }
    void theDatabaseInUseIsNeverReplaced()
    {
        QFETCH(QString, way);
        BackupRig rig;
        QString file = rig.p.databasePath();
        QTemporaryDir disk;
        if (way == u"link") {
            file = rig.work.filePath(u"link.mdb"_s);
            QVERIFY(QFile::link(rig.p.databasePath(), file));
        } else if (way == u"disk") {
            // The database in use carries the name of the first piece in the folder of the disk.
            file = rig.work.filePath(u"data.bin"_s);
            QVERIFY(writeBytes(file, "a small file"));
            const QString live = disk.filePath(u"data.bin.1"_s);
            QVERIFY(QFile::copy(rig.p.databasePath(), live));
            QVERIFY(rig.p.databaseService.switchTo(live));
            rig.p.fileDialogs.folders = {disk.path()};
        }
        rig.p.program.CommandLineFile = file;
        rig.open();
        rig.box("chkOpenExplorer")->setChecked(false);
        rig.box("chkCopyToFloppy")->setChecked(way == u"disk");
        rig.click("cmdSplit");
        QVERIFY(rig.waitIdle());
        const QByteArray live = readBytes(rig.p.program.DatabasePath);
        const QString named = u"\"%1\" is the Tarvo database in use"_s;
        if (way == u"disk") {
            QVERIFY(rig.p.messenger.sawText(named.arg(disk.filePath(u"data.bin.1"_s))));
        } else {
            rig.click("cmdJoin");
            QCOMPARE(rig.label("lblFileCount"), u"Join Count: Output File In Use"_s);
            QVERIFY(rig.p.messenger.last().text.contains(named.arg(file)));
            QVERIFY(QFileInfo::exists(pieceName(file, 1)) && QFileInfo::exists(file + u".bat"_s));
        }
        QCOMPARE(readBytes(rig.p.program.DatabasePath), live);
        QCOMPARE(QFileInfo(file).isSymLink(), way == u"link");
        QVERIFY(execSql(rig.p.database.handle(), u"UPDATE UserID SET UserID = 'still writable'"_s));
    }

    // Pieces without their batch file, as a join killed while it deleted them leaves them, are refused
    // before any question, and the next split replaces them with a whole set.
    void leftoverPiecesAreRefusedAndSplitAgain()
    {
        BackupRig rig;
        const QByteArray bytes = test::patternBytes(3 * PieceSize);
        const QString file = rig.openWith(bytes);
        rig.box("chkOpenExplorer")->setChecked(false);
        rig.click("cmdSplit");
        QVERIFY(rig.waitIdle());
        QVERIFY(QFile::remove(file + u".bat"_s) && QFile::remove(pieceName(file, 3)));
        rig.click("cmdJoin");
        QCOMPARE(rig.label("lblFileCount"), u"Join Count: Incomplete Set"_s);
        QCOMPARE(rig.p.messenger.count(), 1);
        QVERIFY(rig.p.messenger.last().text.contains(u"have no batch file"_s));
        QCOMPARE(readBytes(file), bytes);

        rig.click("cmdSplit");
        QVERIFY(rig.waitIdle());
        QVERIFY(writeBytes(file, "other"));
        rig.p.messenger.answer(MessageAnswer::Yes);
        rig.click("cmdJoin");
        QVERIFY(rig.waitIdle());
        QCOMPARE(readBytes(file), bytes);
        QCOMPARE(filesIn(rig.work.path()), QStringList{u"data.bin"_s});
    }

    // A backup through the window replaces an older copy; a restore looks for both copies and checks
    // the database copy before it asks anything, and restores what the user confirms.
    void backupThenRestore_data()
    {
        QTest::addColumn<QString>("copies"); // what the folder holds at the restore
        QTest::addColumn<bool>("database");  // "Tarvo database" checked
        QTest::addColumn<QList<MessageAnswer>>("answers");
        QTest::addColumn<QStringList>("messages"); // their beginnings
        QTest::addColumn<QString>("restored");
        const QString askDatabase = u"Restore Tarvo database dated "_s;
        const QString askIni = u"Restore Tarvo INI file dated "_s;
        const QString unusable = u"Cannot open the Tarvo database \""_s;
        using A = QList<MessageAnswer>;
        const A ok{MessageAnswer::Ok, MessageAnswer::Ok};
        // clang-format off
        QTest::newRow("both") << u"both"_s << true << ok
            << QStringList{askDatabase, askIni, u"Tarvo database and Tarvo INI file restoration completed !"_s} << u"both"_s;
        QTest::newRow("INI copy missing") << u"database"_s << true << ok
            << QStringList{u"Backup Tarvo INI file not found!"_s} << QString();
        QTest::newRow("both cancelled") << u"both"_s << true << A{MessageAnswer::Cancel, MessageAnswer::Cancel}
            << QStringList{askDatabase, askIni} << QString();
        QTest::newRow("database only") << u"both"_s << true << A{MessageAnswer::Ok, MessageAnswer::Cancel}
            << QStringList{askDatabase, askIni, u"Tarvo database restoration completed !"_s} << u"database"_s;
        QTest::newRow("INI only") << u"ini"_s << false << ok
            << QStringList{askIni, u"Tarvo INI file restoration completed !"_s} << u"ini"_s;
        QTest::newRow("text as the database copy") << u"text"_s << true << ok << QStringList{unusable} << QString();
        QTest::newRow("old Jet file as the database copy") << u"jet"_s << true << ok << QStringList{unusable}
            << QString();
        // clang-format on
    }
    void backupThenRestore()
    {
        QFETCH(QString, copies);
        QFETCH(bool, database);
        QFETCH(QList<MessageAnswer>, answers);
        QFETCH(QStringList, messages);
        QFETCH(QString, restored);
        BackupRig rig;
        // An older copy shown in the file box from the command line.
        const QString folder = rig.backup.path() + u"/"_s;
        const QString databaseCopy = folder + BackupDatabaseFileName;
        QVERIFY(writeBytes(databaseCopy, QByteArray(3 * PieceSize, 'o')));
        rig.p.program.CommandLineFile = databaseCopy;
        rig.open();
        rig.click("cmdBackup");
        QCOMPARE(rig.p.messenger.last().text,
                 u"Backup Tarvo database and Tarvo INI file to %1 completed successfully."_s.arg(folder));
        QCOMPARE(rig.p.context.ReadINI(u"Backup"_s, u"BackupLocation"_s), folder);
        QCOMPARE(rig.text("txtFileName"), databaseCopy);
        QVERIFY(!rig.enabled("cmdBackup") && rig.enabled("cmdRestore"));
        QCOMPARE(filesIn(rig.backup.path()), (QStringList{IniFileName, BackupDatabaseFileName}));

        if (copies == u"database")
            QVERIFY(QFile::remove(folder + IniFileName));
        else if (copies == u"ini")
            QVERIFY(QFile::remove(databaseCopy));
        else if (copies == u"text")
            QVERIFY(writeBytes(databaseCopy, "not a database"));
        else if (copies == u"jet")
            QVERIFY(writeBytes(databaseCopy,
                               QByteArray("\0\1\0\0Standard Jet DB\0", 20) + QByteArray(2000, '\0')));
        rig.box("chkBackupDB")->setChecked(database);
        // Changes made after the backup go with a restore.
        QVERIFY(execSql(rig.p.database.handle(), u"UPDATE UserID SET UserID = 'changed'"_s));
        rig.p.context.WriteINI(u"Web"_s, u"MainURL"_s, u"http://127.0.0.1/changed"_s);
        const QByteArray live = readBytes(rig.p.databasePath());
        rig.p.messenger.clear();
        for (MessageAnswer answer : answers)
            rig.p.messenger.answer(answer);
        rig.click("cmdRestore");

        const QStringList texts = rig.p.messenger.texts();
        QCOMPARE(texts.size(), messages.size());
        for (int i = 0; i < texts.size(); ++i)
            QVERIFY2(texts.at(i).startsWith(messages.at(i)), qPrintable(texts.at(i)));
        const bool databaseBack = restored == u"both" || restored == u"database";
        QCOMPARE(rig.firstUser(), databaseBack ? u"admin"_s : u"changed"_s);
        if (!databaseBack)
            QCOMPARE(readBytes(rig.p.databasePath()), live);
        QCOMPARE(rig.p.context.ReadINI(u"Web"_s, u"MainURL"_s).isEmpty(),
                 restored == u"both" || restored == u"ini");
        // After a restore asked for, Backup and Restore wait for another folder.
        const bool asked = messages.first().startsWith(u"Restore"_s);
        QCOMPARE(rig.enabled("cmdRestore"), !asked);
    }

    // A damaged database is never backed up, whether a page was overwritten or an index no longer
    // matches its table (which only SQLite's full check finds): the copy is checked before it replaces
    // anything. The earlier backup stays byte for byte, no temporary stays, the INI part and the folder's
    // recording do not run, and the window shows the damage instead of a success.
    void aDamagedDatabaseIsNeverBackedUp_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("earlier"); // a sound backup in the folder
        QTest::newRow("overwritten page, over a sound backup") << u"page"_s << true;
        QTest::newRow("index unlike its table, first backup") << u"index"_s << false;
    }
    void aDamagedDatabaseIsNeverBackedUp()
    {
        QFETCH(QString, damage);
        QFETCH(bool, earlier);
        BackupRig rig;
        const QString live = rig.p.databasePath();
        const QString copy = rig.backup.filePath(BackupDatabaseFileName);
        QVERIFY(test::addRecords(rig.p.database.handle(), 3000));
        if (earlier)
            QVERIFY(rig.p.databaseService.copyTo(copy));
        const QByteArray sound = readBytes(copy);
        rig.p.databaseService.close();
        if (damage == u"page") {
            QFile file(live);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(file.size() / 2 / 4096 * 4096));
            QCOMPARE(file.write(test::patternBytes(4096)), 4096);
        } else {
            const QString name = *openDatabaseFile(live);
            {
                // Gone before its connection is removed, which would otherwise still be in use.
                const QSqlDatabase db = QSqlDatabase::database(name, false);
                QVERIFY(execSql(db, u"PRAGMA writable_schema = ON"_s));
                QVERIFY(execSql(db, u"UPDATE sqlite_master SET sql = replace(sql, '(\"StaffNo\")', "
                                    "'(\"Name\")') WHERE name = 'IP_Info_StaffNo'"_s));
            }
            closeDatabaseFile(name);
        }
        // The damaged database still opens.
        QVERIFY(rig.p.openDatabase());
        rig.open();
        rig.click("cmdBackup");

        QCOMPARE(rig.p.messenger.count(), 1);
        const Message& shown = rig.p.messenger.last();
        QVERIFY2(shown.text.startsWith(u"The Tarvo database \"%1\" is damaged ("_s.arg(live)),
                 qPrintable(shown.text));
        QVERIFY2(
            shown.text.contains(damage == u"page" ? u"Page "_s : u"missing from index IP_Info_StaffNo"_s),
            qPrintable(shown.text));
        QCOMPARE(shown.text.endsWith(u", and the earlier copy there was kept."_s), earlier);
        QCOMPARE(shown.title, MessageTitle::ErrorBang3);
        QCOMPARE(shown.icon, MessageIcon::Critical);
        QCOMPARE(filesIn(rig.backup.path()), earlier ? QStringList{BackupDatabaseFileName} : QStringList());
        QCOMPARE(readBytes(copy), sound);
        QCOMPARE(rig.p.context.ReadINI(u"Backup"_s, u"BackupLocation"_s), rig.backup.path());
        QVERIFY(rig.enabled("cmdBackup"));
    }

    // Backup and Restore follow the window's states: a split or join that ends turns on only what the
    // last backup, restore or Browse allowed. A split without a file manager says so, naming the folder.
    void splitAndJoinKeepTheBackupStates()
    {
        BackupRig rig;
        rig.open();
        rig.click("cmdBackup");
        QVERIFY(!rig.enabled("cmdBackup") && rig.enabled("cmdRestore"));
        rig.p.shell.openSucceeds = false;
        rig.click("cmdSplit");
        QVERIFY(rig.waitIdle());
        QVERIFY(!rig.enabled("cmdBackup") && rig.enabled("cmdRestore"));
        const QString folder = QFileInfo(rig.text("txtFileName")).absolutePath();
        QCOMPARE(rig.p.messenger.last().text,
                 u"Cannot open \"%1\": the desktop has no program that opens it."_s.arg(folder));

        rig.click("cmdRestore");
        QCOMPARE(rig.p.messenger.last().text, u"Tarvo database and Tarvo INI file restoration completed !"_s);
        rig.p.messenger.answer(MessageAnswer::Yes);
        rig.click("cmdJoin");
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.label("lblFileCount"), u"File Count: Finished (1 Files)"_s);
        QVERIFY(!rig.enabled("cmdBackup") && !rig.enabled("cmdRestore"));
        rig.browse(rig.backup.path());
        QVERIFY(rig.enabled("cmdBackup") && rig.enabled("cmdRestore"));
    }

    // A copy of Tarvo.ini goes through a temporary that the clean-up knows: what a killed copy left
    // (here as a process that has ended names it) goes at the next copy into the folder.
    void aKilledIniCopyLeavesNothingForGood()
    {
        BackupRig rig;
        rig.open();
        QString left = ReplacingFile::newTemporaryPath(rig.backup.filePath(IniFileName));
        const QString pid = u"-%1-"_s.arg(QCoreApplication::applicationPid());
        left.replace(left.lastIndexOf(pid), pid.size(), u"-4194305-"_s);
        QVERIFY(writeBytes(left, "part of a copy"));
        rig.box("chkBackupDB")->setChecked(false);
        rig.click("cmdBackup");
        QCOMPARE(rig.p.messenger.last().title, u"Backup completed"_s);
        QCOMPARE(filesIn(rig.backup.path()), QStringList{IniFileName});
    }

    // The database work runs off the window's thread: while another workstation's lock holds it up, the
    // event loop keeps running, the window shows that it is busy, and other database work is refused
    // with what is under way. Once the lock goes, the operation ends with its usual message.
    void theProgramStaysAliveDuringDatabaseWork_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("message");
        QTest::newRow("backup") << u"backup"_s << u"A backup is under way."_s << u"copied"_s
                                << u"Backup Tarvo database"_s;
        QTest::newRow("restore") << u"restore"_s << u"A restore is under way."_s << u"restored"_s
                                 << u"Tarvo database"_s;
        QTest::newRow("compaction") << u"compact"_s << QString() << u"compacted"_s
                                    << u"Tarvo database compacted"_s;
    }
    void theProgramStaysAliveDuringDatabaseWork()
    {
        QFETCH(QString, operation);
        QFETCH(QString, reason);
        QFETCH(QString, refused);
        QFETCH(QString, message);
        BackupRig rig;
        rig.open();
        rig.box("chkBackupINI")->setChecked(false);
        if (operation == u"restore")
            rig.click("cmdBackup");
        // Another workstation writes; the operation waits for it.
        const QString other = *openDatabaseFile(rig.p.databasePath());
        QSqlDatabase otherDb = QSqlDatabase::database(other, false);
        QVERIFY(execSql(otherDb, u"BEGIN EXCLUSIVE"_s));
        int ticks = 0;
        QString windowBusy;
        QString refusal;
        bool buttonsOff = false;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (++ticks != 20)
                return;
            windowBusy = rig.window->busyReason();
            buttonsOff = !rig.enabled("cmdBackup") && !rig.enabled("cmdRestore") && !rig.enabled("cmdTutup");
            bool inUse = false;
            refusal = rig.p.databaseService.compact(&inUse).error();
            refusal += inUse ? u" in use"_s : QString();
            QVERIFY(execSql(otherDb, u"COMMIT"_s));
        });
        timer.start(1);
        if (operation == u"backup")
            rig.click("cmdBackup");
        else if (operation == u"restore")
            rig.click("cmdRestore");
        else
            QVERIFY(CompressDatabase(rig.p.context, rig.window.get()));
        QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks)));
        otherDb = QSqlDatabase();
        closeDatabaseFile(other);
        QVERIFY2(rig.p.messenger.last().text.startsWith(message), qPrintable(rig.p.messenger.last().text));
        QCOMPARE(refusal, u"The Tarvo database is being %1. in use"_s.arg(refused));
        if (!reason.isEmpty()) {
            QCOMPARE(windowBusy, reason);
            QVERIFY(buttonsOff);
        }
        QVERIFY(rig.window->busyReason().isEmpty());
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
        rig.click("cmdBackup");
        QCOMPARE(rig.p.messenger.last().text, message);
        QCOMPARE(rig.p.messenger.last().icon, MessageIcon::Exclamation);
        QCOMPARE(readBytes(rig.p.program.DatabasePath), live);
        if (way != u"root")
            QCOMPARE(rig.text("txtPath"), rig.backup.path() + u"/"_s);
        QVERIFY(!QFileInfo::exists(QDir(program).filePath(BackupDatabaseFileName)));
        QVERIFY(rig.p.context.ReadINI(u"Backup"_s, u"BackupLocation"_s) == rig.backup.path());
    }
};

QTEST_MAIN(BackupWindowTest)
#include "BackupWindowTest.moc"
