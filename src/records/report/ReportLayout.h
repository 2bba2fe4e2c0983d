#pragma once

#include "records/report/ReportDefinition.h"

#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <utility>

class QFontMetricsF;

namespace tarvo {

// Lengths on a report page are in dots of 1/1200 inch from the paper's top-left corner, whatever the
// device: the page is laid out once and painted the same on the screen, a printer and a PDF file.
inline constexpr qreal ReportDotsPerInch = 1200;

// A4 paper in the report's orientation. The report keeps half-inch margins of its own, so the layout
// has none: painting starts at the paper's corner.
QPageLayout reportPageLayout(ReportOrientation orientation);

// The report's fonts (Arial, or the sans-serif font that stands in for it), sized in dots.
struct ReportFonts
{
    QFont title;
    QFont prompt;
    QFont value;
    QFont heading;
    QFont detail;
    QFont footer;

    static ReportFonts standard();
};

// The text as one line within the width: line breaks and tabs print as blanks, and a text too long
// for the width ends in "…".
QString fitText(const QString& text, const QFontMetricsF& metrics, qreal width);

// A text of a header or footer line with its place on the page; value tells a label from a prompt.
struct PlacedText
{
    QRectF rect;
    QString text;
    bool value = false;
};

// Places the prompts and labels of a line within the rectangle: the left fields from its left edge on,
// the right fields ending at its right edge, each prompt just before its label. When the line is too
// wide the longest labels are shortened first. expand turns a caption into the printed text.
QList<PlacedText> placeLine(const ReportLine& line, const QRectF& rect, const QFont& promptFont,
                            const QFont& valueFont, const std::function<QString(const QString&)>& expand);

// Where everything of a report goes, and which rows each page holds. Every detail line has the same
// height, so the number of pages is known before any page is painted.
class ReportLayout
{
public:
    // Only the paper's size and orientation count; the margins are the report's own.
    ReportLayout(const ReportDefinition& definition, int rowCount, const QPageLayout& page);

    QSizeF paperSize() const { return m_paper; }
    const ReportFonts& fonts() const { return m_fonts; }

    int pageCount() const { return m_pageCount; }
    // The first row of a page (pages count from 0) and the number of rows it prints.
    int firstRow(int page) const;
    int rowsOn(int page) const;

    // The report header of the first page: the title line, then the header lines' texts.
    QRectF titleRect() const { return m_titleRect; }
    QString titleText() const { return m_titleText; }
    const QList<PlacedText>& headerTexts() const { return m_headerTexts; }

    // The band with the column headings, and a detail line of a page (lines count from 0).
    QRectF bandRect(int page) const;
    QRectF lineRect(int page, int line) const;
    // The left and right edge of a column.
    std::pair<qreal, qreal> columnEdges(int column) const;
    // Text stays this far from a column's rules.
    qreal cellPadding() const;

    // The page footer: a rule along its top edge, the footer line under it.
    QRectF footerRect() const { return m_footerRect; }
    QRectF footerLineRect() const;

private:
    QSizeF m_paper;
    QRectF m_content;
    ReportFonts m_fonts;
    QRectF m_titleRect;
    QString m_titleText;
    QList<PlacedText> m_headerTexts;
    qreal m_headerBottom = 0;
    qreal m_bandHeight = 0;
    qreal m_lineHeight = 0;
    QRectF m_footerRect;
    QList<qreal> m_columnEdges;
    int m_rowCount = 0;
    int m_firstPageRows = 1;
    int m_pageRows = 1;
    int m_pageCount = 1;
};

} // namespace tarvo
