#pragma once

namespace tarvo::app {

struct AppServices;

// Registers the address-plan windows: "IP Address Settings" (a child window) and "Unit / Division
// Settings" (a modal dialog).
void registerPlanWindows(AppServices& services);

} // namespace tarvo::app
