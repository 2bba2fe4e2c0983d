#pragma once

namespace tarvo::app {

struct AppServices;

// Registers the accounts windows: "Tarvo User ID" (a child window) and "Change Password" (a modal
// dialog), and supplies the sign-in dialog that the main window runs at start-up and for "Change
// Login" (services.signIn). The runner also holds the signed-in account that the user-accounts window
// reads, so it lives as long as the services.
void registerAccountsWindows(AppServices& services);

} // namespace tarvo::app
