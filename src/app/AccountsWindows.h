#pragma once

#include <memory>

namespace tarvo {

class AppContext;
class MainWindowAccess;
class Pinger;
class SignInDialogRunner;
class WindowRegistry;

// Registers the accounts windows with the main window's registry: "Tarvo User ID" (a child window) and
// "Change Password" (a modal dialog). Returns the sign-in runner that the main window uses at start-up
// and for "Change Login"; it also holds the signed-in account that the user-accounts window reads, so
// it must live as long as the registry.
std::unique_ptr<SignInDialogRunner> registerAccountsWindows(WindowRegistry& registry, AppContext& context,
                                                            MainWindowAccess& mainWindow, Pinger& pinger);

} // namespace tarvo
