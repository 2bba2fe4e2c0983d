#include "plan/PlanStore.h"

#include "core/DatabaseConnection.h"
#include "core/Sql.h"
#include "plan/PlanSql.h"

#include <QSqlQuery>

namespace tarvo {

namespace {

QString textAt(const QSqlQuery& query, int column)
{
    return query.value(column).toString();
}

int numberAt(const QSqlQuery& query, int column)
{
    return query.value(column).toInt();
}

// What each row type is read from: its SELECT (rowid first) and how a result row becomes one.
template <class Row>
struct Source;

template <>
struct Source<AreaRow>
{
    static constexpr const char* select =
        "SELECT rowid, Region, AssignIP, Segment_ip, Abbr_segment FROM Region";
    static AreaRow read(const QSqlQuery& q)
    {
        return {q.value(0).toLongLong(), textAt(q, 1), numberAt(q, 2), q.value(3).toBool(), textAt(q, 4)};
    }
};

template <>
struct Source<StateRow>
{
    static constexpr const char* select = "SELECT rowid, State_name, Abbr_state, Region FROM State";
    static StateRow read(const QSqlQuery& q)
    {
        return {q.value(0).toLongLong(), textAt(q, 1), textAt(q, 2), textAt(q, 3)};
    }
};

template <>
struct Source<CityRow>
{
    static constexpr const char* select =
        "SELECT rowid, City_name, Abbr_city, IP_octet2, Offset, StartIPRange, "
        "ToIPRange, Abbr_state, Region FROM City";
    static CityRow read(const QSqlQuery& q)
    {
        CityRow row{q.value(0).toLongLong(), textAt(q, 1),   textAt(q, 2), numberAt(q, 3), std::nullopt,
                    numberAt(q, 5),          numberAt(q, 6), textAt(q, 7), textAt(q, 8)};
        if (!q.value(4).isNull())
            row.Offset = numberAt(q, 4);
        return row;
    }
};

template <>
struct Source<WorkgroupRow>
{
    static constexpr const char* select =
        "SELECT rowid, Workgroup_name, Workgroup_code, Octet_3 FROM Workgroup";
    static WorkgroupRow read(const QSqlQuery& q)
    {
        return {q.value(0).toLongLong(), textAt(q, 1), textAt(q, 2), numberAt(q, 3)};
    }
};

template <>
struct Source<EquipmentRow>
{
    static constexpr const char* select =
        "SELECT rowid, Eqp_name, Eqp_code, Octet4_start, Octet4_end FROM Equipment";
    static EquipmentRow read(const QSqlQuery& q)
    {
        return {q.value(0).toLongLong(), textAt(q, 1), textAt(q, 2), numberAt(q, 3), numberAt(q, 4)};
    }
};

template <>
struct Source<UnitDivisionRow>
{
    static constexpr const char* select =
        "SELECT rowid, UnitDivision, Floor, Building, Roadname, Postcode, City, "
        "State, RegionOwner, StateOwner, CityOwner FROM UnitDivision";
    static UnitDivisionRow read(const QSqlQuery& q)
    {
        return {q.value(0).toLongLong(),
                textAt(q, 1),
                textAt(q, 2),
                textAt(q, 3),
                textAt(q, 4),
                textAt(q, 5),
                textAt(q, 6),
                textAt(q, 7),
                textAt(q, 8),
                textAt(q, 9),
                textAt(q, 10)};
    }
};

// The rows that match a condition (empty: every row), in the given order; ties and unordered reads
// come in stored order.
template <class Row>
DbResult<QList<Row>> rowsWhere(const DatabaseConnection& database, const QString& where, const QString& order,
                               const QVariantList& values = {})
{
    QString sql = QString::fromLatin1(Source<Row>::select);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    sql += QStringLiteral(" ORDER BY ") + (order.isEmpty() ? QString() : order + QStringLiteral(", ")) +
           QStringLiteral("rowid");
    auto query = runSql(database.handle(), sql, values);
    if (!query)
        return query.failure();
    QList<Row> rows;
    while (query->next())
        rows.append(Source<Row>::read(*query));
    return rows;
}

template <class Row>
DbResult<std::optional<Row>> firstWhere(const DatabaseConnection& database, const QString& where,
                                        const QVariantList& values)
{
    auto rows = rowsWhere<Row>(database, where, {}, values);
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<Row>();
    return std::optional<Row>(rows->first());
}

template <class Row>
DbResult<std::optional<Row>> byRowId(const DatabaseConnection& database, qint64 rowId)
{
    return firstWhere<Row>(database, QStringLiteral("rowid = ?"), {rowId});
}

} // namespace

PlanStore::PlanStore(const DatabaseConnection& database) : m_database(database) {}

DbResult<QList<AreaRow>> PlanStore::areas() const
{
    return rowsWhere<AreaRow>(m_database, {}, QStringLiteral("Region"));
}

DbResult<QStringList> PlanStore::areaChoices(const QString& loginRegion) const
{
    if (!loginRegion.isEmpty())
        return QStringList{loginRegion};
    auto rows = areas();
    if (!rows)
        return rows.failure();
    QStringList names;
    for (const AreaRow& row : std::as_const(*rows))
        names << row.Region;
    return names;
}

DbResult<QList<AreaRow>> PlanStore::areasWithStates() const
{
    return rowsWhere<AreaRow>(m_database, QStringLiteral("Segment_ip = 0"), QStringLiteral("Region"));
}

DbResult<std::optional<AreaRow>> PlanStore::area(const QString& name) const
{
    return firstWhere<AreaRow>(m_database, QStringLiteral("Region = ?"), {boundText(name)});
}

DbResult<std::optional<AreaRow>> PlanStore::areaByRowId(qint64 rowId) const
{
    return byRowId<AreaRow>(m_database, rowId);
}

DbResult<QList<StateRow>> PlanStore::statesOf(const QString& area) const
{
    return rowsWhere<StateRow>(m_database, QStringLiteral("Region = ?"), QStringLiteral("State_name"),
                               {boundText(area)});
}

DbResult<QList<StateRow>> PlanStore::allStates() const
{
    return rowsWhere<StateRow>(m_database, {}, QStringLiteral("State_name"));
}

DbResult<std::optional<StateRow>> PlanStore::state(const QString& name, const QString& area) const
{
    return firstWhere<StateRow>(m_database, QStringLiteral("State_name = ? AND Region = ?"),
                                {boundText(name), boundText(area)});
}

DbResult<std::optional<StateRow>> PlanStore::stateByRowId(qint64 rowId) const
{
    return byRowId<StateRow>(m_database, rowId);
}

DbResult<QList<CityRow>> PlanStore::citiesOf(const QString& stateCode, const QString& area) const
{
    return rowsWhere<CityRow>(m_database, QStringLiteral("Abbr_state = ? AND Region = ?"),
                              QStringLiteral("City_name"), {boundText(stateCode), boundText(area)});
}

DbResult<QList<CityRow>> PlanStore::allCities() const
{
    return rowsWhere<CityRow>(m_database, {}, {});
}

DbResult<std::optional<CityRow>> PlanStore::city(const QString& name, const QString& stateCode,
                                                 const QString& area) const
{
    return firstWhere<CityRow>(m_database, QStringLiteral("City_name = ? AND Abbr_state = ? AND Region = ?"),
                               {boundText(name), boundText(stateCode), boundText(area)});
}

DbResult<std::optional<CityRow>> PlanStore::cityByRowId(qint64 rowId) const
{
    return byRowId<CityRow>(m_database, rowId);
}

DbResult<std::optional<CityRow>> PlanStore::cityInArea(const QString& name, const QString& area) const
{
    return firstWhere<CityRow>(m_database, QStringLiteral("City_name = ? AND Region = ?"),
                               {boundText(name), boundText(area)});
}

DbResult<QList<CityRow>> PlanStore::citiesWithOctet2(const QString& stateCode, const QString& area,
                                                     int octet2) const
{
    return rowsWhere<CityRow>(m_database, QStringLiteral("IP_octet2 = ? AND Abbr_state = ? AND Region = ?"),
                              {}, {octet2, boundText(stateCode), boundText(area)});
}

DbResult<QList<CityRow>> PlanStore::citiesByOctet2(const QString& stateCode, const QString& area) const
{
    return rowsWhere<CityRow>(m_database, QStringLiteral("Abbr_state = ? AND Region = ?"),
                              QStringLiteral("IP_octet2"), {boundText(stateCode), boundText(area)});
}

DbResult<bool> PlanStore::areaHasCities(const QString& area) const
{
    auto found =
        querySingleValue(m_database.handle(), QStringLiteral("SELECT 1 FROM City WHERE Region = ? LIMIT 1"),
                         {boundText(area)});
    if (!found)
        return found.failure();
    return found->isValid();
}

DbResult<QList<WorkgroupRow>> PlanStore::workgroups() const
{
    return rowsWhere<WorkgroupRow>(m_database, {}, QStringLiteral("Workgroup_name"));
}

DbResult<std::optional<WorkgroupRow>> PlanStore::workgroup(const QString& name) const
{
    return firstWhere<WorkgroupRow>(m_database, QStringLiteral("Workgroup_name = ?"), {boundText(name)});
}

DbResult<std::optional<WorkgroupRow>> PlanStore::workgroupByRowId(qint64 rowId) const
{
    return byRowId<WorkgroupRow>(m_database, rowId);
}

DbResult<QList<EquipmentRow>> PlanStore::equipmentTypes() const
{
    return rowsWhere<EquipmentRow>(m_database, {}, QStringLiteral("Eqp_name"));
}

DbResult<std::optional<EquipmentRow>> PlanStore::equipmentType(const QString& name) const
{
    return firstWhere<EquipmentRow>(m_database, QStringLiteral("Eqp_name = ?"), {boundText(name)});
}

DbResult<std::optional<EquipmentRow>> PlanStore::equipmentTypeByRowId(qint64 rowId) const
{
    return byRowId<EquipmentRow>(m_database, rowId);
}

DbResult<QList<UnitDivisionRow>> PlanStore::unitsOf(const UnitOwner& owner) const
{
    QVariantList values;
    const QString where = ownerCondition(owner, values);
    return rowsWhere<UnitDivisionRow>(m_database, where, QStringLiteral("UnitDivision"), values);
}

DbResult<QList<UnitDivisionRow>> PlanStore::unitsNamed(const QString& name, const UnitOwner& owner) const
{
    QVariantList values{boundText(name)};
    const QString where = QStringLiteral("UnitDivision = ? AND ") + ownerCondition(owner, values);
    return rowsWhere<UnitDivisionRow>(m_database, where, {}, values);
}

DbResult<std::optional<UnitDivisionRow>> PlanStore::unitByRowId(qint64 rowId) const
{
    return byRowId<UnitDivisionRow>(m_database, rowId);
}

} // namespace tarvo
