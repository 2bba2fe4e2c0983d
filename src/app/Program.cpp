#include "app/Program.h"

#include "core/InstanceGuard.h"
#include "core/MDIFrmUtama.h"
#include "core/ProgramFolder.h"
#include "core/StartUp.h"
#include "core/frmCariDB.h"
#include "core/frmSplash.h"

#include <QApplication>

namespace tarvo::app {

Program::Program(const QStringList& arguments) : Program(arguments, std::make_unique<SystemNetwork>()) {}

Program::Program(const QStringList& arguments, std::unique_ptr<SystemNetwork> system)
    : Program(arguments, system->services())
{
    m_systemNetwork = std::move(system);
}

Program::Program(const QStringList& arguments, const NetworkServices& network)
    : m_database(m_state.program),
      m_context(m_state, m_database, {m_messenger, m_shell, m_fileDialogs, m_exit}),
      m_services(m_context, m_registry, network), m_upgradeNotice(m_database)
{
    m_state.program.ProgramFolder = programFolder();
    if (arguments.size() > 1)
        m_state.program.CommandLineFile = arguments.at(1);
    registerAllWindows(m_services);
}

Program::~Program()
{
    m_services.mainWindow.setTarget(nullptr);
    m_mainWindow.reset();
    m_database.close();
}

int Program::run()
{
    if (!claimInstance())
        return 0;
    frmSplash splash;
    QObject::connect(
        &splash, &frmSplash::finished, &splash, [this] { m_startUp->run(); }, Qt::QueuedConnection);
    splash.show();
    return QApplication::exec();
}

bool Program::start()
{
    return claimInstance() && m_startUp->run();
}

bool Program::claimInstance()
{
    // The program ends through its own commands, not when a window happens to be the last one.
    QApplication::setQuitOnLastWindowClosed(false);

    m_guard = std::make_unique<LockFileInstanceGuard>(
        LockFileInstanceGuard::defaultLockPath(m_state.program.ProgramFolder));
    m_startUp = std::make_unique<StartUp>(
        m_context, *m_guard,
        [this] {
            frmCariDB locate(m_context, LocateMode::StartUp);
            return locate.run();
        },
        [this] { showMainWindow(); });
    return m_startUp->claimInstance();
}

void Program::showMainWindow()
{
    m_mainWindow = std::make_unique<MDIFrmUtama>(m_context, m_registry, m_services.signIn.get());
    m_services.mainWindow.setTarget(m_mainWindow.get());
    m_mainWindow->start();
}

} // namespace tarvo::app
