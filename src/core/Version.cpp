#include "core/Version.h"

#include "core/BuildInfo.h"

namespace tarvo {

QString formatVersion(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

QString versionText()
{
    return formatVersion(build::VersionMajor, build::VersionMinor, build::VersionRevision);
}

} // namespace tarvo
