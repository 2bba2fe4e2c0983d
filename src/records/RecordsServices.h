#pragma once

#include "core/WindowTracker.h"

#include <functional>

class QWidget;

namespace tarvo {

class AppContext;
class MainWindowAccess;
struct ProbeKit;

// Opens the unit/division window without making it modal, for the place the opener has just put into
// the unit/division hand-over, and calls whenClosed once that window has closed.
using UnitWindowOpener = std::function<void(QWidget* opener, std::function<void()> whenClosed)>;

// What the records windows are built with. The program owns what it refers to.
struct RecordsServices
{
    AppContext& context;
    // Shows the windows these windows open (the detail window, the live-device window), so that the
    // main window tracks them.
    MainWindowAccess& mainWindow;
    // The address-in-use window of "Live Info" and its probe services.
    ProbeKit& probes;
    // Empty while no unit/division window can be opened; the unit picker is then not offered.
    UnitWindowOpener openUnitWindow;
};

// The calls the detail window makes into the search window that opened it. They do nothing once that
// window is closed.
struct SearchWindowLink
{
    // After a save: the search window reads its last search again.
    OpenerCallback afterSave;
    // After a delete: the search window repeats a "Begin with" or location search, or empties its list.
    OpenerCallback afterDelete;
};

} // namespace tarvo
