#pragma once

#include "records/report/ReportDefinition.h"

#include <QString>
#include <QStringList>

namespace tarvo {

// The two printable reports of the IP records, as plain definitions that the report windows fill in
// before each run and hand to the preview with the rows.

// The column lists of the report by location and what each of their items prints.
inline const QString ColumnList2 = QStringLiteral("cboLajur2");
inline const QString ColumnList4 = QStringLiteral("cboLajur4");
inline const QString ColumnList5 = QStringLiteral("cboLajur5");

// The items of a column list, in the order the list shows them; the first is the one chosen at first.
QStringList columnChoices(const QString& list);

// Sets the column heading and the data field that an item of a column list stands for. An item that
// the list does not hold leaves the column as it was and gives false.
bool applyColumnChoice(ReportDefinition& report, const QString& list, const QString& choice);

// What a run of the report by location prints: the title typed, the place chosen (empty texts for the
// parts the place has none of), the equipment entry, the number of rows and the three column choices.
struct LocationReportChoices
{
    QString title;
    QString area;
    QString state;
    QString city;
    QString workgroup;
    QString segment;
    QString equipment;
    int rowCount = 0;
    QString column2;
    QString column4;
    QString column5;
};

// The report by location (landscape): the title line "Tarvo : " + title, the place and equipment in
// the header, "Total Record :" in plain digits, and five columns: address, column 2 choice, user name,
// column 4 choice, column 5 choice.
ReportDefinition locationReport(const LocationReportChoices& choices);

// The report by date of issue (portrait): the title "Tarvo : Report by Date", the two dates and the
// number of records in the header, and four fixed columns.
ReportDefinition dateReport(const QString& startDate, const QString& endDate, int rowCount);

// A count with digits grouped by thousands: 0, 999, 1,234, 1,234,567.
QString groupedCount(qint64 count);

// The title of the report by date, and the text a report shows when its query finds no row.
inline const QString DateReportTitle = QStringLiteral("Tarvo : Report by Date");
inline const QString RecordNotFoundMessage = QStringLiteral("Record not found ...");

} // namespace tarvo
