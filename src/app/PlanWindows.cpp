#include "app/PlanWindows.h"

#include "app/WindowRegistration.h"
#include "core/AppContext.h"
#include "plan/frmIPAddressSettings.h"
#include "plan/frmUnitDivision.h"

namespace tarvo::app {

void registerPlanWindows(AppServices& services)
{
    AppContext& context = services.context;
    services.registry.registerChild(WindowCommand::IPAddressSettings, [&context](QWidget* parent) {
        return new frmIPAddressSettings(context, parent);
    });
    // From the menu the user picks the place; the main window has cleared the hand-over flags.
    services.registry.registerDialog(WindowCommand::UnitDivisionSettings, [&context](QWidget* parent) {
        frmUnitDivision window(context, {}, parent);
        window.exec();
    });
}

} // namespace tarvo::app
