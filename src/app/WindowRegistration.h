#pragma once

#include "accounts/AccountsNetwork.h"
#include "app/NetworkServices.h"
#include "core/MainWindowAccess.h"
#include "core/WindowRegistry.h"
#include "plan/UnitDivisionWindows.h"
#include "probe/ProbeKit.h"
#include "probe/ProbeState.h"

#include <memory>

namespace tarvo {
class AppContext;
} // namespace tarvo

namespace tarvo::app {

// Stands for the main window in the registrations, which are made before the main window exists;
// forwards to it once Program has created it.
class MainWindowProxy final : public MainWindowAccess
{
public:
    void setTarget(MainWindowAccess* target) { m_target = target; }
    MainWindowAccess* target() const { return m_target; }

    void setMainCaption(const QString& caption) override;
    QString mainCaption() const override;
    void setUserAccountsEnabled(bool enabled) override;
    bool userAccountsEnabled() const override;
    void setWebPatchAvailable(bool available) override;
    QWidget* mainWidget() override;
    void showChildWindow(QWidget* window) override;
    void showOwnedWindow(QWidget* window) override;

private:
    MainWindowAccess* m_target = nullptr;
};

// What the subsystems' windows are built from: the context, the registry, the program's probe state and
// its network services, grouped as the subsystems use them. The registration functions capture it by
// reference.
struct AppServices
{
    AppServices(AppContext& context, WindowRegistry& registry, const NetworkServices& network);
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;

    AppContext& context;
    WindowRegistry& registry;
    // The one ProbeState of the program, and what the assignment and records windows probe with.
    ProbeState probeState;
    ProbeKit probes;
    AccountsNetwork accountsNetwork;
    MainWindowProxy mainWindow;
    // The one unit/division window, for the main window's menu, the assignment window and the record
    // detail window.
    UnitDivisionWindows unitWindows;
    // The sign-in dialog, supplied by the accounts subsystem's registration. Without it the main
    // window opens with nobody signed in.
    std::unique_ptr<SignInDialogRunner> signIn;
};

// Registers the windows of every subsystem with the main window: one function per subsystem, each in
// its own file of this folder, called from registerAllWindows.
void registerAllWindows(AppServices& services);

} // namespace tarvo::app
