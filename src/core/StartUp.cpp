#include "core/StartUp.h"

#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/InstanceGuard.h"
#include "core/Messenger.h"
#include "core/PendingWrites.h"
#include "core/ProgramFolder.h"
#include "core/ReplacingFile.h"
#include "core/SqliteLink.h"

#include <QFileInfo>

#include <optional>

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
    // What an earlier run left behind when it was killed while writing a file: where it had recorded
    // a long write, and in the program and database folders.
    finishEndedWrites(m_context.program().ProgramFolder);
    removeStaleTemporaries(m_context.program().ProgramFolder);
    removeStaleTemporaries(folderOf(m_context.program().DatabasePath));
    if (!openDatabase())
        return false;
    if (m_context.program().ProductTitle.isEmpty())
        m_context.mutableProgram().ProductTitle = QStringLiteral("Tarvo");
    m_showMainWindow();
    return true;
}

bool StartUp::requireIniFile()
{
    ProgramState& program = m_context.mutableProgram();
    const QString iniPath = joinPath(program.ProgramFolder, IniFileName);
    if (QFileInfo(iniPath).isFile()) {
        program.INIPath = iniPath;
        return true;
    }
    // Every folder the program looks in is named, the program folder first, as it is: on this system
    // letter case matters in paths.
    QStringList places = programFolderPlaces();
    places.removeAll(program.ProgramFolder);
    places.prepend(program.ProgramFolder);
    m_context.messenger().inform(
        nullptr,
        QStringLiteral(
            "Can't find the 'Tarvo.ini' file. This file is mandatory for this program to run correctly. "
            "If you can find this file elsewhere on your computer, safely copy it to ") +
            places.join(QStringLiteral(" or ")) +
            QStringLiteral(".\r\n\r\nIf this does not work, you will have to reinstall the program."),
        QStringLiteral("File not found..."), MessageIcon::Critical);
    m_context.exit().endProgram(0);
    return false;
}

void StartUp::locateDatabaseAtDatabasePath()
{
    ProgramState& program = m_context.mutableProgram();
    program.DatabasePath =
        databasePathFor(m_context.ReadINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation")),
                        program.ProgramFolder);
}

bool StartUp::openDatabase()
{
    QString path = m_context.program().DatabasePath;
    std::optional<LocateChoice> chosen;
    for (;;) {
        // A missing file leads straight to the locate-database dialog; a file that cannot serve (empty,
        // damaged, not a Tarvo database) is named with the reason first. The file itself is not changed.
        if (QFileInfo::exists(path)) {
            auto opened = m_context.databaseService().switchTo(path);
            if (opened) {
                // The program runs without SQLite's own interfaces; its maintenance says why it cannot.
                if (const QString problem = sqliteLinkProblem(); !problem.isEmpty())
                    m_context.messenger().inform(nullptr, problem, QStringLiteral("Error"),
                                                 MessageIcon::Exclamation);
                break;
            }
            m_context.messenger().inform(nullptr, opened.error(), QStringLiteral("Error"),
                                         MessageIcon::Critical);
        }
        const LocateChoice choice = m_locateDatabase();
        if (choice.kind == LocateChoice::Kind::Kept) {
            // The dialog ran, but no database was chosen: without one nothing can be done.
            m_context.messenger().inform(nullptr, QStringLiteral("No Database !!!"), QStringLiteral("Error"),
                                         MessageIcon::Critical);
        }
        if (choice.kind != LocateChoice::Kind::Chosen) {
            CloseDatabaseAndEnd(m_context);
            return false;
        }
        path = choice.path;
        chosen = choice;
    }
    if (chosen) {
        if (auto recorded = DatabaseLocator(m_context).record(chosen->folder, LocateMode::StartUp); !recorded)
            m_context.messenger().inform(nullptr, recorded.error() + NextStartUnawareNote,
                                         QStringLiteral("Error"), MessageIcon::Critical);
    }
    return true;
}

} // namespace tarvo
