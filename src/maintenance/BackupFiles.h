#pragma once

#include "core/DbResult.h"

#include <QString>

namespace tarvo {

class AppContext;

// The copies of the backup window: the live database and Tarvo.ini copied into a backup folder as
// "TarvoKestreldb.mdb" and "Tarvo.ini", and back. Every refusal is checked before anything is copied;
// every copy is written beside its target and renamed into place, so a failed copy leaves the earlier
// one whole.
class BackupFiles
{
public:
    explicit BackupFiles(const AppContext& context);

    // Why a backup into folder must not be made.
    enum class Refusal
    {
        None,
        NoFolder,          // the folder does not exist
        RootFolder,        // the root of the file system
        DatabaseItself,    // the database copy would be the live database
        ApplicationItself, // the INI copy would be the live Tarvo.ini
    };
    Refusal checkBackup(const QString& folder, bool database, bool ini) const;

    // A consistent copy of the live database, and a copy of Tarvo.ini, in folder. The database copy
    // replaces the earlier one only when SQLite's check finds it sound; while it is written, the folder
    // is recorded for the start-up clean-up (see PendingWrite).
    DbOutcome backupDatabase(const QString& folder) const;
    DbOutcome backupIni(const QString& folder) const;

    // The live database replaced by the copy in folder (checked, upgraded, windows read again), and
    // Tarvo.ini by its copy.
    DbOutcome restoreDatabase(const QString& folder) const;
    DbOutcome restoreIni(const QString& folder) const;

    static QString databaseCopy(const QString& folder);
    static QString iniCopy(const QString& folder);

private:
    QString liveIni() const;

    const AppContext& m_context;
};

// Whether a file at target would be the existing file live: the same file through any link, ".." or
// doubled separator, also when target does not exist yet.
bool wouldBeSameFile(const QString& target, const QString& live);

} // namespace tarvo
