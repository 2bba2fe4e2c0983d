#include "core/frmChangeFolder.h"

#include "core/AppContext.h"
#include "core/DatabaseChangeConsent.h"
#include "core/DatabaseFiles.h"
#include "core/DatabaseLocation.h"
#include "core/DatabaseService.h"
#include "core/FileDialogs.h"
#include "core/Messenger.h"
#include "core/PendingWrites.h"
#include "core/ProgramFolder.h"
#include "core/WidgetParts.h"

#include <QApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {

QPushButton* namedButton(const QString& name, const QString& caption, const QString& toolTip, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    return button;
}

// The hourglass while a copy runs.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

frmChangeFolder::frmChangeFolder(const AppContext& context, QWidget* parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmChangeFolder"));
    setWindowTitle(QStringLiteral("Move database ..."));
    setModal(true);

    auto* note = new QLabel(
        QStringLiteral("By default the Tarvo software and Tarvo database installs into the \"") +
            context.program().ProgramFolder +
            QStringLiteral("\" folder. If you are accidently Uninstall Tarvo software, Tarvo "
                           "database also will be removed. Therefore, moving Tarvo database (") +
            DatabaseFileName + QStringLiteral(") to other folder or network folder is highly recommended."),
        this);
    note->setObjectName(QStringLiteral("Label1"));
    note->setWordWrap(true);

    auto* frame = new QGroupBox(QStringLiteral("Folder : "), this);
    frame->setObjectName(QStringLiteral("FrameFolder"));
    m_path = new QLineEdit(frame);
    m_path->setObjectName(QStringLiteral("txtPath"));
    m_path->setReadOnly(true);
    auto* browse = namedButton(QStringLiteral("cmdDirektori"), QStringLiteral("Browse"),
                               QStringLiteral("Browse for folder"), frame);
    auto* folderRow = new QHBoxLayout(frame);
    folderRow->addWidget(m_path, 1);
    folderRow->addWidget(browse);

    m_move = namedButton(QStringLiteral("cmdMoveDatabase"), QStringLiteral("Move Database"),
                         QStringLiteral("Move Tarvo database to other folder"), this);
    m_move->setEnabled(false);
    auto* map = namedButton(QStringLiteral("cmdMapNetwork"), QStringLiteral("Map Network Drive"),
                            QStringLiteral("Map Network Drive"), this);
    m_close =
        namedButton(QStringLiteral("cmdTutup"), QStringLiteral("Cancel"), QStringLiteral("Cancel"), this);

    connect(browse, &QPushButton::clicked, this, &frmChangeFolder::cmdDirektori_Click);
    connect(m_move, &QPushButton::clicked, this, &frmChangeFolder::cmdMoveDatabase_Click);
    connect(map, &QPushButton::clicked, this, &frmChangeFolder::cmdMapNetwork_Click);
    connect(m_close, &QPushButton::clicked, this, &frmChangeFolder::cmdTutup_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_move);
    buttons->addWidget(map);
    buttons->addStretch();
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    setMinimumWidth(520);
    // The folder is chosen with Browse; the path box only shows it.
    browse->setFocus();
}

void frmChangeFolder::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // On the first run it opens before the main window is shown; rather than centred on the place of
    // that unseen window, it stands in the middle of the screen.
    if (parentWidget() && !parentWidget()->window()->isVisible())
        centreOnScreen(this);
}

void frmChangeFolder::cmdDirektori_Click()
{
    const QString folder =
        BrowseForFolder(m_context.fileDialogs(), this, QStringLiteral("Choose Folder :"), 1);
    if (folder.isEmpty())
        return;
    m_folder = folder;
    m_path->setText(withTrailingSeparator(folder));
    m_move->setEnabled(true);
}

void frmChangeFolder::cmdMoveDatabase_Click()
{
    const QString target = joinPath(m_folder, DatabaseFileName);
    const bool alreadyThere = isSameFile(m_context.program().DatabasePath, target);
    if (!alreadyThere && QFileInfo::exists(target) &&
        !m_context.messenger().confirm(this,
                                       QStringLiteral("Tarvo database already exist in ") + m_path->text() +
                                           QStringLiteral(" folder. Are you sure to REPLACE Tarvo database?"),
                                       QStringLiteral("Replace Database"), MessageIcon::None,
                                       MessageButtons::OkCancel, MessageAnswer::Ok))
        return;
    if (!moveDatabase(target, alreadyThere))
        return;

    m_move->setEnabled(false);
    m_close->setText(QStringLiteral("OK"));
    m_close->setFocus();
}

bool frmChangeFolder::moveDatabase(const QString& target, bool alreadyThere)
{
    // Edits the user agrees to drop go only once the moved database is in use.
    DatabaseChangeConsent consent(m_context);
    if (!consent.obtain(this, DatabaseChanges::Move))
        return false;
    DbOutcome copied = DbOutcome::success();
    if (!alreadyThere) {
        const WaitCursor wait;
        // Should the program be killed during the copy, the next start removes what it left there.
        const PendingWrite pending(m_context.program().ProgramFolder, folderOf(target));
        // The window's events flow while the copy runs: another folder chosen meanwhile would be
        // recorded for a copy that went elsewhere, and a closed dialog would leave the copy half done.
        m_copying = true;
        setEnabled(false);
        copied = m_context.databaseService().copyTo(target);
        setEnabled(true);
        m_copying = false;
    }
    if (!copied) {
        // The copy's failure as a sentence of its own, then a line that says the database stays open.
        m_context.messenger().inform(
            this, withFullStop(copied.error()) + QStringLiteral("\r\n\r\nTarvo database was open."),
            QStringLiteral("Error !!!"), MessageIcon::Critical);
        return false;
    }

    // The copy becomes the database in use only once its folder is recorded, so that the next start
    // finds the database that this run writes to. The original stays where it was.
    const DatabaseLocator locator(m_context);
    const QString previous = configuredDatabaseLocation(m_context);
    if (auto recorded = locator.recordLocation(m_folder); !recorded) {
        m_context.messenger().inform(
            this, recorded.error() + QStringLiteral(" The database in use was not changed."),
            QStringLiteral("Error !!!"), MessageIcon::Critical);
        return false;
    }
    if (auto live = m_context.databaseService().switchTo(target); !live) {
        locator.recordLocation(previous);
        m_context.messenger().inform(this, live.error(), QStringLiteral("Error !!!"), MessageIcon::Critical);
        return false;
    }
    return true;
}

void frmChangeFolder::cmdMapNetwork_Click()
{
    m_context.messenger().inform(
        this,
        QStringLiteral("To use a network folder, mount the network share on this computer "
                       "(for example with your file manager), then choose its folder "
                       "with Browse."),
        QStringLiteral("Map Network Drive"), MessageIcon::Information);
}

void frmChangeFolder::reject()
{
    if (!m_copying)
        QDialog::reject();
}

void frmChangeFolder::cmdTutup_Click()
{
    accept();
}

} // namespace tarvo
