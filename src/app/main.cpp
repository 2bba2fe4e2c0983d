#include "core/AppContext.h"
#include "core/DatabaseConnection.h"
#include "core/FileDialogs.h"
#include "core/MessageBoxMessenger.h"
#include "core/ProgramFolder.h"
#include "core/Shell.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvo"));

    tarvo::ProgramState program;
    program.ProgramFolder = tarvo::programFolder();
    program.INIPath = tarvo::joinPath(program.ProgramFolder, tarvo::IniFileName);
    program.DatabasePath = tarvo::joinPath(program.ProgramFolder, tarvo::DatabaseFileName);
    tarvo::Session session;
    tarvo::AssignmentModes modes;
    tarvo::DatabaseConnection database;
    tarvo::MessageBoxMessenger messenger;
    tarvo::DesktopShell shell;
    tarvo::QtFileDialogs fileDialogs;
    tarvo::QtProgramExit exit;
    tarvo::AppContext context(program, session, modes, database, messenger, shell, fileDialogs, exit);

    if (auto opened = database.open(program.DatabasePath); !opened)
        messenger.inform(nullptr, opened.error(), QStringLiteral("Error"), tarvo::MessageIcon::Critical);

    QMainWindow window;
    window.setWindowTitle(context.productTitle());
    window.resize(1024, 720);
    window.show();
    return QApplication::exec();
}
