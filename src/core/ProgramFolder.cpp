#include "core/ProgramFolder.h"

#include "core/AppState.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarvo {

namespace {
QString withoutTrailingSeparator(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}
} // namespace

QString userDataProgramFolder()
{
    return joinPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                    QStringLiteral("Tarvo"));
}

QStringList programFolderPlaces()
{
    const QString home = qEnvironmentVariable("TARVO_HOME");
    if (!home.isEmpty())
        return {withoutTrailingSeparator(QDir::fromNativeSeparators(home))};
    return {withoutTrailingSeparator(QCoreApplication::applicationDirPath()), userDataProgramFolder()};
}

QString firstFolderWithIniFile(const QStringList& places)
{
    for (const QString& place : places) {
        if (QFileInfo(joinPath(place, IniFileName)).isFile())
            return place;
    }
    return places.value(0);
}

QString programFolder()
{
    return firstFolderWithIniFile(programFolderPlaces());
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
