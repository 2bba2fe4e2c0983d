#pragma once

namespace tarvo::app {

struct AppServices;

// Registers the address-plan windows: "IP Address Settings" (a child window).
void registerPlanWindows(AppServices& services);

} // namespace tarvo::app
