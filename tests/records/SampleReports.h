#pragma once

#include "records/RecordReports.h"
#include "records/report/ReportDefinition.h"
#include "records/report/ReportRows.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <memory>

Q_DECLARE_METATYPE(tarvo::ReportOrientation)

namespace tarvo::test {

// Landscape: the report by location of a place in a state area, five columns, three header lines.
// Portrait: the report by date of issue, four columns, the title through "%i".
inline ReportDefinition sampleReport(ReportOrientation orientation)
{
    if (orientation == ReportOrientation::Portrait)
        return dateReport(QStringLiteral("01/12/2026"), QStringLiteral("31/01/2027"), 100);
    return locationReport({QStringLiteral("REPORT BY LOCATION"), QStringLiteral("CENTRAL"),
                           QStringLiteral("Selangor"), QStringLiteral("Shah Alam"), QStringLiteral("Finance"),
                           QString(), QStringLiteral("ALL"), 100, QStringLiteral("Hostname"),
                           QStringLiteral("Type/Equipment"), QStringLiteral("Unit/Division")});
}

// Rows of IP_Info with one numbered host each: host-0001, host-0002, ...
inline std::shared_ptr<TableRows> sampleRows(int count)
{
    auto rows = std::make_shared<TableRows>(QStringList{QStringLiteral("IP_Address"), QStringLiteral("Name"),
                                                        QStringLiteral("Username"), QStringLiteral("Type"),
                                                        QStringLiteral("UnitDivision")});
    rows->reserve(count);
    for (int i = 1; i <= count; ++i)
        rows->append({QStringLiteral("10.20.%1.%2").arg(i / 254).arg(i % 254 + 1),
                      QStringLiteral("host-%1").arg(i, 4, 10, QLatin1Char('0')),
                      QStringLiteral("Nur Aisyah binti Abdullah %1").arg(i), QStringLiteral("Workstation"),
                      QStringLiteral("Information Technology Division")});
    return rows;
}

} // namespace tarvo::test
