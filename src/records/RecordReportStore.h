#pragma once

#include "core/DbResult.h"
#include "records/report/ReportRows.h"

#include <QDate>
#include <QString>

#include <memory>
#include <optional>

namespace tarvo {

class DatabaseConnection;

// The reads of IP_Info behind the two reports. The rows come back as report rows with the fields the
// reports can print: IP_Address, Name, Type, Username, Project, StaffNo, UnitDivision, Remarks and
// DateIssue. Every value is bound.
class RecordReportStore
{
public:
    explicit RecordReportStore(const DatabaseConnection& database);

    // The number of all records.
    DbResult<int> recordCount() const;

    // The rows of a place: the addresses beginning with the prefix "o1.o2.o3." (its trailing dot keeps
    // 10.20.3. from matching 10.20.30.5), by fourth octet. With a type, only the rows of that equipment
    // type (letter case ignored); without one, every row of the place.
    DbResult<std::shared_ptr<TableRows>> placeRows(const QString& prefix,
                                                   const std::optional<QString>& type) const;

    // The rows whose date of issue lies from first to last, both included, by date of issue and then by
    // address (octet by octet). Dates compare as dates: 05/12/2026 comes before 01/01/2027. A row whose
    // DateIssue is not a "dd/MM/yyyy" date belongs to no range.
    DbResult<std::shared_ptr<TableRows>> rowsIssuedBetween(const QDate& first, const QDate& last) const;

private:
    const DatabaseConnection& m_database;
};

} // namespace tarvo
