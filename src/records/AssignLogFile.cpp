#include "records/AssignLogFile.h"

#include "core/AppState.h"
#include "core/FileLock.h"
#include "core/ProgramFolder.h"

#include <QFile>

namespace tarvo {

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
