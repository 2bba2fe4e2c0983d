#pragma once

#include <QByteArray>
#include <QString>

namespace tarvo {

// The "Split File" entry that file managers offer for every file: a desktop entry of the user's own
// (${XDG_DATA_HOME:-~/.local/share}/applications) that starts the program with the chosen file, which
// the backup window then shows in its file box.

// Where the entry lives.
QString splitFileEntryPath();

// The entry's text for the program at programPath.
QByteArray splitFileEntryText(const QString& programPath);

// Writes the entry (replacing an older one in one rename); false when it could not be written.
bool registerSplitFileVerb(const QString& programPath);

} // namespace tarvo
