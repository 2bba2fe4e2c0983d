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
    // From the menu the user picks the place; the main window has cleared the hand-over flags.
    UnitDivisionWindows& units = services.unitWindows;
    services.registry.registerDialog(WindowCommand::UnitDivisionSettings,
                                     [&units](QWidget* parent) { units.runModal(parent, {}); });
}

} // namespace tarvo::app
