#include "app/AccountsWindows.h"

#include "accounts/SignInRunner.h"
#include "accounts/frmSMTPSetup.h"
#include "accounts/frmTukarPassword.h"
#include "accounts/frmUser.h"
#include "app/WindowRegistration.h"
#include "core/AppContext.h"

namespace tarvo::app {

void registerAccountsWindows(AppServices& services)
{
    AppContext& context = services.context;
    MainWindowAccess& mainWindow = services.mainWindow;
    auto runner = std::make_unique<SignInRunner>(context, mainWindow, services.accountsNetwork);
    const SignedInAccount& signedIn = runner->signedInAccount();
    const MailTransportFactory& mail = services.accountsNetwork.mail;

    services.registry.registerChild(WindowCommand::UserAccounts,
                                    [&context, &mainWindow, &signedIn, &mail](QWidget* parent) {
                                        return new frmUser(
                                            context, mainWindow, signedIn, mail,
                                            [&context](QWidget* owner) {
                                                frmSMTPSetup setup(context, owner);
                                                setup.exec();
                                            },
                                            parent);
                                    });
    services.registry.registerDialog(WindowCommand::ChangePassword, [&context](QWidget* parent) {
        frmTukarPassword dialog(context, parent);
        dialog.exec();
    });
    services.signIn = std::move(runner);
}

} // namespace tarvo::app
