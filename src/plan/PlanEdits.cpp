#include "plan/PlanEdits.h"

#include "core/DatabaseConnection.h"
#include "core/Sql.h"
#include "plan/PlanSql.h"
#include "plan/PlanStore.h"

#include <QList>
#include <QSqlQuery>

#include <utility>

namespace tarvo {

namespace {

// One test of a save: the rows (other than the edited one) that match the condition clash with it.
struct Test
{
    PlanClash clash;
    bool runs; // a new row, or the tested value changed
    QString where;
    QVariantList values;
};

// The values with one more after them. The list is built with append: a braced list of one integer,
// QVariantList{n}, is read by some compilers (clang 14 inside templates) as QList's size constructor.
QVariantList followedBy(QVariantList values, const QVariant& value)
{
    values.append(value);
    return values;
}

QVariant number(int value)
{
    return value;
}

QVariant optionalNumber(const std::optional<int>& value)
{
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Int));
}

// Per table: its name, the column that names a row, the stored row, the tests in the order the window
// reports them, and the columns a save writes.
template <class Row>
struct Rules;

template <>
struct Rules<AreaRow>
{
    static constexpr const char* table = "Region";
    static constexpr const char* nameColumn = "Region";
    static auto stored(const PlanStore& store, qint64 rowId) { return store.areaByRowId(rowId); }
    static QList<Test> tests(const AreaRow& row, const std::optional<AreaRow>& was)
    {
        const bool codeChanged = !was || !was->Segment_ip || row.Abbr_segment != was->Abbr_segment;
        return {{PlanClash::Name, !was || row.Region != was->Region, "Region = ?", {boundText(row.Region)}},
                {PlanClash::Code,
                 row.Segment_ip && codeChanged,
                 "Abbr_segment = ?",
                 {boundText(row.Abbr_segment)}}};
    }
    static Columns columns(const AreaRow& row)
    {
        Columns columns{{"Region", boundText(row.Region)},
                        {"AssignIP", number(row.AssignIP)},
                        {"Segment_ip", row.Segment_ip}};
        // An area that is no longer segmented keeps its code, which stays unique over the table.
        if (row.Segment_ip)
            columns.append({"Abbr_segment", boundText(row.Abbr_segment)});
        return columns;
    }
};

template <>
struct Rules<StateRow>
{
    static constexpr const char* table = "State";
    static constexpr const char* nameColumn = "State_name";
    static auto stored(const PlanStore& store, qint64 rowId) { return store.stateByRowId(rowId); }
    static QList<Test> tests(const StateRow& row, const std::optional<StateRow>& was)
    {
        return {{PlanClash::Code,
                 !was || row.Abbr_state != was->Abbr_state,
                 "Abbr_state = ? AND Region = ?",
                 {boundText(row.Abbr_state), boundText(row.Region)}},
                {PlanClash::Name,
                 !was || row.State_name != was->State_name,
                 "State_name = ? AND Region = ?",
                 {boundText(row.State_name), boundText(row.Region)}}};
    }
    static Columns columns(const StateRow& row)
    {
        return {{"State_name", boundText(row.State_name)},
                {"Abbr_state", boundText(row.Abbr_state)},
                {"Region", boundText(row.Region)}};
    }
};

template <>
struct Rules<CityRow>
{
    static constexpr const char* table = "City";
    static constexpr const char* nameColumn = "City_name";
    static auto stored(const PlanStore& store, qint64 rowId) { return store.cityByRowId(rowId); }
    static QList<Test> tests(const CityRow& row, const std::optional<CityRow>& was)
    {
        const bool octetsChanged = !was || row.IP_octet2 != was->IP_octet2 || row.Offset != was->Offset ||
                                   row.StartIPRange != was->StartIPRange || row.ToIPRange != was->ToIPRange;
        const QVariantList place{boundText(row.Abbr_state), boundText(row.Region), row.IP_octet2};
        const QString samePlace = QStringLiteral("Abbr_state = ? AND Region = ? AND IP_octet2 = ?");
        QList<Test> tests{
            {PlanClash::Code,
             !was || row.Abbr_city != was->Abbr_city,
             "Abbr_city = ? AND Region = ?",
             {boundText(row.Abbr_city), boundText(row.Region)}},
            {PlanClash::Name,
             !was || row.City_name != was->City_name,
             "City_name = ? AND Region = ?",
             {boundText(row.City_name), boundText(row.Region)}},
        };
        if (!row.Offset) {
            // A city without a third octet shares its octet 2 with no other city that has none.
            tests.append({PlanClash::Octet2, octetsChanged,
                          samePlace + QStringLiteral(" AND (Offset IS NULL OR Offset = 0)"), place});
        } else if (!row.hasRange()) {
            // The pair of octet 2 and offset (or fixed third octet) is unique, unless the city has a
            // range of its own.
            tests.append({PlanClash::Octet2AndOffset, octetsChanged,
                          samePlace + QStringLiteral(" AND Offset = ?"), followedBy(place, *row.Offset)});
        }
        return tests;
    }
    static Columns columns(const CityRow& row)
    {
        return {{"City_name", boundText(row.City_name)},    {"Abbr_city", boundText(row.Abbr_city)},
                {"IP_octet2", number(row.IP_octet2)},       {"Offset", optionalNumber(row.Offset)},
                {"StartIPRange", number(row.StartIPRange)}, {"ToIPRange", number(row.ToIPRange)},
                {"Abbr_state", boundText(row.Abbr_state)},  {"Region", boundText(row.Region)}};
    }
};

