#pragma once

namespace tarvo {

class AppContext;
class WindowRegistry;

// Registers the subnet calculator's window with the main window: "Subnet Calculator" opens the
// calculator as a modal dialog.
void registerSubnetCalcWindows(WindowRegistry& registry, AppContext& context);

} // namespace tarvo
