#pragma once

#include "assign/IpRecord.h"
#include "core/DbResult.h"

#include <QDateTime>
#include <QString>

namespace tarvo {

// The block that a saved assignment appends to AssignLog.txt: the date and time of the save, a line of
// 53 hyphens, the address, host name, equipment and user name, then, when a unit or division was
// chosen, the unit and its postal address on four lines, and 53 hyphens again. Every line ends in
// CR LF; the next block follows without an empty line.
QString AssignLogBlock(const IpRecord& record, const QDateTime& savedAt);

// Appends a block to AssignLog.txt in the program folder (created when missing), in one write. When
// the block cannot be written whole, the file is cut back to its former length and the error returned.
DbOutcome WriteAssignLog(const QString& programFolder, const QString& block);

// What the window shows when the log cannot be written (the record itself stays saved).
inline const QString AssignLogErrorMessage = QStringLiteral("Error !!! No info available ... ");
inline const QString AssignLogErrorTitle = QStringLiteral("Error !!!");

} // namespace tarvo
