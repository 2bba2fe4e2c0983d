#pragma once

#include "core/DbResult.h"
#include "plan/PlanRows.h"

namespace tarvo {

class DatabaseConnection;

// The writes of units and divisions (the reads are the plan store's). Names may repeat within a place,
// so a unit is changed or deleted through the rowid of the row the window shows, and only while that
// row is still the unit of that name and place: the test and the write run in one write transaction,
// so a unit that another workstation deleted (or moved) meanwhile is never mistaken for a row that took
// its rowid since.
class UnitDivisionStore
{
public:
    explicit UnitDivisionStore(const DatabaseConnection& database);

    // Adds a unit with the name and postal address of unit to the place. StateOwner is written only for
    // a place with a state; a unit of a segmented area gets none.
    DbResult<qint64> add(const UnitDivisionRow& unit, const UnitOwner& place);
    // Rewrites the shown unit of the place with the name and postal address of unit; a place without a
    // state leaves StateOwner as it is. False when the shown unit is no longer there.
    DbResult<bool> update(const UnitDivisionRow& shown, const UnitOwner& place, const UnitDivisionRow& unit);
    // Deletes the shown unit of the place; IP records that name it keep the name. False when it is no
    // longer there.
    DbResult<bool> remove(const UnitDivisionRow& shown, const UnitOwner& place);

private:
    const DatabaseConnection& m_database;
};

} // namespace tarvo
