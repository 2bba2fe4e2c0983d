#include "maintenance/frmBackupDB.h"

#include "core/AppContext.h"
#include "core/BackgroundWork.h"
#include "core/DatabaseChangeConsent.h"
#include "core/DatabaseService.h"
#include "core/FileDialogs.h"
#include "core/Messenger.h"
#include "core/ProgramFolder.h"
#include "core/WidgetParts.h"
#include "core/WindowRegistry.h"
#include "maintenance/FilePieces.h"
#include "maintenance/NamedWidget.h"
#include "maintenance/SplitFileVerb.h"
#include "maintenance/SplitJoinPanel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {

const QString SettingsSection = QStringLiteral("Settings");
const QString SoftwareBase = QStringLiteral("SOFTWARE");

// What the completion messages name.
QString partsText(bool database, bool ini)
{
    return database && ini ? QStringLiteral("Tarvo database and Tarvo INI file")
           : database      ? QStringLiteral("Tarvo database")
                           : QStringLiteral("Tarvo INI file");
}

} // namespace

frmBackupDB::frmBackupDB(const AppContext& context, Registry registry, QWidget* parent)
    : QWidget(parent), m_context(context), m_registry(std::move(registry)), m_files(context)
{
    buildControls();
    Form_Load();
}

frmBackupDB::~frmBackupDB() = default;

