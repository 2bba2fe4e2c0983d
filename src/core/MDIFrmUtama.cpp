#include "core/MDIFrmUtama.h"

#include "core/AppContext.h"
#include "core/DatabaseChangeConsent.h"
#include "core/DatabaseFiles.h"
#include "core/DatabaseSchema.h"
#include "core/DatabaseService.h"
#include "core/MainCommands.h"
#include "core/Messenger.h"
#include "core/ProductArt.h"
#include "core/ProgramFolder.h"
#include "core/Shell.h"
#include "core/Version.h"
#include "core/frmAbout.h"
#include "core/frmCariDB.h"
#include "core/frmChangeFolder.h"
#include "core/frmHelp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

namespace tarvo {

namespace {

// The three assignment commands share one assignment window.
int instanceSlot(WindowCommand command)
{
    switch (command) {
    case WindowCommand::AssignDedicatedIP:
    case WindowCommand::ScanNetwork:
        return static_cast<int>(WindowCommand::AssignNewIP);
    default:
        return static_cast<int>(command);
    }
}

const QString MainCaptionSuffix = QStringLiteral(" : Manage Your IP Address Standard & Inventory System");

// The size that shows the whole of a window's content: the size the window set for itself or its size
// hint, whichever is larger, and never less than its minimum size hint. A window without a hint keeps
// its size.
QSize contentSizeOf(const QWidget* window)
{
    QSize size = window->sizeHint().expandedTo(window->minimumSizeHint());
    if (window->testAttribute(Qt::WA_Resized) || !size.isValid())
        size = size.expandedTo(window->size());
    return size;
}

} // namespace

MDIFrmUtama::MDIFrmUtama(const AppContext& context, const WindowRegistry& registry,
                         SignInDialogRunner* signIn, QWidget* parent)
    : QMainWindow(parent), m_context(context), m_registry(registry), m_signIn(signIn)
{
    setObjectName(QStringLiteral("MDIFrmUtama"));
    setWindowTitle(context.productTitle() + MainCaptionSuffix);
    setWindowIcon(programIcon());

    m_area = new QMdiArea(this);
    m_area->setObjectName(QStringLiteral("mdiArea"));
    m_area->setBackground(QColor(0xab, 0xab, 0xab));
    setCentralWidget(m_area);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    statusBar()->addWidget(m_status, 1);

    buildMenus();
    buildToolbar();
    resize(1024, 720);
}

MDIFrmUtama::~MDIFrmUtama() = default;

void MDIFrmUtama::buildMenus()
{
    QMenuBar* bar = menuBar();
    auto topMenu = [&](const QString& name, const QString& caption) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name + QStringLiteral("Action"));
        return menu;
    };

    QMenu* file = topMenu(QStringLiteral("mnuOperasi"), QStringLiteral("&File"));
    addItem(file, QStringLiteral("mnuInputRekod"), QStringLiteral("Assign New IP Address"), [this] {
        assign(false, false);
    })->setEnabled(m_registry.has(WindowCommand::AssignNewIP));
    addItem(file, QStringLiteral("mnuDedicatedIP"), QStringLiteral("Assign Dedicated IP"), [this] {
        assign(true, false);
    })->setEnabled(m_registry.has(WindowCommand::AssignDedicatedIP));
    addWindowItem(file, QStringLiteral("mnuCarianRekod"), QStringLiteral("Search Record"),
                  WindowCommand::SearchRecord);
    addItem(file, QStringLiteral("mnuScanNetwork"), QStringLiteral("Scan Network"), [this] {
        assign(false, true);
    })->setEnabled(m_registry.has(WindowCommand::ScanNetwork));
    addSeparator(file, QStringLiteral("Hypen2"));
    addWindowItem(file, QStringLiteral("mnuTukarPassword"), QStringLiteral("Change Password"),
                  WindowCommand::ChangePassword);
    addItem(file, QStringLiteral("mnuTukarLogin"), QStringLiteral("Change Login"), [this] {
        mnuTukarLogin_Click();
    })->setEnabled(m_signIn != nullptr);
    addSeparator(file, QStringLiteral("Hypen3"));
    addItem(file, QStringLiteral("mnuKeluar"), QStringLiteral("Exit"), [this] { mnuKeluar_Click(); });

    QMenu* settings = topMenu(QStringLiteral("mnuSetting"), QStringLiteral("&Settings"));
    addWindowItem(settings, QStringLiteral("mnuIPAddressSetting"), QStringLiteral("IP Address Settings"),
                  WindowCommand::IPAddressSettings);
    addWindowItem(settings, QStringLiteral("mnuUnitDivision"), QStringLiteral("Unit / Division Settings"),
                  WindowCommand::UnitDivisionSettings);

    QMenu* report = topMenu(QStringLiteral("mnuReport"), QStringLiteral("&Report"));
    addWindowItem(report, QStringLiteral("mnuRptLocation"), QStringLiteral("Report by Location"),
                  WindowCommand::ReportByLocation);
    addWindowItem(report, QStringLiteral("mnuRptByDate"), QStringLiteral("Report by Date"),
                  WindowCommand::ReportByDate);

    QMenu* utility = topMenu(QStringLiteral("mnuUtiliti"), QStringLiteral("&Utility"));
    addWindowItem(utility, QStringLiteral("mnuMaklumatPengguna"), QStringLiteral("Tarvo User ID"),
                  WindowCommand::UserAccounts);
    addWindowItem(utility, QStringLiteral("mnuBackupRestore"), QStringLiteral("Backup/Restore"),
                  WindowCommand::BackupRestore);
    addWindowItem(utility, QStringLiteral("mnuAssignLog"), QStringLiteral("View Assign Log"),
                  WindowCommand::AssignLog);
    addSeparator(utility, QStringLiteral("hypen5"));
    addItem(utility, QStringLiteral("mnuWebPatch"), QStringLiteral("Web Patch"),
            [this] { mnuWebPatch_Click(); });
    addItem(utility, QStringLiteral("mnuHostWatch"), QStringLiteral("Host Watch"),
            [this] { mnuHostWatch_Click(); });
    addWindowItem(utility, QStringLiteral("mnuSubnetCalculator"), QStringLiteral("Subnet Calculator"),
                  WindowCommand::SubnetCalculator);
    addSeparator(utility, QStringLiteral("hypen1"));
    QMenu* database = utility->addMenu(QStringLiteral("Database"));
    database->setObjectName(QStringLiteral("mnuDatabase"));
    addItem(database, QStringLiteral("mnuChangeDBDir"), QStringLiteral("Change Directory"),
            [this] { mnuChangeDBDir_Click(); });
    addWindowItem(database, QStringLiteral("mnuCompactDB"), QStringLiteral("Compact Database"),
                  WindowCommand::CompactDatabase);

    QMenu* help = topMenu(QStringLiteral("mnuBantuan"), QStringLiteral("&Help"));
    addItem(help, QStringLiteral("mnuHelp"), QStringLiteral("Help"), [this] {
        mnuHelp_Click();
    })->setShortcut(QKeySequence::HelpContents);
    addItem(help, QStringLiteral("mnuLamanWeb"), QStringLiteral("Tarvo Intranet Web"), [this] {
        mnuLamanWeb_Click();
    })->setEnabled(false);
    addSeparator(help, QStringLiteral("Hypen8"));
    addItem(help, QStringLiteral("mnuWebPage"), QStringLiteral("Tarvo on the Web"),
            [this] { mnuWebPage_Click(); });
    addSeparator(help, QStringLiteral("hypen7"));
    addItem(help, QStringLiteral("mnuPerihal"), QStringLiteral("About Tarvo"),
            [this] { mnuPerihal_Click(); });
}

