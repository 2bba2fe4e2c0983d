#include "assign/AssignLog.h"

#include "core/AppState.h"
#include "core/ProgramFolder.h"

#include <QFile>
#include <QStringList>

namespace tarvo {

QString AssignLogBlock(const IpRecord& record, const QDateTime& savedAt)
{
    const QString rule(53, QLatin1Char('-'));
    // The continuation lines of the postal address line up under the text after "Address\t\t: ".
    const QString indent = QStringLiteral("       \t\t  ");
    QStringList lines{
        QStringLiteral("Date Assign : ") + savedAt.toString(QStringLiteral("dd/MM/yyyy (HH:mm:ss)")),
        rule,
        QStringLiteral("IP Address\t: ") + record.IP_Address,
        QStringLiteral("Hostname\t: ") + record.Name,
        QStringLiteral("Equipment\t: ") + record.Type,
        QStringLiteral("Username\t: ") + record.Username,
    };
    if (!record.UnitDivision.isEmpty()) {
        lines << QStringLiteral("Unit/Division\t: ") + record.UnitDivision
              << QStringLiteral("Address\t\t: ") + record.Floor + QStringLiteral(", ") + record.Building
              << indent + record.Roadname << indent + record.Postcode + QStringLiteral(", ") + record.City
              << indent + record.State;
    }
    lines << rule;
    return lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n");
}

DbOutcome WriteAssignLog(const QString& programFolder, const QString& block)
{
    QFile file(joinPath(programFolder, AssignLogFileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return DbOutcome::failure(file.errorString());
    const qint64 formerSize = file.size();
    const QByteArray bytes = block.toUtf8();
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    if (!written) {
        const QString error = file.errorString();
        file.resize(formerSize);
        return DbOutcome::failure(error);
    }
    return DbOutcome::success();
}

} // namespace tarvo
