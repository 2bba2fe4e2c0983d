#pragma once

#include "core/DatabaseLocation.h"
#include "core/MainWindowAccess.h"
#include "core/WindowRegistry.h"
#include "core/WindowTracker.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace tarvo {

class AppContext;

// The main window: a frame whose menus and toolbar open every other window. Child windows stand
// centred in its window area, one instance each; the windows of other subsystems come from the
// registry that the program fills. Its start() finishes the start of the program: the offer to move
// the database, the status bar, the sign-in and the group rule.
class MDIFrmUtama final : public QMainWindow, public MainWindowAccess
{
    Q_OBJECT
public:
    // signIn may be null: everyone is then "nobody", without the group-limited commands.
    MDIFrmUtama(const AppContext& context, const WindowRegistry& registry, SignInDialogRunner* signIn,
                QWidget* parent = nullptr);
    ~MDIFrmUtama() override;

    // The load of the window. Returns false when the program ends during it (Exit in the sign-in).
    bool start();

    // Runs the command of a toolbar key, as the button with that key does; an unknown key does nothing.
    void Toolbar1_ButtonClick(const QString& key);

    QString statusText() const;

    // MainWindowAccess
    void setMainCaption(const QString& caption) override;
    QString mainCaption() const override;
    void setUserAccountsEnabled(bool enabled) override;
    bool userAccountsEnabled() const override;
    void setWebPatchAvailable(bool available) override;
    QWidget* mainWidget() override;
    void showChildWindow(QWidget* window) override;
    void showOwnedWindow(QWidget* window) override;

    // Every window open besides the main window.
    const WindowTracker& openWindows() const { return m_windows; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption, std::function<void()> handler);
    QAction* addWindowItem(QMenu* menu, const QString& name, const QString& caption, WindowCommand command);
    void addSeparator(QMenu* menu, const QString& name);
    QAction* action(const QString& name) const;

    // Commands.
    void runWindowCommand(WindowCommand command);
    void showChild(WindowCommand command);
    QMdiSubWindow* addChildWindow(QWidget* child);
    void bringForward(QMdiSubWindow* window);
    void assign(bool dedicated, bool scan);
    void mnuTukarLogin_Click();
    void mnuKeluar_Click();
    void mnuWebPatch_Click();
    void mnuHostWatch_Click();
    void mnuChangeDBDir_Click();
    void mnuHelp_Click();
    void mnuLamanWeb_Click();
    void mnuWebPage_Click();
    void mnuPerihal_Click();

    void applyGroupRule();
    void updateStatusBar();
    // Closes every other window; false, after telling the user, when one is busy or stays open.
    bool closeChildWindows();
    // Tells the user why a busy window keeps the command from running; false when none is busy.
    bool refuseWhileBusy();
    void changeDatabase(const LocateChoice& choice);
    void openFromIni(const QString& section, const QString& key);
    // The path of a program of the program folder when it can be started; otherwise tells the user and
    // returns an empty text.
    QString siblingProgram(const QString& name, const QString& title);
    bool startSiblingProgram(const QString& path, const QString& title);

    const AppContext& m_context;
    const WindowRegistry& m_registry;
    SignInDialogRunner* m_signIn;
    QMdiArea* m_area = nullptr;
    QLabel* m_status = nullptr;
    QToolBar* m_toolbar = nullptr;
    WindowTracker m_windows;
    // The child window of each command's instance, with the command that opened it.
    struct OpenChild
    {
        QPointer<QMdiSubWindow> window;
        WindowCommand command = WindowCommand::AssignNewIP;
    };
    QHash<int, OpenChild> m_children;
    QPointer<QMdiSubWindow> m_help;
    QString m_version;
};

} // namespace tarvo
