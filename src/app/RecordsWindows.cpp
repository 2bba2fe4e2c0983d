#include "app/RecordsWindows.h"

#include "app/WindowRegistration.h"
#include "core/AppContext.h"
#include "records/RecordWindows.h"
#include "records/frmCarian.h"

#include <memory>

namespace tarvo::app {

void registerRecordsWindows(AppServices& services)
{
    // The detail window's unit picker: the unit window, not modal, for the place the detail window has
    // put into the hand-over; it refills the detail window's unit list as it closes.
    UnitDivisionWindows& units = services.unitWindows;
    MainWindowAccess& mainWindow = services.mainWindow;
    UnitWindowOpener openUnitWindow = [&units, &mainWindow](QWidget* opener,
                                                            std::function<void()> whenClosed) {
        units.showForDetail(OpenerCallback(opener, std::move(whenClosed)), mainWindow);
    };
    // One detail window for the program, shared by every search window; it lives as long as the
    // registration.
    auto windows = std::make_shared<RecordWindows>(
        RecordsServices{services.context, services.mainWindow, services.probes, std::move(openUnitWindow)});
    services.registry.registerChild(WindowCommand::SearchRecord, [windows](QWidget* parent) {
        return windows->createSearchWindow(parent);
    });
}

} // namespace tarvo::app
