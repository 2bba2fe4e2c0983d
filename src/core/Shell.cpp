#include "core/Shell.h"

#include "core/Messenger.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace tarvo {

namespace {

// Why the shell cannot open the file or address ("" when it was opened or started).
QString openProblem(Shell& shell, const QString& file, const QString& parameters, const QString& folder)
{
    if (file.trimmed().isEmpty())
        return QStringLiteral("there is nothing to open");
    const QUrl url(file);
    const QString local = url.isLocalFile()            ? url.toLocalFile()
                          : QDir::isAbsolutePath(file) ? file
                                                       : QString();
    const QFileInfo info(local.isEmpty() ? file : local);
    if (!local.isEmpty() && !info.exists())
        return QStringLiteral("it does not exist");
    if (info.isFile() && info.isExecutable()) {
        if (shell.startProgram(info.absoluteFilePath(),
                               parameters.split(QLatin1Char(' '), Qt::SkipEmptyParts), folder))
            return {};
        return QStringLiteral("the program could not be started");
    }
    if (shell.openDocument(file))
        return {};
    return QStringLiteral("the desktop has no program that opens it");
}

} // namespace

bool ShellOpen(Shell& shell, const QString& operation, const QString& file, const QString& parameters,
               const QString& folder, int showMode)
{
    Q_UNUSED(operation) // every caller opens
    Q_UNUSED(showMode)  // every caller wants a normal window
    return openProblem(shell, file, parameters, folder).isEmpty();
}

bool openOrTell(Shell& shell, Messenger& messenger, QWidget* parent, const QString& fileOrUrl,
                const QString& origin)
{
    if (fileOrUrl.trimmed().isEmpty()) {
        messenger.inform(parent,
                         QStringLiteral("Nothing can be opened: %1 is empty.")
                             .arg(origin.isEmpty() ? QStringLiteral("the name to open") : origin),
                         QString(), MessageIcon::Exclamation);
        return false;
    }
    const QString problem = openProblem(shell, fileOrUrl, QString(), QString());
    if (problem.isEmpty())
        return true;
    messenger.inform(parent, QStringLiteral("Cannot open \"%1\": %2.").arg(fileOrUrl, problem), QString(),
                     MessageIcon::Exclamation);
    return false;
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
