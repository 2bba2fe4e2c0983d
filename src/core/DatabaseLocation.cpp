#include "core/DatabaseLocation.h"

#include "core/AppContext.h"
#include "core/ProgramFolder.h"

namespace tarvo {

LocateChoice LocateChoice::chosen(const QString& folder)
{
    return {Kind::Chosen, joinPath(folder, DatabaseFileName), folder};
}

QString configuredDatabaseLocation(const AppContext& context)
{
    const QString value = context.ReadINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation"));
    return value.trimmed().isEmpty() ? QString() : value;
}

QString databasePathFor(const QString& location, const QString& programFolder)
{
    return joinPath(location.trimmed().isEmpty() ? programFolder : location, DatabaseFileName);
}

QString databaseStatusText(const QString& databaseFolder, const QString& programFolder)
{
    if (sameFolder(databaseFolder, programFolder))
        return {};
    return QStringLiteral("Database dir = ") + withTrailingSeparator(databaseFolder);
}

QString recordedLocation(const QString& folder, const QString& programFolder, LocateMode mode)
{
    if (mode == LocateMode::ChangeDirectory && sameFolder(folder, programFolder))
        return {};
    return folder;
}

DatabaseLocator::DatabaseLocator(const AppContext& context) : m_context(context) {}

DbOutcome DatabaseLocator::record(const QString& folder, LocateMode mode) const
{
    return recordLocation(recordedLocation(folder, m_context.program().ProgramFolder, mode));
}

DbOutcome DatabaseLocator::recordLocation(const QString& location) const
{
    if (m_context.WriteINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation"), location))
        return DbOutcome::success();
    return DbOutcome::failure(
        QStringLiteral("Cannot record the database folder in \"%1\".").arg(m_context.program().INIPath));
}

} // namespace tarvo
