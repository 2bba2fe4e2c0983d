#include "maintenance/SplitFileVerb.h"

#include "core/ReplacingFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarvo {

namespace {

// A program path as an argument of the entry's Exec key: quoted, with the characters that are special
// inside quotes escaped and "%" doubled so that it is not taken for a field code.
QString quotedExecArgument(const QString& path)
{
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    // The entry file's own escape rules apply to the value first: a backslash is written doubled.
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return quoted;
}

} // namespace

QString splitFileEntryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/applications/tarvo-split-file.desktop");
}

QByteArray splitFileEntryText(const QString& programPath)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Split File\n"
                                  "Comment=Split the file into pieces with Tarvo\n"
                                  "Exec=%1 %f\n"
                                  "MimeType=application/octet-stream;\n"
                                  "NoDisplay=true\n"
                                  "Terminal=false\n")
                       .arg(quotedExecArgument(programPath));
    return text.toUtf8();
}

bool registerSplitFileVerb(const QString& programPath)
{
    const QString path = splitFileEntryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    ReplacingFile file(path);
    return file.open() && file.write(splitFileEntryText(programPath)) && file.commit();
}

} // namespace tarvo
