#include "app/AccountsWindows.h"

#include "accounts/SignInRunner.h"
#include "accounts/frmSMTPSetup.h"
#include "accounts/frmTukarPassword.h"
#include "accounts/frmUser.h"

#include "core/WindowRegistry.h"

namespace tarvo {

std::unique_ptr<SignInDialogRunner> registerAccountsWindows(WindowRegistry& registry, AppContext& context,
                                                            MainWindowAccess& mainWindow, Pinger& pinger)
{
    auto runner = std::make_unique<SignInRunner>(context, mainWindow, pinger);
    const SignedInAccount& signedIn = runner->signedInAccount();

    registry.registerChild(WindowCommand::UserAccounts, [&context, &mainWindow, &signedIn](QWidget* parent) {
        return new frmUser(
            context, mainWindow, signedIn,
            [&context](QWidget* owner) {
                frmSMTPSetup setup(context, owner);
                setup.exec();
            },
            parent);
    });
    registry.registerDialog(WindowCommand::ChangePassword, [&context](QWidget* parent) {
        frmTukarPassword dialog(context, parent);
        dialog.exec();
    });
    return runner;
}

} // namespace tarvo
