// The backup window driven as a user does: its folder, its options, and the split and join of its
// lower half.

#include "MaintenanceTestKit.h"

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

    void missingAndEmptyFilesAreReported()
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

        QVERIFY(QFile::remove(file));
        rig.p.messenger.clear();
        rig.click(u"cmdSplit"_s); // still enabled from the estimate
        QCOMPARE(rig.p.messenger.texts(), QStringList{u"File Not Found (%1)"_s.arg(file)});
        QVERIFY(!rig.enabled(u"cmdSplit"_s));
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
};

QTEST_MAIN(BackupWindowTest)
#include "BackupWindowTest.moc"
