#include "plan/PlanSql.h"

#include "core/Sql.h"
#include "plan/PlanRows.h"

#include <QSqlQuery>
#include <QStringList>

namespace tarvo {

DbOutcome writeRow(const QSqlDatabase& db, const QString& table, qint64 rowId, const Columns& columns,
                   qint64* newRowId)
{
    QStringList names;
    QVariantList values;
    for (const auto& [column, value] : columns) {
        names << (rowId == 0 ? column : column + QStringLiteral(" = ?"));
        values << value;
    }
    QString sql;
    if (rowId == 0) {
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(table, names.join(QStringLiteral(", ")),
                       QStringList(names.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    } else {
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(table, names.join(QStringLiteral(", ")));
        values << rowId;
    }
    auto written = runSql(db, sql, values);
    if (!written)
        return written.outcome();
    if (rowId == 0 && newRowId)
        *newRowId = written->lastInsertId().toLongLong();
    return DbOutcome::success();
}

QString ownerCondition(const UnitOwner& owner, QVariantList& values)
{
    values << boundText(owner.region);
    QString where = QStringLiteral("RegionOwner = ?");
    if (owner.state) {
        where += QStringLiteral(" AND StateOwner = ?");
        values << boundText(*owner.state);
    }
    where += QStringLiteral(" AND CityOwner = ?");
    values << boundText(owner.city);
    return where;
}

} // namespace tarvo
