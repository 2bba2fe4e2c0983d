#include "app/PlanWindows.h"

#include "app/WindowRegistration.h"
#include "core/AppContext.h"
#include "plan/frmIPAddressSettings.h"

namespace tarvo::app {

void registerPlanWindows(AppServices& services)
{
    AppContext& context = services.context;
    services.registry.registerChild(WindowCommand::IPAddressSettings, [&context](QWidget* parent) {
        return new frmIPAddressSettings(context, parent);
    });
}

} // namespace tarvo::app
