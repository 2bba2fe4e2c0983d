#pragma once

#include "app/WindowRegistration.h"
#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/FileDialogs.h"
#include "core/MessageBoxMessenger.h"
#include "core/Shell.h"
#include "probe/IcmpPinger.h"

#include <memory>

namespace tarvo {
class MDIFrmUtama;
}

namespace tarvo::app {

// The running program: its state objects, the real services, the window registry and the main
// window, and the start: single-instance test, start window, start-up routine, main window.
class Program
{
public:
    explicit Program(const QStringList& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Runs the program; returns its exit code.
    int run();

private:
    void showMainWindow();

    SharedState m_state;
    DatabaseService m_database;
    MessageBoxMessenger m_messenger;
    DesktopShell m_shell;
    QtFileDialogs m_fileDialogs;
    QtProgramExit m_exit;
    AppContext m_context;
    IcmpPinger m_pinger;
    WindowRegistry m_registry;
    AppServices m_services;
    std::unique_ptr<MDIFrmUtama> m_mainWindow;
};

} // namespace tarvo::app
