#pragma once

#include "Fakes.h"
#include "ScriptedMessenger.h"

#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/ProgramFolder.h"

#include <QTemporaryDir>

#include <memory>

namespace tarvo::test {

// A temporary program folder (TARVO_HOME points at it while the object lives) with the program's state
// objects, fake services and an AppContext over them. By default the folder holds the delivered
// Tarvo.ini and database, and the database is open.
class TestProgram
{
public:
    enum class Setup
    {
        Delivered, // Tarvo.ini and Tarvodb.mdb in the folder, database open
        IniOnly,   // Tarvo.ini only
        Empty      // nothing
    };

    explicit TestProgram(Setup setup = Setup::Delivered);
    ~TestProgram();

    QString folder() const { return m_dir->path(); }
    QString path(const QString& name) const { return joinPath(folder(), name); }
    QString iniPath() const { return path(IniFileName); }
    QString databasePath() const { return path(DatabaseFileName); }

    // Writes Tarvo.ini with the given text.
    void writeIni(const QString& text) const;
    // Creates the delivered database at a path (default: the program folder's Tarvodb.mdb).
    void createDatabase(const QString& path = {}) const;
    // Opens the database at DatabasePath (fails the test on error through the returned outcome).
    DbOutcome openDatabase();

    // Signs in as someone of the given group without a sign-in dialog.
    void signInAs(const QString& userId, const QString& name, const QString& group,
                  const QString& region = {});

    SharedState state;
    ProgramState& program = state.program;
    Session& session = state.session;
    AssignmentModes& modes = state.modes;
    DatabaseService databaseService{state.program};
    const DatabaseConnection& database = databaseService.connection();
    ScriptedMessenger messenger;
    FakeShell shell;
    FakeFileDialogs fileDialogs;
    FakeProgramExit exit;
    AppContext context;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_previousHome;
    bool m_hadHome = false;
};

} // namespace tarvo::test
