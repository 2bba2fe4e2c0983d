#include "records/AssignLogFile.h"

#include "core/AppState.h"
#include "core/ProgramFolder.h"

#include <QFile>

namespace tarvo {

DbOutcome ClearAssignLog(const QString& programFolder)
{
    QFile file(joinPath(programFolder, AssignLogFileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return DbOutcome::failure(file.errorString());
    if (file.write("\r\n", 2) != 2 || !file.flush())
        return DbOutcome::failure(file.errorString());
    return DbOutcome::success();
}

} // namespace tarvo