template <>
struct Rules<WorkgroupRow>
{
    static constexpr const char* table = "Workgroup";
    static constexpr const char* nameColumn = "Workgroup_name";
    static auto stored(const PlanStore& store, qint64 rowId) { return store.workgroupByRowId(rowId); }
    static QList<Test> tests(const WorkgroupRow& row, const std::optional<WorkgroupRow>& was)
    {
        return {{PlanClash::Name,
                 !was || row.Workgroup_name != was->Workgroup_name,
                 "Workgroup_name = ?",
                 {boundText(row.Workgroup_name)}},
                {PlanClash::Code,
                 !was || row.Workgroup_code != was->Workgroup_code,
                 "Workgroup_code = ?",
                 {boundText(row.Workgroup_code)}},
                {PlanClash::Digit, !was || row.Octet_3 != was->Octet_3, "Octet_3 = ?", {row.Octet_3}}};
    }
    static Columns columns(const WorkgroupRow& row)
    {
        return {{"Workgroup_name", boundText(row.Workgroup_name)},
                {"Workgroup_code", boundText(row.Workgroup_code)},
                {"Octet_3", number(row.Octet_3)}};
    }
};

template <>
struct Rules<EquipmentRow>
{
    static constexpr const char* table = "Equipment";
    static constexpr const char* nameColumn = "Eqp_name";
    static auto stored(const PlanStore& store, qint64 rowId) { return store.equipmentTypeByRowId(rowId); }
    static QList<Test> tests(const EquipmentRow& row, const std::optional<EquipmentRow>& was)
    {
        return {{PlanClash::Name,
                 !was || row.Eqp_name != was->Eqp_name,
                 "Eqp_name = ?",
                 {boundText(row.Eqp_name)}},
                {PlanClash::Code,
                 !was || row.Eqp_code != was->Eqp_code,
                 "Eqp_code = ?",
                 {boundText(row.Eqp_code)}}};
    }
    static Columns columns(const EquipmentRow& row)
    {
        return {{"Eqp_name", boundText(row.Eqp_name)},
                {"Eqp_code", boundText(row.Eqp_code)},
                {"Octet4_start", number(row.Octet4_start)},
                {"Octet4_end", number(row.Octet4_end)}};
    }
};

} // namespace

PlanEdits::PlanEdits(const DatabaseConnection& database) : m_database(database) {}

template <class Row>
DbResult<PlanCheck> PlanEdits::check(qint64 rowId, const Row& row) const
{
    std::optional<Row> was;
    if (rowId != 0) {
        auto found = Rules<Row>::stored(PlanStore(m_database), rowId);
        if (!found)
            return found.failure();
        if (!*found)
            return PlanCheck{PlanClash::RowGone, {}};
        was = **found;
    }
    for (const Test& test : Rules<Row>::tests(row, was)) {
        if (!test.runs)
            continue;
        const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 AND rowid <> ? ORDER BY rowid LIMIT 1")
                                .arg(QString::fromLatin1(Rules<Row>::nameColumn),
                                     QString::fromLatin1(Rules<Row>::table), test.where);
        auto query = runSql(m_database.handle(), sql, followedBy(test.values, rowId));
        if (!query)
            return query.failure();
        if (query->next())
            return PlanCheck{test.clash, query->value(0).toString()};
    }
    return PlanCheck{};
}

template <class Row>
DbResult<PlanCheck> PlanEdits::save(qint64 rowId, const Row& row, qint64* newRowId)
{
    WriteTransaction transaction(m_database.handle());
    if (auto begun = transaction.begin(); !begun)
        return begun.failure();
    auto checked = check(rowId, row);
    if (!checked || !checked->passed())
        return checked;
    if (auto written = writeRow(m_database.handle(), QString::fromLatin1(Rules<Row>::table), rowId,
                                Rules<Row>::columns(row), newRowId);
        !written)
        return written.failure();
    if (auto committed = transaction.commit(); !committed)
        return committed.failure();
    return PlanCheck{};
}

template <class Row>
DbOutcome PlanEdits::remove(qint64 rowId)
{
    return execSql(
        m_database.handle(),
        QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(QString::fromLatin1(Rules<Row>::table)),
        {rowId});
}

#define TARVO_PLAN_EDITS(Row)                                                                                \
    template DbResult<PlanCheck> PlanEdits::check<Row>(qint64, const Row&) const;                            \
    template DbResult<PlanCheck> PlanEdits::save<Row>(qint64, const Row&, qint64*);                          \
    template DbOutcome PlanEdits::remove<Row>(qint64);
TARVO_PLAN_EDITS(AreaRow)
TARVO_PLAN_EDITS(StateRow)
TARVO_PLAN_EDITS(CityRow)
TARVO_PLAN_EDITS(WorkgroupRow)
TARVO_PLAN_EDITS(EquipmentRow)
#undef TARVO_PLAN_EDITS

} // namespace tarvo
