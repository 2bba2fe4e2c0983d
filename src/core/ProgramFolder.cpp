#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace tarvo {

namespace {
QString withoutTrailingSeparator(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}
} // namespace

QString programFolder()
{
    const QString home = qEnvironmentVariable("TARVO_HOME");
    if (!home.isEmpty())
        return withoutTrailingSeparator(QDir::fromNativeSeparators(home));
    return withoutTrailingSeparator(QCoreApplication::applicationDirPath());
}

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    QString tail = name;
    while (tail.startsWith(QLatin1Char('/')))
        tail.remove(0, 1);
    return withTrailingSeparator(folder) + tail;
}

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {};
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QString withTrailingSeparator(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool sameFolder(const QString& a, const QString& b)
{
    return withoutTrailingSeparator(a) == withoutTrailingSeparator(b);
}

} // namespace tarvo
