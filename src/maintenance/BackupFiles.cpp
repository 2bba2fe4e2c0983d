#include "maintenance/BackupFiles.h"

#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/PendingWrites.h"
#include "core/ProgramFolder.h"
#include "maintenance/FilePieces.h"

#include <QDir>
#include <QFileInfo>

namespace tarvo {

bool wouldBeSameFile(const QString& target, const QString& live)
{
    const QString liveFile = QFileInfo(live).canonicalFilePath();
    if (liveFile.isEmpty())
        return false;
    const QFileInfo place(target);
    if (place.exists())
        return place.canonicalFilePath() == liveFile;
    const QString folder = QFileInfo(place.absolutePath()).canonicalFilePath();
    return !folder.isEmpty() && joinPath(folder, place.fileName()) == liveFile;
}

BackupFiles::BackupFiles(const AppContext& context) : m_context(context) {}

QString BackupFiles::databaseCopy(const QString& folder)
{
    return joinPath(folder, BackupDatabaseFileName);
}

QString BackupFiles::iniCopy(const QString& folder)
{
    return joinPath(folder, IniFileName);
}

QString BackupFiles::liveIni() const
{
    return joinPath(m_context.program().ProgramFolder, IniFileName);
}

BackupFiles::Refusal BackupFiles::checkBackup(const QString& folder, bool database, bool ini) const
{
    const QFileInfo place(folder);
    if (folder.isEmpty() || !place.isDir())
        return Refusal::NoFolder;
    if (QDir(place.canonicalFilePath()).isRoot())
        return Refusal::RootFolder;
    if (database && wouldBeSameFile(databaseCopy(folder), m_context.program().DatabasePath))
        return Refusal::DatabaseItself;
    if (ini && wouldBeSameFile(iniCopy(folder), liveIni()))
        return Refusal::ApplicationItself;
    return Refusal::None;
}

DbOutcome BackupFiles::backupDatabase(const QString& folder) const
{
    // The copy is written as a temporary as large as the database: should the program be killed
    // meanwhile, the next start removes it, even when no backup goes into this folder again.
    const PendingWrite pending(m_context.program().ProgramFolder, folder);
    return m_context.databaseService().copyTo(databaseCopy(folder));
}

DbOutcome BackupFiles::backupIni(const QString& folder) const
{
    return copyFileReplacing(liveIni(), iniCopy(folder));
}

DbOutcome BackupFiles::restoreDatabase(const QString& folder) const
{
    return m_context.databaseService().replaceWith(databaseCopy(folder));
}

DbOutcome BackupFiles::restoreIni(const QString& folder) const
{
    return copyFileReplacing(iniCopy(folder), liveIni());
}

} // namespace tarvo
