#pragma once

#include "records/RecordReports.h"
#include "records/report/ReportDefinition.h"
#include "records/report/ReportRows.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tarvo::test {

inline ReportField field(const char* prompt, const char* name, const QString& caption = {})
{
    return {QString::fromLatin1(prompt), {QString::fromLatin1(name), caption}};
}

// The report by location of a place in a state area: landscape, five columns, three header lines.
inline ReportDefinition locationLikeReport()
{
    return locationReport({QStringLiteral("REPORT BY LOCATION"), QStringLiteral("CENTRAL"),
                           QStringLiteral("Selangor"), QStringLiteral("Shah Alam"), QStringLiteral("Finance"),
                           QString(), QStringLiteral("ALL"), 100, QStringLiteral("Hostname"),
                           QStringLiteral("Type/Equipment"), QStringLiteral("Unit/Division")});
}

// The report by date of issue: portrait, four columns, the title through "%i".
inline ReportDefinition dateLikeReport()
{
    return dateReport(QStringLiteral("01/12/2026"), QStringLiteral("31/01/2027"), 100);
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
