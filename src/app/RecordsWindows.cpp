#include "app/RecordsWindows.h"

#include "app/WindowRegistration.h"
#include "records/RecordWindows.h"
#include "records/frmCarian.h"

#include <memory>

namespace tarvo::app {

void registerRecordsWindows(AppServices& services)
{
    // The unit/division window plugs in here once the address-plan subsystem has it: open it with
    // services.mainWindow.showOwnedWindow for the place the detail window put into
    // context.unitDivisionHandOver(), and call whenClosed when it closes. Until then the detail window
    // offers no unit picker.
    UnitWindowOpener openUnitWindow;
    // One detail window for the program, shared by every search window; it lives as long as the
    // registration.
    auto windows = std::make_shared<RecordWindows>(
        RecordsServices{services.context, services.mainWindow, services.probes, std::move(openUnitWindow)});
    services.registry.registerChild(WindowCommand::SearchRecord, [windows](QWidget* parent) {
        return windows->createSearchWindow(parent);
    });
}

} // namespace tarvo::app
