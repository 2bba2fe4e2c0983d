#pragma once

#include "core/DbResult.h"
#include "plan/PlanRows.h"

#include <QString>

namespace tarvo {

class DatabaseConnection;

// What refuses the save of an address-plan row: a value that another row of its scope holds already,
// or the edited row gone meanwhile (deleted by another workstation).
enum class PlanClash
{
    None,
    Name,            // the row's name
    Code,            // the state, city, work-group or equipment code, or an area's segment code
    Digit,           // a work group's third-octet digit
    Octet2AndOffset, // a city of the same state (or segment code) and area with the same octet 2 and
                     // offset (third octet), where the new city has no range of its own
    Octet2,          // a city of the same segment code and area with the same octet 2 and no third
                     // octet (none, or 0), where the new city has no third octet either
    RowGone,
};

struct PlanCheck
{
    PlanClash clash = PlanClash::None;
    QString rowName; // the name of the row that holds the value (for the city octet clashes)

    bool passed() const { return clash == PlanClash::None; }
};

// The checks and writes of the address-plan settings window. Names and codes are unique within their
// scope (areas and their segment codes over the table, states and cities within their area, work groups
// and equipment types over the table); cities keep their octet rules. Text comparisons ignore letter
// case, as the database does.
//
// rowId 0 stands for a new row: every test runs. For an existing row a test runs only when its value
// differs from the stored row (letter case counting), and never counts the row itself, so a name can
// change its letter case and an unchanged value does not clash with its own row. A save checks again
// and writes in one write transaction, so another workstation cannot slip in between.
class PlanEdits
{
public:
    explicit PlanEdits(const DatabaseConnection& database);

    // Row is one of AreaRow, StateRow, CityRow, WorkgroupRow and EquipmentRow.

    // The first test the row fails, in the order the settings window reports them.
    template <class Row>
    DbResult<PlanCheck> check(qint64 rowId, const Row& row) const;

    // Adds (rowId 0) or rewrites the row after checking it again; *newRowId receives a new row's rowid.
    // An area that is not segmented keeps the segment code it has (a new one gets none); a city
    // without an offset stores none.
    template <class Row>
    DbResult<PlanCheck> save(qint64 rowId, const Row& row, qint64* newRowId = nullptr);

    // Deletes one row; rows of other tables that name it stay as they are.
    template <class Row>
    DbOutcome remove(qint64 rowId);

private:
    const DatabaseConnection& m_database;
};

} // namespace tarvo
