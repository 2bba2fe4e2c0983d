#pragma once

#include "core/MainWindowAccess.h"
#include "core/WindowRegistry.h"

#include <memory>

namespace tarvo {
class AppContext;
}

namespace tarvo::app {

// What the subsystems' windows are built from. The registration functions capture it by reference;
// mainWindow is set once the main window exists, before any command can run.
struct AppServices
{
    const AppContext& context;
    WindowRegistry& registry;
    MainWindowAccess* mainWindow = nullptr;
    // The sign-in dialog, supplied by the accounts subsystem's registration. Without it the main
    // window opens with nobody signed in.
    std::unique_ptr<SignInDialogRunner> signIn;
};

// Registers the windows of every subsystem with the main window: one function per subsystem, each in
// its own file of this folder, called from registerAllWindows.
void registerAllWindows(AppServices& services);

} // namespace tarvo::app
