#include "records/LocationSearch.h"

#include "assign/AssignmentRules.h"

namespace tarvo {

namespace {

template <class Row>
QStringList namesOf(const QList<Row>& rows, QString Row::*name)
{
    QStringList names;
    names.reserve(rows.size());
    for (const Row& row : rows)
        names << row.*name;
    return names;
}

} // namespace

LocationSearch::LocationSearch(const DatabaseConnection& database) : m_plan(database) {}

DbResult<QStringList> LocationSearch::areas(const QString& loginRegion) const
{
    return m_plan.areaChoices(loginRegion);
}

DbResult<LocationSearch::AreaLists> LocationSearch::pickArea(const QString& area)
{
    if (!area.isEmpty()) {
        auto row = m_plan.area(area);
        if (!row)
            return row.failure();
        if (*row) {
            const AreaRow& found = **row;
            IPOctet1 = found.AssignIP;
            SegmentMode = found.Segment_ip;
            if (SegmentMode || !found.Abbr_segment.isEmpty())
                SegmentCode = found.Abbr_segment;
        }
    }
    if (!area.isEmpty() && SegmentMode) {
        auto cities = m_plan.citiesOf(SegmentCode, area);
        if (!cities)
            return cities.failure();
        return AreaLists{{}, namesOf(*cities, &CityRow::City_name)};
    }
    auto states = area.isEmpty() ? m_plan.allStates() : m_plan.statesOf(area);
    if (states && states->isEmpty() && !area.isEmpty())
        states = m_plan.allStates();
    if (!states)
        return states.failure();
    return AreaLists{namesOf(*states, &StateRow::State_name), {}};
}

DbResult<QStringList> LocationSearch::pickState(const QString& state, const QString& area)
{
    auto row = m_plan.state(state, area);
    if (!row)
        return row.failure();
    if (!*row)
        return QStringList();
    if (!SegmentMode)
        StateCode = (*row)->Abbr_state;
    auto cities = m_plan.citiesOf((*row)->Abbr_state, area);
    if (!cities)
        return cities.failure();
    return namesOf(*cities, &CityRow::City_name);
}

DbOutcome LocationSearch::readCity(const QString& city, const QString& area)
{
    auto row = m_plan.city(city, SegmentMode ? SegmentCode : StateCode, area);
    if (!row)
        return row.failure();
    if (*row) {
        IPOctet2 = (*row)->IP_octet2;
        if (!SegmentMode)
            CityOffset = (*row)->Offset.value_or(0);
    }
    return DbOutcome::success();
}

DbResult<QStringList> LocationSearch::workgroups() const
{
    auto rows = m_plan.workgroups();
    if (!rows)
        return rows.failure();
    return namesOf(*rows, &WorkgroupRow::Workgroup_name);
}

DbOutcome LocationSearch::pickWorkgroup(const QString& workgroup)
{
    if (workgroup.isEmpty())
        return DbOutcome::success();
    auto row = m_plan.workgroup(workgroup);
    if (!row)
        return row.failure();
    if (*row)
        IPOctet3 = CityOffset != 0 ? (*row)->Octet_3 + CityOffset : 0;
    return DbOutcome::success();
}

QString LocationSearch::AddressPrefix() const
{
    return AddressOctets{IPOctet1, IPOctet2, IPOctet3, 0}.AddressPrefix();
}

std::optional<RecordSearch> LocationSearch::prefixSearch() const
{
    if (!isAddressPrefix(AddressPrefix()))
        return std::nullopt;
    return RecordSearch::of(RecordSearch::Kind::Prefix, AddressPrefix());
}

} // namespace tarvo
