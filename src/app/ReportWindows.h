#pragma once

namespace tarvo::app {

struct AppServices;

// Registers the report windows: "Report by Location", "Report by Date" and "View Assign Log" (child
// windows).
void registerReportWindows(AppServices& services);

} // namespace tarvo::app
