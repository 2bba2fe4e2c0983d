#pragma once

#include "accounts/AccountsNetwork.h"
#include "accounts/SignedInAccount.h"

#include "core/MainWindowAccess.h"

namespace tarvo {

class AppContext;

// Runs the sign-in dialog for the main window, at start-up and for "Change Login", and opens the
// forgotten-login dialog after each failed attempt. It keeps the row the user signed in with for the
// user-accounts window.
class SignInRunner final : public SignInDialogRunner
{
public:
    SignInRunner(AppContext& context, MainWindowAccess& mainWindow, AccountsNetwork network);

    // Leaves Session.ChangingLogin as the main window set it, so that the main window tells an Exit at
    // start-up (end the program) from a Cancel during Change Login (keep the user).
    bool runSignIn(QWidget* parent) override;

    const SignedInAccount& signedInAccount() const { return m_signedIn; }

private:
    AppContext& m_context;
    MainWindowAccess& m_mainWindow;
    AccountsNetwork m_network;
    SignedInAccount m_signedIn;
};

} // namespace tarvo
