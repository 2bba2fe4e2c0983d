#include "records/AssignLogFile.h"

#include "core/AppState.h"
#include "core/FileLock.h"
#include "core/ProgramFolder.h"

#include <QFile>
#include <QStringDecoder>

namespace tarvo {

DbResult<QString> ReadAssignLog(const QString& programFolder)
{
    QFile file(joinPath(programFolder, AssignLogFileName));
    if (!file.open(QIODevice::ReadOnly))
        return DbOutcome::failure(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return DbOutcome::failure(file.errorString());
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

DbOutcome ClearAssignLog(const QString& programFolder)
{
    QFile file(joinPath(programFolder, AssignLogFileName));
    // Cut under the log's lock, never in the middle of an assignment's append (assign/AssignLog.h).
    if (!file.open(QIODevice::ReadWrite))
        return DbOutcome::failure(file.errorString());
    const ExclusiveFileLock lock(file);
    if (!lock.acquired())
        return DbOutcome::failure(lock.error());
    if (!file.resize(0) || file.write("\r\n", 2) != 2 || !file.flush())
        return DbOutcome::failure(file.errorString());
    return DbOutcome::success();
}

} // namespace tarvo
