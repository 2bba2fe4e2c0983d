#pragma once

namespace tarvo::app {

struct AppServices;

// Registers the maintenance windows: "Backup/Restore" opens the backup window as a child window,
// "Compact Database" asks and compacts the live database.
void registerMaintenanceWindows(AppServices& services);

} // namespace tarvo::app
