#pragma once

namespace tarvo::app {

struct AppServices;

// Registers the subnet calculator: "Subnet Calculator" opens it as a modal dialog.
void registerSubnetCalcWindows(AppServices& services);

} // namespace tarvo::app
