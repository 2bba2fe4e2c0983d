#include "app/WindowRegistration.h"

#include "app/AccountsWindows.h"
#include "app/SubnetCalcWindows.h"

namespace tarvo::app {

void MainWindowProxy::setMainCaption(const QString& caption)
{
    if (m_target)
        m_target->setMainCaption(caption);
}

QString MainWindowProxy::mainCaption() const
{
    return m_target ? m_target->mainCaption() : QString();
}

void MainWindowProxy::setUserAccountsEnabled(bool enabled)
{
    if (m_target)
        m_target->setUserAccountsEnabled(enabled);
}

bool MainWindowProxy::userAccountsEnabled() const
{
    return m_target && m_target->userAccountsEnabled();
}

void MainWindowProxy::setWebPatchAvailable(bool available)
{
    if (m_target)
        m_target->setWebPatchAvailable(available);
}

QWidget* MainWindowProxy::mainWidget()
{
    return m_target ? m_target->mainWidget() : nullptr;
}

void registerAllWindows(AppServices& services)
{
    // One line per subsystem. The core's own windows (start window, locate-database and change-folder
    // dialogs, About box) are opened by the main window itself.
    registerAccountsWindows(services);
    registerSubnetCalcWindows(services);
}

} // namespace tarvo::app
