#include "TestProgram.h"

#include "core/DeliveredDatabase.h"

#include <QFile>

#include <stdexcept>

namespace tarvo::test {

TestProgram::TestProgram(Setup setup)
    : context(state, databaseService, {messenger, shell, fileDialogs, exit}),
      m_dir(std::make_unique<QTemporaryDir>())
{
    if (!m_dir->isValid())
        throw std::runtime_error("cannot create a temporary program folder");
    m_hadHome = qEnvironmentVariableIsSet("TARVO_HOME");
    m_previousHome = qgetenv("TARVO_HOME");
    qputenv("TARVO_HOME", m_dir->path().toUtf8());

    program.ProgramFolder = m_dir->path();
    program.DatabasePath = databasePath();
    program.DatabaseFolder = folder();
    program.ProductTitle = QStringLiteral("Tarvo");
    if (setup != Setup::Empty) {
        writeIni(deliveredIniText());
        program.INIPath = iniPath();
    }
    if (setup == Setup::Delivered) {
        createDatabase();
        if (auto opened = openDatabase(); !opened)
            throw std::runtime_error(opened.error().toStdString());
    }
}

TestProgram::~TestProgram()
{
    databaseService.close();
    if (m_hadHome)
        qputenv("TARVO_HOME", m_previousHome);
    else
        qunsetenv("TARVO_HOME");
}

void TestProgram::writeIni(const QString& text) const
{
    QFile file(iniPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write Tarvo.ini");
    file.write(text.toUtf8());
}

void TestProgram::createDatabase(const QString& path) const
{
    if (auto created = createDeliveredDatabase(path.isEmpty() ? databasePath() : path); !created)
        throw std::runtime_error(created.error().toStdString());
}

DbOutcome TestProgram::openDatabase()
{
    return databaseService.switchTo(program.DatabasePath).outcome();
}

void TestProgram::signInAs(const QString& userId, const QString& name, const QString& group,
                           const QString& region)
{
    session.LoginUserID = userId;
    session.LoginName = name;
    session.LoginGroup = group;
    session.LoginRegion = region;
}

} // namespace tarvo::test
