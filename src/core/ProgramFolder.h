#pragma once

#include <QString>
#include <QStringList>

namespace tarvo {

// The program folder, without a trailing separator: Tarvo.ini, AssignLog.txt and, by default, the
// database live there. It is the first of programFolderPlaces() that holds Tarvo.ini, else the first
// of them (the start-up then tells the user where Tarvo.ini belongs).
QString programFolder();

// Where the program folder is looked for, in order: the folder that the environment variable
// TARVO_HOME names, alone, when it is set (tests and packaging); otherwise the folder of the
// executable, then the per-user data folder. So a desktop entry or a start by hand finds what
// `make run` prepared.
QStringList programFolderPlaces();

// The per-user data folder of the program: ${XDG_DATA_HOME:-~/.local/share}/Tarvo.
QString userDataProgramFolder();

// The first of the folders that holds Tarvo.ini; the first folder when none does.
QString firstFolderWithIniFile(const QStringList& places);

// Joins a folder and a name with exactly one "/" between them: "/data/" + "x" and "/data" + "x" both
// give "/data/x". An empty folder gives the name unchanged.
QString joinPath(const QString& folder, const QString& name);

// The folder part of a path: everything before its last "/" ("" when there is none). A path whose only
// separator is the leading one gives "/".
QString folderOf(const QString& path);

// A folder shown with exactly one trailing "/".
QString withTrailingSeparator(const QString& folder);

// Compares two folder paths as the file system does (letter case counts on Linux), ignoring a trailing
// separator.
bool sameFolder(const QString& a, const QString& b);

} // namespace tarvo
