#pragma once

#include <QString>

namespace tarvo {

// The version text of the program: major + "." + minor in two digits + "." + revision in four
// digits, for example "1.30.0522". Shown by the start window and the About box, written to the INI
// file by the main window and compared by the update check.
QString formatVersion(int major, int minor, int revision);

// The running program's own version text, from the build's project version.
QString versionText();

} // namespace tarvo
