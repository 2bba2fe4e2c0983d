#include "maintenance/frmBackupDB.h"

#include "core/AppContext.h"
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

} // namespace

frmBackupDB::frmBackupDB(const AppContext& context, Registry registry, QWidget* parent)
    : QWidget(parent), m_context(context), m_registry(std::move(registry))
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
    connect(cmdTutup, &QPushButton::clicked, this, &frmBackupDB::cmdTutup_Click);
    // While a split, join or copy runs, nothing else of the window may start.
    connect(m_splitJoin, &SplitJoinPanel::runningChanged, this, [this](bool running) {
        for (QWidget* part : std::initializer_list<QWidget*>{FrameFolder, cmdBackup, cmdRestore, cmdTutup})
            part->setEnabled(!running);
        applyRestoreRule();
    });
}

void frmBackupDB::Form_Load()
{
    ProgramState& program = m_context.mutableProgram();
    program.INIPath = joinPath(program.ProgramFolder, IniFileName);
    applyRestoreRule();
    if (!chooseFolderAtLoad()) {
        cmdBackup->setEnabled(false);
        return;
    }
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

void frmBackupDB::applyRestoreRule()
{
    if (!m_context.session().isSystemAdministrator())
        cmdRestore->setEnabled(false);
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
    cmdBackup->setEnabled(true);
    cmdRestore->setEnabled(m_context.session().isSystemAdministrator());
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
