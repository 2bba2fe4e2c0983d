#include "plan/UnitDivisionStore.h"

#include "core/DatabaseConnection.h"
#include "core/Sql.h"
#include "plan/PlanSql.h"

#include <functional>

namespace tarvo {

namespace {

const QString Table = QStringLiteral("UnitDivision");

Columns unitColumns(const UnitDivisionRow& unit, const UnitOwner& place)
{
    Columns columns{{"UnitDivision", boundText(unit.UnitDivision)},
                    {"Floor", boundText(unit.Floor)},
                    {"Building", boundText(unit.Building)},
                    {"Roadname", boundText(unit.Roadname)},
                    {"Postcode", boundText(unit.Postcode)},
                    {"City", boundText(unit.City)},
                    {"State", boundText(unit.State)},
                    {"RegionOwner", boundText(place.region)}};
    if (place.state)
        columns.append({"StateOwner", boundText(*place.state)});
    columns.append({"CityOwner", boundText(place.city)});
    return columns;
}

// Runs write on the shown unit inside one write transaction, once it is found to be still the unit of
// that name and place. False when it is not.
DbResult<bool> onShownUnit(const QSqlDatabase& db, const UnitDivisionRow& shown, const UnitOwner& place,
                           const std::function<DbOutcome()>& write)
{
    WriteTransaction transaction(db);
    if (auto begun = transaction.begin(); !begun)
        return begun.failure();
    QVariantList values{shown.rowId, boundText(shown.UnitDivision)};
    const QString where =
        QStringLiteral("rowid = ? AND UnitDivision = ? AND ") + ownerCondition(place, values);
    auto found = querySingleValue(db, QStringLiteral("SELECT 1 FROM UnitDivision WHERE ") + where, values);
    if (!found)
        return found.failure();
    if (!found->isValid())
        return false;
    if (auto written = write(); !written)
        return written.failure();
    if (auto committed = transaction.commit(); !committed)
        return committed.failure();
    return true;
}

} // namespace

UnitDivisionStore::UnitDivisionStore(const DatabaseConnection& database) : m_database(database) {}

DbResult<qint64> UnitDivisionStore::add(const UnitDivisionRow& unit, const UnitOwner& place)
{
    qint64 rowId = 0;
    if (auto written = writeRow(m_database.handle(), Table, 0, unitColumns(unit, place), &rowId); !written)
        return written.failure();
    return rowId;
}

DbResult<bool> UnitDivisionStore::update(const UnitDivisionRow& shown, const UnitOwner& place,
                                         const UnitDivisionRow& unit)
{
    const QSqlDatabase db = m_database.handle();
    return onShownUnit(db, shown, place,
                       [&] { return writeRow(db, Table, shown.rowId, unitColumns(unit, place)); });
}

DbResult<bool> UnitDivisionStore::remove(const UnitDivisionRow& shown, const UnitOwner& place)
{
    const QSqlDatabase db = m_database.handle();
    return onShownUnit(db, shown, place, [&] {
        return execSql(db, QStringLiteral("DELETE FROM UnitDivision WHERE rowid = ?"), {shown.rowId});
    });
}

} // namespace tarvo
