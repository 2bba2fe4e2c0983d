#pragma once

namespace tarvo::app {

struct AppServices;

// Registers the assignment window: "Assign New IP Address", "Assign Dedicated IP" and "Scan Network"
// open it as a child window in their mode (one window for the three).
void registerAssignWindows(AppServices& services);

} // namespace tarvo::app