void frmBackupDB::buildControls()
{
    setObjectName(QStringLiteral("frmBackupDB"));
    setWindowTitle(QStringLiteral("Backup & Restore"));

    Label1 = named(new QLabel(QStringLiteral("Utility to backup Tarvo INI file and Tarvo database. Use split "
                                             "utility to copy to Floppy Disk."),
                              this),
                   "Label1");
    Label1->setWordWrap(true);

    FrameFolder = named(new QGroupBox(QStringLiteral("Backup/Restore Folder : "), this), "FrameFolder");
    txtPath = makeField("txtPath", FrameFolder);
    txtPath->setEnabled(false);
    cmdDirektori = makeButton(QStringLiteral("Browse"), "cmdDirektori", FrameFolder);
    chkBackupDB = named(new QCheckBox(QStringLiteral("Tarvo database"), FrameFolder), "chkBackupDB");
    chkBackupDB->setChecked(true);
    chkBackupINI = named(new QCheckBox(QStringLiteral("Tarvo INI file"), FrameFolder), "chkBackupINI");
    chkBackupINI->setChecked(true);
    cmdBackup = makeButton(QStringLiteral("Backup"), "cmdBackup", this);
    cmdRestore = makeButton(QStringLiteral("Restore"), "cmdRestore", this);
    cmdTutup = makeButton(QStringLiteral("Close"), "cmdTutup", this);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(txtPath, 1);
    folderRow->addWidget(cmdDirektori);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(chkBackupDB);
    boxes->addWidget(chkBackupINI);
    boxes->addStretch();
    auto* folderLayout = new QVBoxLayout(FrameFolder);
    folderLayout->addLayout(folderRow);
    folderLayout->addLayout(boxes);

    m_splitJoin = new SplitJoinPanel(m_context, this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(FrameFolder);
    layout->addLayout(buttonRow({cmdBackup, cmdRestore, cmdTutup}));
    layout->addSpacing(6);
    layout->addWidget(m_splitJoin);
    resize(560, layout->sizeHint().height());

    connect(cmdDirektori, &QPushButton::clicked, this, &frmBackupDB::cmdDirektori_Click);
    connect(cmdBackup, &QPushButton::clicked, this, &frmBackupDB::cmdBackup_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &frmBackupDB::cmdRestore_Click);
    connect(cmdTutup, &QPushButton::clicked, this, &frmBackupDB::cmdTutup_Click);
    // While a split, join or copy runs, nothing else of the window may start.
    connect(m_splitJoin, &SplitJoinPanel::runningChanged, this, &frmBackupDB::applyButtonStates);
}

void frmBackupDB::applyButtonStates()
{
    const bool splitting = !m_splitJoin->busyReason().isEmpty();
    const bool idle = m_operation.isEmpty() && !splitting;
    for (QWidget* part : std::initializer_list<QWidget*>{FrameFolder, cmdTutup})
        part->setEnabled(idle);
    m_splitJoin->setEnabled(m_operation.isEmpty());
    cmdBackup->setEnabled(idle && m_backupAllowed);
    cmdRestore->setEnabled(idle && m_restoreAllowed && m_context.session().isSystemAdministrator());
}

DbOutcome frmBackupDB::runBusy(const QString& reason, const std::function<DbOutcome()>& work)
{
    m_operation = reason;
    applyButtonStates();
    const BusyCursor busy;
    DbOutcome outcome = work();
    m_operation.clear();
    applyButtonStates();
    return outcome;
}

void frmBackupDB::allowBackupAndRestore(bool backup, bool restore)
{
    m_backupAllowed = backup;
    m_restoreAllowed = restore;
    applyButtonStates();
}

void frmBackupDB::Form_Load()
{
    ProgramState& program = m_context.mutableProgram();
    program.INIPath = joinPath(program.ProgramFolder, IniFileName);
    if (!chooseFolderAtLoad()) {
        allowBackupAndRestore(false, true);
        return;
    }
    allowBackupAndRestore(true, true);
    registerSplitFileVerb(QCoreApplication::applicationFilePath());
    const QString commandLineFile = m_context.program().CommandLineFile;
    if (!commandLineFile.isEmpty() && QFileInfo(commandLineFile).isFile())
        m_splitJoin->setFileName(commandLineFile);
    loadOptions();
}

bool frmBackupDB::chooseFolderAtLoad()
{
    QString folder = m_context.ReadINI(QStringLiteral("Backup"), QStringLiteral("BackupLocation"));
    while (folder.isEmpty()) {
        folder = BrowseForFolder(m_context.fileDialogs(), this, QStringLiteral("Browse for Backup Folder :"));
        if (folder.isEmpty() &&
            !m_context.messenger().confirm(this, QStringLiteral("Please select folder, Browse Again?"),
                                           QStringLiteral("No Path Selected"), MessageIcon::Question,
                                           MessageButtons::YesNo, MessageAnswer::Yes))
            return false;
    }
    setFolder(folder);
    m_lastAcceptedFolder = txtPath->text();
    return true;
}

void frmBackupDB::setFolder(const QString& folder)
{
    txtPath->setText(withTrailingSeparator(folder));
}

void frmBackupDB::loadOptions()
{
    const QString title = m_context.productTitle();
    auto read = [&](const char* name, bool fallback) {
        bool number = false;
        const int value = m_registry
                              .RegReadValue(title, SettingsSection, QString::fromLatin1(name),
                                            fallback ? QStringLiteral("1") : QStringLiteral("0"),
                                            RegistryRoot::CurrentUser, SoftwareBase)
                              .toString()
                              .toInt(&number);
        return number ? value != 0 : fallback;
    };
    m_splitJoin->setOptions(
        {read("DeleteParts", true), read("OpenExplorer", true), read("CopyToFloppy", false)});
}

void frmBackupDB::saveOptions() const
{
    const QString title = m_context.productTitle();
    const SplitOptions options = m_splitJoin->options();
    auto write = [&](const char* name, const QString& value) {
        m_registry.RegWriteValue(title, SettingsSection, QString::fromLatin1(name), value,
                                 RegistryRoot::CurrentUser, SoftwareBase);
    };
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    write("SplitSize", QString::number(PieceSizeKB));
    write("DeleteParts", flag(options.deleteParts));
    write("OpenExplorer", flag(options.openExplorer));
    write("CopyToFloppy", flag(options.copyToFloppy));
}

QString frmBackupDB::busyReason() const
{
    if (!m_operation.isEmpty())
        return m_operation;
    return m_splitJoin->busyReason();
}

void frmBackupDB::closeEvent(QCloseEvent* event)
{
    if (const QString reason = busyReason(); !reason.isEmpty()) {
        m_context.messenger().inform(this, reason, MessageTitle::Information, MessageIcon::Information);
        event->ignore();
        return;
    }
    saveOptions();
    event->accept();
}

void frmBackupDB::cmdDirektori_Click()
{
    const QString folder =
        BrowseForFolder(m_context.fileDialogs(), this, QStringLiteral("Choose Backup Folder :"));
    if (folder.isEmpty())
        return;
    setFolder(folder);
    allowBackupAndRestore(true, true);
}

void frmBackupDB::cmdBackup_Click()
{
    const bool database = chkBackupDB->isChecked();
    const bool ini = chkBackupINI->isChecked();
    if (!database && !ini)
        return;
    const QString folder = txtPath->text();
    if (refuseBackup(m_files.checkBackup(folder, database, ini)))
        return;
    const DbOutcome copied = runBusy(QStringLiteral("A backup is under way."), [&] {
        if (database) {
            if (auto done = m_files.backupDatabase(folder); !done)
                return done;
            SaveBackupLocation();
        }
        if (ini) {
            if (auto done = m_files.backupIni(folder); !done)
                return done;
            SaveBackupLocation();
        }
        return DbOutcome::success();
    });
    if (!copied)
        return showFailure(copied);
    m_lastAcceptedFolder = folder;
    allowBackupAndRestore(false, true);
    m_context.messenger().inform(
        this, QStringLiteral("Backup %1 to %2 completed successfully.").arg(partsText(database, ini), folder),
        QStringLiteral("Backup completed"), MessageIcon::Information);
    m_splitJoin->setFileName(database ? BackupFiles::databaseCopy(folder) : QString());
}

bool frmBackupDB::refuseBackup(BackupFiles::Refusal refusal)
{
    QString text;
    switch (refusal) {
    case BackupFiles::Refusal::None:
        return false;
    case BackupFiles::Refusal::NoFolder:
        showFailure(
            DbOutcome::failure(QStringLiteral("The folder \"%1\" does not exist").arg(txtPath->text())));
        return true;
    case BackupFiles::Refusal::RootFolder:
        text = QStringLiteral("Backup to / root folder is not allowed! Please choose other folder.");
        break;
    case BackupFiles::Refusal::DatabaseItself:
        text = QStringLiteral("Backup to Tarvo database folder is not allowed !");
        txtPath->setText(m_lastAcceptedFolder);
        break;
    case BackupFiles::Refusal::ApplicationItself:
        text = QStringLiteral("Backup to Tarvo application folder is not allowed !");
        txtPath->setText(m_lastAcceptedFolder);
        break;
    }
    m_context.messenger().inform(this, text, MessageTitle::ErrorBang3, MessageIcon::Exclamation);
    return true;
}

void frmBackupDB::showFailure(const DbOutcome& failure)
{
    m_context.messenger().inform(this, withFullStop(failure.error()), MessageTitle::ErrorBang3,
                                 MessageIcon::Critical);
}

void frmBackupDB::cmdRestore_Click()
{
    const bool database = chkBackupDB->isChecked();
    const bool ini = chkBackupINI->isChecked();
    if ((!database && !ini) || !m_context.session().isSystemAdministrator())
        return;
    const QString folder = txtPath->text();
    const QString databaseCopy = BackupFiles::databaseCopy(folder);
    const QString iniCopy = BackupFiles::iniCopy(folder);
    // Both copies are looked for, and the database copy given SQLite's quick check, before anything is
    // asked; the restore itself runs the full check on the copy before the copy is kept.
    auto missing = [&](bool wanted, const QString& copy, const QString& text) {
        if (!wanted || (!folder.isEmpty() && QFileInfo(copy).isFile()))
            return false;
        m_context.messenger().inform(this, text, QString(), MessageIcon::None);
        return true;
    };
    if (missing(database, databaseCopy, QStringLiteral("Backup Tarvo database not found!")) ||
        missing(ini, iniCopy, QStringLiteral("Backup Tarvo INI file not found!")))
        return;
    const QString reason = QStringLiteral("A restore is under way.");
    if (database) {
        if (auto sound = runBusy(reason,
                                 [&databaseCopy] {
                                     return runInBackground<DbOutcome>(
                                         [databaseCopy] { return verifyDatabaseFile(databaseCopy); });
                                 });
            !sound)
            return showFailure(sound);
    }
    auto confirmed = [&](bool wanted, const QString& what, const QString& copy) {
        return wanted &&
               m_context.messenger().confirm(this,
                                             QStringLiteral("Restore %1 dated %2 ?")
                                                 .arg(what, formatDateTime(QFileInfo(copy).lastModified())),
                                             QStringLiteral("Confirm Restore"), MessageIcon::None,
                                             MessageButtons::OkCancel, MessageAnswer::Ok);
    };
    // A busy window, or edits the user keeps, skip the database part as Cancel on its question does; the
    // INI part still runs.
    DatabaseChangeConsent consent(m_context);
    const bool restoreDatabase = confirmed(database, QStringLiteral("Tarvo database"), databaseCopy) &&
                                 consent.obtain(this, DatabaseChanges::Restore);
    const bool restoreIni = confirmed(ini, QStringLiteral("Tarvo INI file"), iniCopy);
    const DbOutcome restored = runBusy(reason, [&] {
        if (restoreDatabase) {
            if (auto done = m_files.restoreDatabase(folder); !done)
                return done;
        }
        if (restoreIni)
            return m_files.restoreIni(folder);
        return DbOutcome::success();
    });
    if (!restored)
        return showFailure(restored);
    if (restoreDatabase || restoreIni)
        m_context.messenger().inform(
            this, partsText(restoreDatabase, restoreIni) + QStringLiteral(" restoration completed !"),
            QString(), MessageIcon::None);
    // Backup and Restore wait for the next Browse.
    allowBackupAndRestore(false, false);
}

void frmBackupDB::cmdTutup_Click()
{
    closeWindowOf(this);
}

void frmBackupDB::SaveBackupLocation()
{
    m_context.WriteINI(QStringLiteral("Backup"), QStringLiteral("BackupLocation"), txtPath->text());
}

} // namespace tarvo
