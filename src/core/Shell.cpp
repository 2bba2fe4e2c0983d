#include "core/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace tarvo {

bool ShellOpen(Shell& shell, const QString& operation, const QString& file, const QString& parameters,
               const QString& folder, int showMode)
{
    Q_UNUSED(operation) // every caller opens
    Q_UNUSED(showMode)  // every caller wants a normal window
    if (file.trimmed().isEmpty())
        return false;
    const QFileInfo info(file);
    if (info.isFile() && info.isExecutable())
        return shell.startProgram(info.absoluteFilePath(),
                                  parameters.split(QLatin1Char(' '), Qt::SkipEmptyParts), folder);
    return shell.openDocument(file);
}

bool DesktopShell::openDocument(const QString& fileOrUrl)
{
    const QString text = fileOrUrl.trimmed();
    if (text.isEmpty())
        return false;
    const QUrl url = QUrl::fromUserInput(text, QString(), QUrl::AssumeLocalFile);
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::startProgram(const QString& program, const QStringList& arguments,
                                const QString& workingFolder)
{
    return QProcess::startDetached(program, arguments, workingFolder);
}

} // namespace tarvo
