#include "core/AppContext.h"

#include "core/DatabaseService.h"
#include "core/IniFile.h"

#include <QCoreApplication>

namespace tarvo {

void QtProgramExit::endProgram(int exitCode)
{
    QCoreApplication::exit(exitCode);
}

AppContext::AppContext(SharedState& state, DatabaseService& database, DesktopServices services)
    : m_state(state), m_database(database), m_services(services)
{}

const DatabaseConnection& AppContext::database() const
{
    return m_database.connection();
}

QString AppContext::ReadINI(const QString& section, const QString& key) const
{
    if (m_state.program.INIPath.isEmpty())
        return {};
    return IniFile(m_state.program.INIPath).read(section, key).left(IniValueLimit);
}

bool AppContext::WriteINI(const QString& section, const QString& key, const QString& value) const
{
    if (m_state.program.INIPath.isEmpty())
        return false;
    return IniFile(m_state.program.INIPath).write(section, key, value);
}

QString AppContext::productTitle() const
{
    return m_state.program.ProductTitle.isEmpty() ? QStringLiteral("Tarvo") : m_state.program.ProductTitle;
}

void CloseDatabaseAndEnd(const AppContext& context)
{
    context.databaseService().close();
    context.exit().endProgram(0);
}

} // namespace tarvo
