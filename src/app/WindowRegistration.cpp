#include "app/WindowRegistration.h"

namespace tarvo::app {

void registerAllWindows(AppServices& services)
{
    // One line per subsystem, for example registerAccountsWindows(services) from AccountsWindows.cpp.
    // The core's own windows (start window, locate-database and change-folder dialogs, About box) are
    // opened by the main window itself.
    Q_UNUSED(services)
}

} // namespace tarvo::app
