#pragma once

#include <QString>

namespace tarvo {

// Where the program and its files are. Set by the start-up and by the database location dialogs.
struct ProgramState
{
    QString ProgramFolder;   // see programFolder(), no trailing separator
    QString INIPath;         // ProgramFolder + "/Tarvo.ini", once the start-up found that file
    QString DatabasePath;    // full path of the live database file
    QString DatabaseFolder;  // DatabasePath without its file name
    QString ProductTitle;    // title text of captions; "Tarvo" unless set otherwise
    QString CommandLineFile; // the file named on the command line; the backup window shows it
};

// The signed-in administrator. Every field is set together by a successful sign-in.
struct Session
{
    QString LoginUserID;
    QString LoginName;
    QString LoginGroup;  // "Sistem", "HQ" or "Kawasan"
    QString LoginRegion; // administered area; empty means every area
    bool ChangingLogin = false;

    bool isSignedIn() const { return !LoginUserID.isEmpty(); }
    bool isSystemAdministrator() const { return !LoginGroup.compare(u"Sistem", Qt::CaseInsensitive); }
    void clear() { *this = Session{}; }
};

// The mode of the assignment window, set by the main window's three assignment commands.
struct AssignmentModes
{
    bool ScanMode = false;
    bool DedicatedMode = false;
};

// The place that another window hands to the unit/division window before it opens it: the assignment
// window (UnitDivFromMain) or the record-detail window (UnitDivFromInfo). The main window's own command
// clears both flags, and the window then lets the user pick the place.
struct UnitDivisionHandOver
{
    bool UnitDivFromMain = false;
    bool UnitDivFromInfo = false;
    QString OwnerRegion;
    QString OwnerState;
    QString OwnerCity;
    bool OwnerHasState = false;
};

// The program's shared state objects, one of each, owned by the program (or by a test).
struct SharedState
{
    ProgramState program;
    Session session;
    AssignmentModes modes;
    UnitDivisionHandOver unitDivision;
};

// The groups of the user table.
inline const QString GroupSistem = QStringLiteral("Sistem");
inline const QString GroupHQ = QStringLiteral("HQ");
inline const QString GroupKawasan = QStringLiteral("Kawasan");

// File names in the program folder and the database folder.
inline const QString IniFileName = QStringLiteral("Tarvo.ini");
inline const QString DatabaseFileName = QStringLiteral("Tarvodb.mdb");
inline const QString BackupDatabaseFileName = QStringLiteral("TarvoKestreldb.mdb");
inline const QString AssignLogFileName = QStringLiteral("AssignLog.txt");
inline const QString HelpFileName = QStringLiteral("TarvoHelp.html");

} // namespace tarvo
