#pragma once

namespace tarvo::app {

struct AppServices;

// Registers the records windows: "Search Record" (a child window), which opens the record detail
// window, and through it the live-device window and the unit/division window.
void registerRecordsWindows(AppServices& services);

} // namespace tarvo::app
