#include "accounts/SignInRunner.h"

#include "accounts/frmLogin.h"
#include "accounts/frmLoginSilap.h"

namespace tarvo {

SignInRunner::SignInRunner(AppContext& context, MainWindowAccess& mainWindow, AccountsNetwork network)
    : m_context(context), m_mainWindow(mainWindow), m_network(std::move(network))
{}

bool SignInRunner::runSignIn(QWidget* parent)
{
    AppContext& context = m_context;
    const MailTransportFactory& mail = m_network.mail;
    frmLogin dialog(
        m_context, m_mainWindow, m_network,
        [&context, &mail](QWidget* owner) {
            frmLoginSilap forgotten(context, mail, owner);
            forgotten.exec();
        },
        parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_signedIn.rowId = dialog.signedInRowId();
    return true;
}

} // namespace tarvo
