#include "app/SubnetCalcWindows.h"

#include "app/WindowRegistration.h"
#include "core/AppContext.h"
#include "subnetcalc/frmSubnetCal.h"

namespace tarvo::app {

void registerSubnetCalcWindows(AppServices& services)
{
    AppContext& context = services.context;
    services.registry.registerDialog(WindowCommand::SubnetCalculator, [&context](QWidget* parent) {
        frmSubnetCal calculator(context.messenger(), parent);
        calculator.exec();
    });
}

} // namespace tarvo::app
