#pragma once

#include <QString>

namespace tarvo {

// The program folder: the folder of the executable, without a trailing separator. The environment
// variable TARVO_HOME overrides it (tests and packaging). Tarvo.ini, AssignLog.txt and, by default,
// the database live there.
QString programFolder();

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
