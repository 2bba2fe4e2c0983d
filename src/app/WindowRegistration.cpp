#include "app/WindowRegistration.h"

#include "app/AccountsWindows.h"
#include "app/AssignWindows.h"
#include "app/MaintenanceWindows.h"
#include "app/PlanWindows.h"
#include "app/RecordsWindows.h"
#include "app/ReportWindows.h"
#include "app/SubnetCalcWindows.h"

#include "core/AppContext.h"

#include <QWidget>

namespace tarvo::app {

namespace {

ProbeServices probeServicesOf(const NetworkServices& network, Messenger& messenger)
{
    return {network.resolver, network.nodeStatus, network.banners, messenger};
}

} // namespace

AppServices::AppServices(AppContext& appContext, WindowRegistry& windowRegistry,
                         const NetworkServices& network)
    : context(appContext), registry(windowRegistry), probes{probeState, network.pinger,
                                                            probeServicesOf(network, appContext.messenger())},
      accountsNetwork{network.pinger, network.mail, network.download}, unitWindows(appContext)
{}

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

void MainWindowProxy::showChildWindow(QWidget* window)
{
    if (m_target)
        m_target->showChildWindow(window);
    else
        window->show();
}

void MainWindowProxy::showOwnedWindow(QWidget* window)
{
    if (m_target)
        m_target->showOwnedWindow(window);
    else
        window->show();
}

void registerAllWindows(AppServices& services)
{
    // One line per subsystem. The core's own windows (start window, locate-database and change-folder
    // dialogs, About box) are opened by the main window itself.
    registerAccountsWindows(services);
    registerPlanWindows(services);
    registerAssignWindows(services);
    registerMaintenanceWindows(services);
    registerReportWindows(services);
    registerRecordsWindows(services);
    registerSubnetCalcWindows(services);
}

} // namespace tarvo::app
