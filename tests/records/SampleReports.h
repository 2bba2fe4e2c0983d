#pragma once

#include "records/report/ReportDefinition.h"
#include "records/report/ReportRows.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tarvo::test {

inline ReportColumn column(const char* heading, const char* headingName, const char* name, const char* field,
                           double width)
{
    return {{QString::fromLatin1(headingName), QString::fromLatin1(heading)},
            QString::fromLatin1(name),
            QString::fromLatin1(field),
            width,
            Qt::AlignLeft};
}

inline ReportField field(const char* prompt, const char* name, const QString& caption = {})
{
    return {QString::fromLatin1(prompt), {QString::fromLatin1(name), caption}};
}

inline ReportLine pageFooter()
{
    return {{field("", "Label10", QStringLiteral("Page : %p/%P"))},
            {field("", "Label2", QStringLiteral("This report was generate by Tarvo system."))}};
}

// A report laid out like the report by location: landscape, five columns, three header lines.
inline ReportDefinition locationLikeReport()
{
    ReportDefinition report;
    report.orientation = ReportOrientation::Landscape;
    report.titleLabel = {QStringLiteral("Label3"), QStringLiteral("Tarvo : REPORT BY LOCATION")};
    report.header = {
        {{field("Area :", "lblArea", QStringLiteral("CENTRAL")),
          field("State :", "lblState", QStringLiteral("Selangor")),
          field("City :", "lblCity", QStringLiteral("Shah Alam")),
          field("WorkGroup :", "lblWorkGroup", QStringLiteral("Finance")), field("Segment :", "lblSegment")},
         {}},
        {{field("Equipment :", "lblEquipment", QStringLiteral("ALL"))},
         {field("Total Record :", "lblTotalRecord", QStringLiteral("100"))}}};
    report.columns = {column("IP Address", "Label6", "txtIPAddress", "IP_Address", 1.2),
                      column("Hostname", "Label7", "txtName", "Name", 1.5),
                      column("User Name", "lblLajur4", "txtUserName", "Username", 1.8),
                      column("Type", "Label1", "txtType", "Type", 1.2),
                      column("Unit / Division", "Label8", "txtBuilding", "UnitDivision", 2)};
    report.footer = pageFooter();
    return report;
}

// A report laid out like the report by date of issue: portrait, four columns, the title through "%i".
inline ReportDefinition dateLikeReport()
{
    ReportDefinition report;
    report.title = QStringLiteral("Tarvo : Report by Date");
    report.titleLabel = {QStringLiteral("Label3"), QStringLiteral("%i")};
    report.header = {{{}, {field("From Date :", "lblStartDate", QStringLiteral("01/12/2026"))}},
                     {{field("Total Assignment :", "lblTotalAssignment", QStringLiteral("100"))},
                      {field("To Date :", "lblEndDate", QStringLiteral("31/01/2027"))}}};
    report.columns = {column("IP Address", "Label6", "txtIPAddress", "IP_Address", 1.1),
                      column("Hostname", "Label7", "txtName", "Name", 1.4),
                      column("User Name", "lblLajur4", "txtUserName", "Username", 1.6),
                      column("Unit / Division", "Label8", "txtBuilding", "UnitDivision", 1.6)};
    report.footer = pageFooter();
    return report;
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
