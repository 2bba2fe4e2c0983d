#include "accounts/SignInRunner.h"

#include "accounts/frmLogin.h"
#include "accounts/frmLoginSilap.h"

namespace tarvo {

SignInRunner::SignInRunner(AppContext& context, MainWindowAccess& mainWindow, Pinger& pinger)
    : m_context(context), m_mainWindow(mainWindow), m_pinger(pinger)
{}

bool SignInRunner::runSignIn(QWidget* parent)
{
    AppContext& context = m_context;
    frmLogin dialog(
        m_context, m_mainWindow, m_pinger,
        [&context](QWidget* owner) {
            frmLoginSilap forgotten(context, owner);
            forgotten.exec();
        },
        parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_signedIn.rowId = dialog.signedInRowId();
    return true;
}

} // namespace tarvo
