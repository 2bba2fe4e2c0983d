#include "core/AppContext.h"

#include "core/DatabaseConnection.h"
#include "core/IniFile.h"

#include <QCoreApplication>

namespace tarvo {

void QtProgramExit::endProgram(int exitCode)
{
    QCoreApplication::exit(exitCode);
}

AppContext::AppContext(ProgramState& program, Session& session, AssignmentModes& modes,
                       DatabaseConnection& database, Messenger& messenger, Shell& shell,
                       FileDialogs& fileDialogs, ProgramExit& exit)
    : m_program(program), m_session(session), m_modes(modes), m_database(database), m_messenger(messenger),
      m_shell(shell), m_fileDialogs(fileDialogs), m_exit(exit)
{}

QString AppContext::ReadINI(const QString& section, const QString& key) const
{
    if (m_program.INIPath.isEmpty())
        return {};
    return IniFile(m_program.INIPath).read(section, key).left(IniValueLimit);
}

bool AppContext::WriteINI(const QString& section, const QString& key, const QString& value) const
{
    if (m_program.INIPath.isEmpty())
        return false;
    return IniFile(m_program.INIPath).write(section, key, value);
}

QString AppContext::productTitle() const
{
    return m_program.ProductTitle.isEmpty() ? QStringLiteral("Tarvo") : m_program.ProductTitle;
}

void CloseDatabaseAndEnd(const AppContext& context)
{
    context.database().close();
    context.exit().endProgram(0);
}

} // namespace tarvo