void MDIFrmUtama::buildToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    for (const ToolbarButton& button : toolbarButtons()) {
        if (button.isSeparator()) {
            m_toolbar->addSeparator();
            continue;
        }
        QAction* tool = m_toolbar->addAction(toolbarIcon(button.key), button.toolTip);
        tool->setObjectName(button.key);
        tool->setToolTip(button.toolTip);
        const QString key = button.key;
        connect(tool, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        // A button is usable exactly when its menu item is.
        QAction* item = action(button.menuItem);
        tool->setEnabled(item->isEnabled());
        connect(item, &QAction::enabledChanged, tool, &QAction::setEnabled);
    }
    applyGroupRule();
    setWebPatchAvailable(true);
}

QAction* MDIFrmUtama::addItem(QMenu* menu, const QString& name, const QString& caption,
                              std::function<void()> handler)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    connect(item, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    return item;
}

QAction* MDIFrmUtama::addWindowItem(QMenu* menu, const QString& name, const QString& caption,
                                    WindowCommand command)
{
    QAction* item = addItem(menu, name, caption, [this, command] { runWindowCommand(command); });
    item->setEnabled(m_registry.has(command));
    return item;
}

void MDIFrmUtama::addSeparator(QMenu* menu, const QString& name)
{
    menu->addSeparator()->setObjectName(name);
}

QAction* MDIFrmUtama::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

