#pragma once

#include <QList>
#include <QString>
#include <Qt>

namespace tarvo {

// The way the paper lies. The numbers are those a report window sets (1 upright, 2 on its side).
enum class ReportOrientation
{
    Portrait = 1,
    Landscape = 2
};

// A text of the report that a window changes by the control's name ("lblArea", "Label10"). In a
// caption "%p" prints the page number, "%P" the number of pages and "%i" the report's title.
struct ReportLabel
{
    QString name;
    QString caption;
};

// A fixed prompt followed by a label on a line of the report header or footer: "Area :" lblArea.
// A field without a prompt prints its label alone.
struct ReportField
{
    QString prompt;
    ReportLabel label;
};

// One line of the report header or the page footer: fields from the left margin on, and fields that end
// at the right margin. The right-hand fields of the header lines line up with each other.
struct ReportLine
{
    QList<ReportField> left;
    QList<ReportField> right;
};

// One column of the detail lines: its heading in the page header band and the detail control that
// prints a data field of each row.
struct ReportColumn
{
    ReportLabel heading; // "Label7" "Hostname"
    QString name;        // the detail control, "txtName"
    QString field;       // the data field it prints, "Name"
    double width = 1;    // share of the line, relative to the other columns
    Qt::Alignment alignment = Qt::AlignLeft;
};

// A printable report: a report header on the first page (the title line and the header lines), a page
// header band with the column headings on every page, one detail line per row, and a page footer.
// Plain data: a window keeps one, changes its captions and data fields by name before each run, and
// hands it with the rows to the preview.
struct ReportDefinition
{
    ReportOrientation orientation = ReportOrientation::Portrait;
    QString title;          // the report's title, printed where a caption says "%i"
    ReportLabel titleLabel; // the first line of the report header
    QList<ReportLine> header;
    QList<ReportColumn> columns;
    ReportLine footer;

    // Sets the caption of the label or column heading of that name; false when there is none.
    bool setCaption(const QString& name, const QString& caption);
    // Sets the data field of the detail control of that name; false when there is none.
    bool setDataField(const QString& name, const QString& field);
    // The caption of the label or column heading of that name, or an empty text.
    QString caption(const QString& name) const;
};

// The caption as printed on a page: "%p", "%P" and "%i" replaced, every other character kept.
QString expandPlaceholders(const QString& caption, int page, int pageCount, const QString& title);

} // namespace tarvo
