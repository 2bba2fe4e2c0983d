#pragma once

#include "core/AppState.h"

#include <QString>

namespace tarvo {

class DatabaseConnection;
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

// The state objects and services that the windows of every subsystem reach. Created once by the
// program (and by each test) and handed to the windows; it owns none of them.
class AppContext
{
public:
    AppContext(ProgramState& program, Session& session, AssignmentModes& modes, DatabaseConnection& database,
               Messenger& messenger, Shell& shell, FileDialogs& fileDialogs, ProgramExit& exit);

    ProgramState& program() const { return m_program; }
    Session& session() const { return m_session; }
    AssignmentModes& modes() const { return m_modes; }
    DatabaseConnection& database() const { return m_database; }
    Messenger& messenger() const { return m_messenger; }
    Shell& shell() const { return m_shell; }
    FileDialogs& fileDialogs() const { return m_fileDialogs; }
    ProgramExit& exit() const { return m_exit; }

    // The value of a key of Tarvo.ini (at INIPath), cut to 254 characters as the profile reader's
    // buffer does; an empty text when the key or the file is missing.
    QString ReadINI(const QString& section, const QString& key) const;

    // Writes a key of Tarvo.ini; false when the file could not be written.
    bool WriteINI(const QString& section, const QString& key, const QString& value) const;

    // The title for captions: ProductTitle, or "Tarvo" while it is empty.
    QString productTitle() const;

private:
    ProgramState& m_program;
    Session& m_session;
    AssignmentModes& m_modes;
    DatabaseConnection& m_database;
    Messenger& m_messenger;
    Shell& m_shell;
    FileDialogs& m_fileDialogs;
    ProgramExit& m_exit;
};

// The longest value ReadINI gives back.
inline constexpr int IniValueLimit = 254;

// Closes the live database and ends the program.
void CloseDatabaseAndEnd(const AppContext& context);

} // namespace tarvo
