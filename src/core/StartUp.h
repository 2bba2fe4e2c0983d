#pragma once

#include "core/DatabaseLocation.h"

#include <functional>

namespace tarvo {

class AppContext;
class InstanceGuard;

// The start of the program: the single-instance test that the start window makes when it loads, and
// the start-up routine that runs when the start window has closed: the INI file, the database
// location (asking for the database when it is missing), the schema upgrade and the main window.
class StartUp
{
public:
    // Runs the locate-database dialog at start-up and returns the user's choice.
    using LocateDialogRunner = std::function<LocateChoice()>;
    // Creates and shows the main window, which goes on with the start (sign-in and so on).
    using MainWindowStarter = std::function<void()>;

    StartUp(const AppContext& context, InstanceGuard& guard, LocateDialogRunner locateDatabase,
            MainWindowStarter showMainWindow);

    // The start window's first step: false, after telling the user, when another instance of the
    // program runs; the program then ends without reading or writing anything.
    bool claimInstance();

    // The start-up routine. Returns false when the program ends during it (no INI file, or no
    // database that opens).
    bool run();

private:
    bool requireIniFile();
    void locateDatabaseAtDatabasePath();
    // Opens the database at DatabasePath, asking for another with the locate-database dialog while it
    // is missing or cannot be opened. False when the program ends instead.
    bool openDatabase();

    const AppContext& m_context;
    InstanceGuard& m_guard;
    LocateDialogRunner m_locateDatabase;
    MainWindowStarter m_showMainWindow;
};

} // namespace tarvo
