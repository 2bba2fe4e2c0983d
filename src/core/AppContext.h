#pragma once

#include "core/AppState.h"

#include <QString>

namespace tarvo {

class DatabaseConnection;
class DatabaseService;
class FileDialogs;
class Messenger;
class Shell;

// Ends the program. The real one leaves every event loop; tests record the request.
class ProgramExit
{
public:
    virtual ~ProgramExit() = default;
    virtual void endProgram(int exitCode = 0) = 0;
};

class QtProgramExit final : public ProgramExit
{
public:
    void endProgram(int exitCode = 0) override;
};

// The desktop services the windows use: message boxes, the shell, the file dialogs and the end of the
// program. The program hands in the real ones, tests fakes.
struct DesktopServices
{
    Messenger& messenger;
    Shell& shell;
    FileDialogs& fileDialogs;
    ProgramExit& exit;
};

// What the windows of every subsystem reach: the shared state, the live database and the desktop
// services. Created once by the program (and by each test) and handed to the windows; it owns none of
// them. State that most windows only read is handed out read-only; the few writers ask for it by the
// mutable accessor.
class AppContext
{
public:
    AppContext(SharedState& state, DatabaseService& database, DesktopServices services);

    const ProgramState& program() const { return m_state.program; }
    const Session& session() const { return m_state.session; }
    const AssignmentModes& modes() const { return m_state.modes; }

    // The start-up and the database service set the program's places; sign-in sets the session; the
    // main window's commands set the assignment mode.
    ProgramState& mutableProgram() const { return m_state.program; }
    Session& mutableSession() const { return m_state.session; }
    AssignmentModes& mutableModes() const { return m_state.modes; }

    // Set by the opener of the unit/division window right before it opens it; read as it loads.
    UnitDivisionHandOver& unitDivisionHandOver() const { return m_state.unitDivision; }

    // The live database for the stores, and its life cycle (switch, replace, compact, copy).
    const DatabaseConnection& database() const;
    DatabaseService& databaseService() const { return m_database; }

    Messenger& messenger() const { return m_services.messenger; }
    Shell& shell() const { return m_services.shell; }
    FileDialogs& fileDialogs() const { return m_services.fileDialogs; }
    ProgramExit& exit() const { return m_services.exit; }

    // The value of a key of Tarvo.ini (at INIPath), cut to 254 characters as the profile reader's
    // buffer does; an empty text when the key or the file is missing.
    QString ReadINI(const QString& section, const QString& key) const;

    // Writes a key of Tarvo.ini; false when the file could not be written.
    bool WriteINI(const QString& section, const QString& key, const QString& value) const;

    // The title for captions: ProductTitle, or "Tarvo" while it is empty.
    QString productTitle() const;

private:
    SharedState& m_state;
    DatabaseService& m_database;
    DesktopServices m_services;
};

// The longest value ReadINI gives back.
inline constexpr int IniValueLimit = 254;

// Closes the live database and ends the program.
void CloseDatabaseAndEnd(const AppContext& context);

} // namespace tarvo
