#pragma once

#include "core/DbResult.h"
#include "plan/PlanRows.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace tarvo {

class DatabaseConnection;

// The reads of the address plan: areas, states, cities, work groups, equipment types and units or
// divisions, for the settings window and for every window that carries the location cascade
// (assignment, search, reports, units). Names compare without regard to letter case, as the database's
// text columns do. Lists come in the order the windows show them (by name, ties in stored order); a
// look-up by name gives the first row in stored order, or nothing. Every value is bound.
class PlanStore
{
public:
    explicit PlanStore(const DatabaseConnection& database);

    // Areas, by name.
    DbResult<QList<AreaRow>> areas() const;
    // The area names an area list offers: only loginRegion when it is not empty (an area
    // administrator's own area, not read from the table), otherwise every area by name.
    DbResult<QStringList> areaChoices(const QString& loginRegion) const;
    // The areas that are not segmented (they have states), by name. An area whose segment flag is
    // empty is left out too.
    DbResult<QList<AreaRow>> areasWithStates() const;
    DbResult<std::optional<AreaRow>> area(const QString& name) const;
    DbResult<std::optional<AreaRow>> areaByRowId(qint64 rowId) const;

    // The states of an area, by name.
    DbResult<QList<StateRow>> statesOf(const QString& area) const;
    // Every state of every area, by name.
    DbResult<QList<StateRow>> allStates() const;
    // A state by its name within its area (the same name may stand in two areas).
    DbResult<std::optional<StateRow>> state(const QString& name, const QString& area) const;
    DbResult<std::optional<StateRow>> stateByRowId(qint64 rowId) const;

    // The cities of a state (its code) or of a segmented area (its segment code) within the area, by
    // name.
    DbResult<QList<CityRow>> citiesOf(const QString& stateCode, const QString& area) const;
    // Every city, in stored order (the first-run test of the assignment window).
    DbResult<QList<CityRow>> allCities() const;
    // A city by its name, state or segment code and area.
    DbResult<std::optional<CityRow>> city(const QString& name, const QString& stateCode,
                                          const QString& area) const;
    DbResult<std::optional<CityRow>> cityByRowId(qint64 rowId) const;
    // A city by its name within its area, whatever its state or segment code.
    DbResult<std::optional<CityRow>> cityInArea(const QString& name, const QString& area) const;
    // The cities of a state (or segment code) and area that use a second octet, in stored order.
    DbResult<QList<CityRow>> citiesWithOctet2(const QString& stateCode, const QString& area,
                                              int octet2) const;
    // The cities of a state (or segment code) and area, by second octet.
    DbResult<QList<CityRow>> citiesByOctet2(const QString& stateCode, const QString& area) const;
    // Whether an area has any city.
    DbResult<bool> areaHasCities(const QString& area) const;

    // Work groups, by name.
    DbResult<QList<WorkgroupRow>> workgroups() const;
    DbResult<std::optional<WorkgroupRow>> workgroup(const QString& name) const;
    DbResult<std::optional<WorkgroupRow>> workgroupByRowId(qint64 rowId) const;

    // Equipment types, by name.
    DbResult<QList<EquipmentRow>> equipmentTypes() const;
    DbResult<std::optional<EquipmentRow>> equipmentType(const QString& name) const;
    DbResult<std::optional<EquipmentRow>> equipmentTypeByRowId(qint64 rowId) const;

    // The units and divisions of a place, by name.
    DbResult<QList<UnitDivisionRow>> unitsOf(const UnitOwner& owner) const;
    // The units and divisions of a place with this name, in stored order; a caller that needs one unit
    // takes the answer only when there is exactly one.
    DbResult<QList<UnitDivisionRow>> unitsNamed(const QString& name, const UnitOwner& owner) const;
    DbResult<std::optional<UnitDivisionRow>> unitByRowId(qint64 rowId) const;

private:
    const DatabaseConnection& m_database;
};

} // namespace tarvo
