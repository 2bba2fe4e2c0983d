#pragma once

#include "app/NetworkServices.h"
#include "app/WindowRegistration.h"
#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/FileDialogs.h"
#include "core/MessageBoxMessenger.h"
#include "core/Shell.h"
#include "core/UpgradeNotice.h"

#include <memory>

namespace tarvo {
class LockFileInstanceGuard;
class MDIFrmUtama;
class StartUp;
} // namespace tarvo

namespace tarvo::app {

// The running program: its state objects, the services, the window registry and the main window, and
// the start: single-instance test, start window, start-up routine, main window.
class Program
{
public:
    // The program with the real network services, which it owns.
    explicit Program(const QStringList& arguments);
    // The program with the given network services.
    Program(const QStringList& arguments, const NetworkServices& network);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Runs the program: the start window, then the start-up; returns the exit code.
    int run();

    // The start without the start window and without an event loop of its own: the single-instance
    // test and the start-up routine at once, up to the signed-in main window. False when the program
    // ends before its main window opens.
    bool start();

    AppContext& context() { return m_context; }
    // Null until the start-up opens the main window.
    MDIFrmUtama* mainWindow() const { return m_mainWindow.get(); }

private:
    Program(const QStringList& arguments, std::unique_ptr<SystemNetwork> system);

    bool claimInstance();
    void showMainWindow();

    // Declared first: the windows that use the real services go before them.
    std::unique_ptr<SystemNetwork> m_systemNetwork;
    SharedState m_state;
    DatabaseService m_database;
    MessageBoxMessenger m_messenger;
    DesktopShell m_shell;
    QtFileDialogs m_fileDialogs;
    QtProgramExit m_exit;
    AppContext m_context;
    WindowRegistry m_registry;
    AppServices m_services;
    // Shown while the database is brought up to date with no other window on screen.
    UpgradeNotice m_upgradeNotice;
    std::unique_ptr<LockFileInstanceGuard> m_guard;
    std::unique_ptr<StartUp> m_startUp;
    std::unique_ptr<MDIFrmUtama> m_mainWindow;
};

} // namespace tarvo::app