bool MDIFrmUtama::start()
{
    Session& session = m_context.mutableSession();
    ProgramState& program = m_context.mutableProgram();

    // Offered at every start until the database has a folder of its own.
    if (m_context.ReadINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation")).isEmpty()) {
        frmChangeFolder changeFolder(m_context, this);
        changeFolder.exec();
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    show();
    setWindowTitle(m_context.productTitle() + MainCaptionSuffix);
    program.DatabaseFolder = folderOf(program.DatabasePath);
    updateStatusBar();
    session.LoginRegion.clear();
    session.ChangingLogin = false;
    QApplication::restoreOverrideCursor();

    if (m_signIn) {
        if (!m_signIn->runSignIn(this)) {
            m_context.exit().endProgram(0);
            return false;
        }
    } else {
        session.clear();
    }
    applyGroupRule();
    action(QStringLiteral("mnuLamanWeb"))
        ->setEnabled(!m_context.ReadINI(QStringLiteral("Web"), QStringLiteral("IntraURL")).isEmpty());
    m_version = versionText();
    m_context.WriteINI(QStringLiteral("Version"), QStringLiteral("Version"), m_version);
    return true;
}

void MDIFrmUtama::Toolbar1_ButtonClick(const QString& key)
{
    const QString menuItem = menuItemOfKey(key);
    if (menuItem.isEmpty())
        return;
    QAction* item = action(menuItem);
    if (item && item->isEnabled())
        item->trigger();
}

QString MDIFrmUtama::statusText() const
{
    return m_status->text();
}

void MDIFrmUtama::setMainCaption(const QString& caption)
{
    setWindowTitle(caption);
}

QString MDIFrmUtama::mainCaption() const
{
    return windowTitle();
}

void MDIFrmUtama::setUserAccountsEnabled(bool enabled)
{
    const bool usable = enabled && m_registry.has(WindowCommand::UserAccounts);
    action(QStringLiteral("mnuMaklumatPengguna"))->setEnabled(usable);
    if (QAction* button = action(QStringLiteral("mUserID")))
        button->setVisible(usable);
}

bool MDIFrmUtama::userAccountsEnabled() const
{
    return action(QStringLiteral("mnuMaklumatPengguna"))->isEnabled();
}

void MDIFrmUtama::setWebPatchAvailable(bool available)
{
    action(QStringLiteral("mnuWebPatch"))->setEnabled(available);
    if (QAction* button = action(QStringLiteral("mWebPatch")))
        button->setVisible(available);
}

QWidget* MDIFrmUtama::mainWidget()
{
    return this;
}

void MDIFrmUtama::closeEvent(QCloseEvent* event)
{
    // Each child window runs its own close handling first; one that stays open keeps the program.
    if (!closeChildWindows()) {
        event->ignore();
        return;
    }
    event->accept();
    // The database is closed by the program once its windows are gone.
    m_context.exit().endProgram(0);
}

void MDIFrmUtama::runWindowCommand(WindowCommand command)
{
    if (command == WindowCommand::UnitDivisionSettings) {
        // From the menu the unit window lets the user pick the place.
        UnitDivisionHandOver& handOver = m_context.unitDivisionHandOver();
        handOver.UnitDivFromMain = false;
        handOver.UnitDivFromInfo = false;
    }
    if (m_registry.isChild(command)) {
        showChild(command);
        return;
    }
    if (const WindowRegistry::DialogRunner runner = m_registry.dialog(command))
        runner(this);
}

void MDIFrmUtama::showChild(WindowCommand command)
{
    const int slot = instanceSlot(command);
    if (const OpenChild open = m_children.value(slot); open.window && open.window->isVisible()) {
        // A window opened for another command of the same slot (another mode of the assignment window)
        // opens anew in the mode asked for, unless it is busy.
        const BusyWindow* busy = dynamic_cast<const BusyWindow*>(open.window->widget());
        const bool sameCommand = open.command == command;
        if (sameCommand || (busy && !busy->busyReason().isEmpty()) || !open.window->close()) {
            bringForward(open.window);
            return;
        }
    }
    const WindowRegistry::ChildFactory factory = m_registry.child(command);
    if (!factory)
        return;
    QWidget* child = factory(m_area);
    if (!child)
        return;
    m_children.insert(slot, {addChildWindow(child), command});
}

QMdiSubWindow* MDIFrmUtama::addChildWindow(QWidget* child)
{
    const QSize content = contentSizeOf(child);
    QMdiSubWindow* sub = m_area->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(child->windowIcon().isNull() ? windowIcon() : child->windowIcon());
    // Large enough for its content within its frame (caption and borders), and wide enough to show the
    // whole caption beside the frame's buttons; never larger than the window area.
    QSize size = content.grownBy(sub->contentsMargins());
    const int captionWidth =
        sub->fontMetrics().horizontalAdvance(child->windowTitle()) + 4 * sub->fontMetrics().height() + 40;
    size.setWidth(qMax(size.width(), captionWidth));
    const QSize area = m_area->viewport()->size();
    if (m_area->isVisible())
        size = size.boundedTo(area);
    sub->resize(size);
    sub->move(qMax(0, (area.width() - sub->width()) / 2), qMax(0, (area.height() - sub->height()) / 2));
    sub->show();
    m_area->setActiveSubWindow(sub);
    m_windows.track(sub);
    return sub;
}

void MDIFrmUtama::bringForward(QMdiSubWindow* window)
{
    if (window->isMinimized())
        window->showNormal();
    m_area->setActiveSubWindow(window);
}

void MDIFrmUtama::showChildWindow(QWidget* window)
{
    addChildWindow(window);
}

void MDIFrmUtama::showOwnedWindow(QWidget* window)
{
    window->setParent(this, window->windowFlags() | Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (window->windowIcon().isNull())
        window->setWindowIcon(windowIcon());
    window->resize(contentSizeOf(window).boundedTo(screen()->availableSize()));
    window->move(geometry().center() - window->rect().center());
    window->show();
    window->raise();
    window->activateWindow();
    m_windows.track(window);
}

void MDIFrmUtama::assign(bool dedicated, bool scan)
{
    AssignmentModes& modes = m_context.mutableModes();
    modes.DedicatedMode = dedicated;
    modes.ScanMode = scan;
    runWindowCommand(scan        ? WindowCommand::ScanNetwork
                     : dedicated ? WindowCommand::AssignDedicatedIP
                                 : WindowCommand::AssignNewIP);
}

void MDIFrmUtama::mnuTukarLogin_Click()
{
    if (!m_signIn || refuseWhileBusy())
        return;
    Session& session = m_context.mutableSession();
    const QString previousUser = session.LoginUserID;
    session.ChangingLogin = true;
    const bool signedIn = m_signIn->runSignIn(this); // Cancel keeps the user signed in
    session.ChangingLogin = false;
    // The windows of the user signed in so far must not stay usable by another one; the same user, or
    // a Cancel, keeps them and what was typed in them.
    if (signedIn && session.LoginUserID.compare(previousUser, Qt::CaseInsensitive) != 0)
        closeChildWindows();
    applyGroupRule();
}

void MDIFrmUtama::mnuKeluar_Click()
{
    close();
}

void MDIFrmUtama::mnuWebPatch_Click()
{
    const QString title = QStringLiteral("Web Patch ...");
    const QString updater = siblingProgram(QStringLiteral("WebPatch"), title);
    if (updater.isEmpty())
        return;
    if (!m_context.messenger().confirm(
            this,
            QStringLiteral("You will need to close Tarvo Application to start using Web "
                           "Patch.\r\n\r\nDo you want to close Tarvo ?"),
            title, MessageIcon::None, MessageButtons::YesNo, MessageAnswer::Yes))
        return;
    // The program ends only when the updater runs.
    if (startSiblingProgram(updater, title))
        m_context.exit().endProgram(0);
}

void MDIFrmUtama::mnuHostWatch_Click()
{
    const QString title = QStringLiteral("Host Watch");
    const QString monitor = siblingProgram(QStringLiteral("HostWatch"), title);
    if (!monitor.isEmpty())
        startSiblingProgram(monitor, title);
}

QString MDIFrmUtama::siblingProgram(const QString& name, const QString& title)
{
    const QString path = joinPath(m_context.program().ProgramFolder, name);
    const QFileInfo info(path);
    if (info.isFile() && info.isExecutable())
        return path;
    m_context.messenger().inform(
        this, QStringLiteral("The program %1 is not installed: %2 was not found.").arg(name, path), title,
        MessageIcon::Exclamation);
    return {};
}

bool MDIFrmUtama::startSiblingProgram(const QString& path, const QString& title)
{
    if (m_context.shell().startProgram(path, {}, m_context.program().ProgramFolder))
        return true;
    m_context.messenger().inform(this, QStringLiteral("Cannot start %1.").arg(path), title,
                                 MessageIcon::Critical);
    return false;
}

void MDIFrmUtama::mnuChangeDBDir_Click()
{
    // A restore, compaction, copy or upgrade under way would hold up the check of the chosen file.
    if (!m_context.databaseService().operationUnderWay().isEmpty() && refuseWhileBusy())
        return;
    frmCariDB locate(m_context, LocateMode::ChangeDirectory, this);
    const LocateChoice choice = locate.run();
    if (choice.kind == LocateChoice::Kind::Chosen)
        changeDatabase(choice);
}

void MDIFrmUtama::changeDatabase(const LocateChoice& choice)
{
    Session& session = m_context.mutableSession();
    DatabaseService& service = m_context.databaseService();
    const auto refused = [this](const DbOutcome& failure) {
        // A failure that left the chosen file as it was says so of both databases at once.
        QString text = withFullStop(failure.error());
        const bool chosenUnchanged = text.endsWith(DatabaseUnchanged);
        if (chosenUnchanged)
            text.chop(DatabaseUnchanged.size());
        text =
            text.trimmed() +
            (chosenUnchanged
                 ? QStringLiteral("\r\n\r\nNeither the chosen database nor the database in use was changed.")
                 : QStringLiteral("\r\n\r\nThe database in use was not changed."));
        m_context.messenger().inform(this, text, QStringLiteral("Error"), MessageIcon::Critical);
    };
    // The new file must be a Tarvo database before anything is asked; it is looked at, not written to.
    if (auto looked = service.inspectFile(choice.path, session.LoginUserID); !looked)
        return refused(looked.outcome());
    // No window may go on with the data of the database being replaced: they close, once none is busy
    // and the user agreed to drop what is not saved in them. Everything that can still refuse the new
    // file comes first: its upgrade and the opening of its connection. Only then do the edits go and the
    // windows close, and the live connection moves to the new one, which cannot fail.
    DatabaseChangeConsent consent(m_context);
    if (!consent.obtain(this, DatabaseChanges::Switch, &m_windows))
        return;
    auto prepared = service.prepareSwitch(choice.path, session.LoginUserID);
    if (!prepared)
        return refused(prepared.outcome());
    if (!consent.closeWindows(this, m_windows))
        return;
    const bool userFound = prepared->userFound();
    service.adopt(std::move(*prepared));
    // A user without an account in the new database signs in again; Exit there ends the program.
    if (session.isSignedIn() && !userFound) {
        session.clear();
        if (m_signIn && !m_signIn->runSignIn(this)) {
            m_context.exit().endProgram(0);
            return;
        }
    }
    const DatabaseLocator locator(m_context);
    if (auto recorded = locator.record(choice.folder, LocateMode::ChangeDirectory); !recorded)
        m_context.messenger().inform(this, recorded.error() + NextStartUnawareNote, QStringLiteral("Error"),
                                     MessageIcon::Critical);
    updateStatusBar();
    applyGroupRule();
}

void MDIFrmUtama::mnuHelp_Click()
{
    if (m_help && m_help->isVisible()) {
        bringForward(m_help);
        return;
    }
    if (frmHelp* help = frmHelp::open(m_context, m_area))
        m_help = addChildWindow(help);
}

void MDIFrmUtama::mnuLamanWeb_Click()
{
    openFromIni(QStringLiteral("Web"), QStringLiteral("IntraURL"));
}

void MDIFrmUtama::mnuWebPage_Click()
{
    openFromIni(QStringLiteral("Web"), QStringLiteral("MainURL"));
}

void MDIFrmUtama::openFromIni(const QString& section, const QString& key)
{
    openOrTell(m_context.shell(), m_context.messenger(), this, m_context.ReadINI(section, key),
               QStringLiteral("the key %1 in the section [%2] of %3")
                   .arg(key, section, m_context.program().INIPath));
}

void MDIFrmUtama::mnuPerihal_Click()
{
    frmAbout about(m_context, this);
    about.exec();
}

void MDIFrmUtama::applyGroupRule()
{
    setUserAccountsEnabled(m_context.session().isSystemAdministrator());
}

void MDIFrmUtama::updateStatusBar()
{
    const ProgramState& program = m_context.program();
    m_status->setText(databaseStatusText(program.DatabaseFolder, program.ProgramFolder));
}

bool MDIFrmUtama::refuseWhileBusy()
{
    // A restore, compaction, copy or upgrade of a database under way keeps every window as it is.
    QString reason = m_context.databaseService().operationUnderWay();
    if (reason.isEmpty())
        reason = m_windows.busyReason();
    if (reason.isEmpty())
        return false;
    m_context.messenger().inform(this, reason, QStringLiteral("Information"), MessageIcon::Information);
    return true;
}

bool MDIFrmUtama::closeChildWindows()
{
    if (refuseWhileBusy())
        return false;
    return m_windows.closeAll();
}

} // namespace tarvo
