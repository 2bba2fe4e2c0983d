#pragma once

#include "core/DbResult.h"

#include <QString>

namespace tarvo {

class AppContext;

// Where the locate-database dialog was opened from: the start-up (no database yet, giving up ends the
// program) or the main window's "Change Directory" (a database is in use and stays in use unless
// another one is chosen and works).
enum class LocateMode
{
    StartUp,
    ChangeDirectory
};

// What the user chose in the locate-database dialog.
struct LocateChoice
{
    enum class Kind
    {
        Chosen,    // a database folder was chosen and confirmed
        Kept,      // nothing chosen: the database in use (if any) stays
        EndProgram // the program must end (start-up without a database)
    };
    Kind kind = Kind::Kept;
    QString path;   // Chosen: the database file, the folder's Tarvodb.mdb
    QString folder; // Chosen: the folder of that file

    static LocateChoice kept() { return {}; }
    static LocateChoice endProgram() { return {Kind::EndProgram, {}, {}}; }
    static LocateChoice chosen(const QString& folder);
};

// The value of Database/DatabaseLocation exactly as read, or an empty text when it holds only blanks.
QString configuredDatabaseLocation(const AppContext& context);

// The database file for a value of Database/DatabaseLocation: that folder's Tarvodb.mdb, or the
// program folder's when the value holds only blanks.
QString databasePathFor(const QString& location, const QString& programFolder);

// The main window's status bar: empty for the program folder, otherwise "Database dir = " and the
// folder with one trailing separator.
QString databaseStatusText(const QString& databaseFolder, const QString& programFolder);

// What Database/DatabaseLocation records for a chosen folder. At start-up the folder itself; from
// "Change Directory" an empty text for the program folder (the default place), the folder otherwise.
QString recordedLocation(const QString& folder, const QString& programFolder, LocateMode mode);

// Added to the failure of record() once the database is in use: the next start will look elsewhere.
inline const QString NextStartUnawareNote =
    QStringLiteral("\r\n\r\nThe database is in use now, but the next start of Tarvo will not find it there.");

// Records where the database lives in Tarvo.ini (Database/DatabaseLocation).
class DatabaseLocator
{
public:
    explicit DatabaseLocator(const AppContext& context);

    // Records the folder in Database/DatabaseLocation under the rule of the mode. The failure names
    // the INI file.
    DbOutcome record(const QString& folder, LocateMode mode) const;

    // Writes a value to Database/DatabaseLocation as it stands.
    DbOutcome recordLocation(const QString& location) const;

private:
    const AppContext& m_context;
};

} // namespace tarvo
