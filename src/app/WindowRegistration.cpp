#include "app/WindowRegistration.h"

#include "app/SubnetCalcWindows.h"

namespace tarvo::app {

void registerAllWindows(AppServices& services)
{
    // One line per subsystem. The core's own windows (start window, locate-database and change-folder
    // dialogs, About box) are opened by the main window itself.
    registerSubnetCalcWindows(services);
}

} // namespace tarvo::app
