#include "records/RecordReports.h"

#include <QLocale>

namespace tarvo {

namespace {

// An item of a column list: the heading it prints in the band and the field its detail control prints.
struct ColumnChoice
{
    const char* list;
    const char* choice;
    const char* heading;
    const char* caption;
    const char* detail;
    const char* field;
};

const ColumnChoice ColumnChoices[] = {
    {"cboLajur2", "Hostname", "Label7", "Hostname", "txtName", "Name"},
    {"cboLajur2", "Type/Equipment", "Label7", "Type", "txtName", "Type"},
    {"cboLajur4", "Type/Equipment", "Label1", "Type", "txtType", "Type"},
    {"cboLajur4", "Project", "Label1", "Project", "txtType", "Project"},
    {"cboLajur4", "Staff No.", "Label1", "Staff No.", "txtType", "StaffNo"},
    {"cboLajur5", "Unit/Division", "Label8", "Unit/Division", "txtBuilding", "UnitDivision"},
    {"cboLajur5", "Remarks", "Label8", "Remarks", "txtBuilding", "Remarks"},
};

QString text(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

ReportField field(const char* prompt, const char* name, const QString& caption = {})
{
    return {text(prompt), {text(name), caption}};
}

ReportColumn column(const char* headingName, const char* heading, const char* name, const char* dataField,
                    double width)
{
    return {{text(headingName), text(heading)}, text(name), text(dataField), width, Qt::AlignLeft};
}

ReportLine pageFooter()
{
    return {{field("", "Label10", QStringLiteral("Page : %p/%P"))},
            {field("", "Label2", QStringLiteral("This report was generate by Tarvo system."))}};
}

} // namespace

QStringList columnChoices(const QString& list)
{
    QStringList items;
    for (const ColumnChoice& choice : ColumnChoices) {
        if (list == QLatin1String(choice.list))
            items << text(choice.choice);
    }
    return items;
}

bool applyColumnChoice(ReportDefinition& report, const QString& list, const QString& choice)
{
    for (const ColumnChoice& item : ColumnChoices) {
        if (list == QLatin1String(item.list) && choice == QLatin1String(item.choice)) {
            report.setCaption(text(item.heading), text(item.caption));
            report.setDataField(text(item.detail), text(item.field));
            return true;
        }
    }
    return false;
}

ReportDefinition locationReport(const LocationReportChoices& choices)
{
    ReportDefinition report;
    report.orientation = ReportOrientation::Landscape;
    report.title = QStringLiteral("Tarvo : ") + choices.title;
    report.titleLabel = {QStringLiteral("Label3"), report.title};
    report.header = {
        {{field("Area :", "lblArea", choices.area), field("State :", "lblState", choices.state),
          field("City :", "lblCity", choices.city), field("WorkGroup :", "lblWorkGroup", choices.workgroup),
          field("Segment :", "lblSegment", choices.segment)},
         {}},
        {{field("Equipment :", "lblEquipment", choices.equipment)},
         {field("Total Record :", "lblTotalRecord", QString::number(choices.rowCount))}}};
    // The design's columns, which the three choices then set.
    report.columns = {column("Label6", "IP Address", "txtIPAddress", "IP_Address", 1.1),
                      column("Label7", "Hostname", "txtName", "Name", 1.5),
                      column("lblLajur4", "User Name", "txtUserName", "Username", 2.0),
                      column("Label1", "Type", "txtType", "Type", 1.3),
                      column("Label8", "Unit / Division", "txtBuilding", "UnitDivision", 2.3)};
    report.footer = pageFooter();
    applyColumnChoice(report, ColumnList2, choices.column2);
    applyColumnChoice(report, ColumnList4, choices.column4);
    applyColumnChoice(report, ColumnList5, choices.column5);
    return report;
}

ReportDefinition dateReport(const QString& startDate, const QString& endDate, int rowCount)
{
    ReportDefinition report;
    report.orientation = ReportOrientation::Portrait;
    report.title = DateReportTitle;
    report.titleLabel = {QStringLiteral("Label3"), QStringLiteral("%i")};
    report.header = {{{}, {field("From Date :", "lblStartDate", startDate)}},
                     {{field("Total Assignment :", "lblTotalAssignment", groupedCount(rowCount))},
                      {field("To Date :", "lblEndDate", endDate)}}};
    report.columns = {column("Label6", "IP Address", "txtIPAddress", "IP_Address", 1.1),
                      column("Label7", "Hostname", "txtName", "Name", 1.4),
                      column("lblLajur4", "User Name", "txtUserName", "Username", 1.6),
                      column("Label8", "Unit / Division", "txtBuilding", "UnitDivision", 1.6)};
    report.footer = pageFooter();
    return report;
}

QString groupedCount(qint64 count)
{
    // English digits and grouping whatever the desktop's language: the report's own number format.
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(count);
}

} // namespace tarvo
