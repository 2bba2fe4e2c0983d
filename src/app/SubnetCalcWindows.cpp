#include "app/SubnetCalcWindows.h"

#include "core/AppContext.h"
#include "core/WindowRegistry.h"
#include "subnetcalc/frmSubnetCal.h"

namespace tarvo {

void registerSubnetCalcWindows(WindowRegistry& registry, AppContext& context)
{
    registry.registerDialog(WindowCommand::SubnetCalculator, [&context](QWidget* parent) {
        frmSubnetCal calculator(context.messenger(), parent);
        calculator.exec();
    });
}

} // namespace tarvo
