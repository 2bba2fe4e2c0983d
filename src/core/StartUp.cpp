#include "core/StartUp.h"

#include "core/AppContext.h"
#include "core/DatabaseConnection.h"
#include "core/InstanceGuard.h"
#include "core/Messenger.h"
#include "core/ProgramFolder.h"

#include <QFileInfo>

namespace tarvo {

StartUp::StartUp(const AppContext& context, InstanceGuard& guard, LocateDialogRunner locateDatabase,
                 MainWindowStarter showMainWindow)
    : m_context(context), m_guard(guard), m_locateDatabase(std::move(locateDatabase)),
      m_showMainWindow(std::move(showMainWindow))
{}

bool StartUp::claimInstance()
{
    if (m_guard.tryAcquire())
        return true;
    m_context.messenger().inform(nullptr, QStringLiteral("Tarvo software is already open !"),
                                 QStringLiteral("Error"), MessageIcon::Information);
    m_context.exit().endProgram(0);
    return false;
}

bool StartUp::run()
{
    if (!requireIniFile())
        return false;
    locateDatabaseAtDatabasePath();
    if (!QFileInfo::exists(m_context.program().DatabasePath) && !askForMissingDatabase())
        return false;
    openDatabase();
    if (m_context.program().ProductTitle.isEmpty())
        m_context.program().ProductTitle = QStringLiteral("Tarvo");
    m_showMainWindow();
    return true;
}

bool StartUp::requireIniFile()
{
    ProgramState& program = m_context.program();
    const QString iniPath = joinPath(program.ProgramFolder, IniFileName);
    if (QFileInfo(iniPath).isFile()) {
        program.INIPath = iniPath;
        return true;
    }
    // The folder is named as it is: on this system letter case matters in paths.
    m_context.messenger().inform(
        nullptr,
        QStringLiteral(
            "Can't find the 'Tarvo.ini' file. This file is mandatory for this program to run correctly. "
            "If you can find this file elsewhere on your computer, safely copy it to ") +
            program.ProgramFolder +
            QStringLiteral(".\r\n\r\nIf this does not work, you will have to reinstall the program."),
        QStringLiteral("File not found..."), MessageIcon::Critical);
    m_context.exit().endProgram(0);
    return false;
}

void StartUp::locateDatabaseAtDatabasePath()
{
    ProgramState& program = m_context.program();
    program.DatabasePath =
        databasePathFor(m_context.ReadINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation")),
                        program.ProgramFolder);
}

bool StartUp::askForMissingDatabase()
{
    const LocateChoice choice = m_locateDatabase();
    switch (choice.kind) {
    case LocateChoice::Kind::EndProgram:
        CloseDatabaseAndEnd(m_context);
        return false;
    case LocateChoice::Kind::Kept:
        return true;
    case LocateChoice::Kind::Chosen:
        break;
    }
    const DatabaseLocator locator(m_context);
    if (auto opened = locator.openAndUpgrade(choice.path); !opened) {
        // Nothing is recorded; the start goes on and reports the database it still lacks.
        m_context.messenger().inform(nullptr, opened.error(), QStringLiteral("Error"), MessageIcon::Critical);
        return true;
    }
    if (auto recorded = locator.record(choice.folder, LocateMode::StartUp); !recorded)
        m_context.messenger().inform(nullptr, recorded.error() + NextStartUnawareNote,
                                     QStringLiteral("Error"), MessageIcon::Critical);
    return true;
}

void StartUp::openDatabase()
{
    ProgramState& program = m_context.program();
    program.DatabaseFolder = folderOf(program.DatabasePath);
    DatabaseConnection& database = m_context.database();
    if (database.isOpen() && database.path() == program.DatabasePath)
        return;
    if (auto opened = DatabaseLocator(m_context).openAndUpgrade(program.DatabasePath); !opened)
        m_context.messenger().inform(nullptr, opened.error(), QStringLiteral("Error"), MessageIcon::Critical);
}

} // namespace tarvo
