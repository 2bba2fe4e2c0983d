#include "records/report/ReportLayout.h"

#include <QFontMetricsF>
#include <QPageSize>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace tarvo {

namespace {

constexpr qreal PointsPerInch = 72;

// Spacing on the page, in dots.
constexpr qreal Margin = ReportDotsPerInch / 2;
constexpr qreal TitleGap = 90;         // under the title line
constexpr qreal HeaderLineGap = 40;    // between header lines
constexpr qreal HeaderBottomGap = 200; // between the report header and the band
constexpr qreal PromptGap = 60;        // between a prompt and its label
constexpr qreal FieldGap = 360;        // between the fields of a line
constexpr qreal CellPadding = 60;      // between a column's rules and its text
constexpr qreal BandPadding = 55;      // above and below the column headings
constexpr qreal LinePadding = 35;      // above and below the text of a detail line
constexpr qreal FooterGap = 150;       // between the last detail line's place and the footer rule
constexpr qreal FooterRuleGap = 60;    // between the footer rule and the footer text

QFont reportFont(qreal points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    // Glyphs keep their shapes and advances at every scale, so that a page measured in dots prints as
    // laid out on any device.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPixelSize(qRound(points * ReportDotsPerInch / PointsPerInch));
    font.setBold(bold);
    return font;
}

qreal lineSpacing(const QFont& font)
{
    return QFontMetricsF(font).lineSpacing();
}

// The largest width each value may keep so that all of them fit into the room together: values below
// it keep their own width, the longer ones are cut to it.
qreal widthCap(std::vector<qreal> widths, qreal room)
{
    const qreal total = std::accumulate(widths.begin(), widths.end(), qreal(0));
    if (total <= room)
        return std::numeric_limits<qreal>::max();
    std::sort(widths.begin(), widths.end());
    qreal left = std::max(room, qreal(0));
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const qreal share = left / static_cast<qreal>(widths.size() - i);
        if (widths[i] >= share)
            return share;
        left -= widths[i];
    }
    return std::numeric_limits<qreal>::max();
}

// Line breaks and tabs as blanks: a report line prints one line of text.
QString oneLine(const QString& text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar& c : line) {
        if (c == u'\r' || c == u'\n' || c == u'\t' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return line;
}

} // namespace

QPageLayout reportPageLayout(ReportOrientation orientation)
{
    return QPageLayout(QPageSize(QPageSize::A4),
                       orientation == ReportOrientation::Landscape ? QPageLayout::Landscape
                                                                   : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

ReportFonts ReportFonts::standard()
{
    return {reportFont(14, true), reportFont(9, false), reportFont(9, true),
            reportFont(9, true),  reportFont(9, false), reportFont(8, false)};
}

QString fitText(const QString& text, const QFontMetricsF& metrics, qreal width)
{
    const QString line = oneLine(text);
    if (metrics.horizontalAdvance(line) <= width)
        return line;
    return metrics.elidedText(line, Qt::ElideRight, std::max(width, qreal(0)));
}

QList<PlacedText> placeLine(const ReportLine& line, const QRectF& rect, const QFont& promptFont,
                            const QFont& valueFont, const std::function<QString(const QString&)>& expand)
{
    const QFontMetricsF promptMetrics(promptFont);
    const QFontMetricsF valueMetrics(valueFont);
    struct Item
    {
        QString prompt;
        QString value;
        qreal promptWidth;
        qreal valueWidth;
    };
    std::vector<Item> left;
    std::vector<Item> right;
    qreal fixed = 0;
    std::vector<qreal> valueWidths;
    for (auto [fields, items] : {std::pair{&line.left, &left}, std::pair{&line.right, &right}}) {
        for (const ReportField& field : *fields) {
            Item item{field.prompt, oneLine(expand(field.label.caption)),
                      promptMetrics.horizontalAdvance(field.prompt), 0};
            item.valueWidth = valueMetrics.horizontalAdvance(item.value);
            fixed += item.promptWidth + (item.prompt.isEmpty() ? 0 : PromptGap);
            valueWidths.push_back(item.valueWidth);
            items->push_back(std::move(item));
        }
        if (!items->empty())
            fixed += FieldGap * static_cast<qreal>(items->size() - 1);
    }
    if (!left.empty() && !right.empty())
        fixed += FieldGap;
    const qreal cap = widthCap(valueWidths, rect.width() - fixed);

    QList<PlacedText> placed;
    auto place = [&](const Item& item, qreal x) {
        if (!item.prompt.isEmpty()) {
            placed.append({QRectF(x, rect.top(), item.promptWidth, rect.height()), item.prompt, false});
            x += item.promptWidth + PromptGap;
        }
        const qreal width = std::min(item.valueWidth, cap);
        placed.append(
            {QRectF(x, rect.top(), width, rect.height()), fitText(item.value, valueMetrics, width), true});
        return x + width;
    };
    auto fieldWidth = [&](const Item& item) {
        return item.promptWidth + (item.prompt.isEmpty() ? 0 : PromptGap) + std::min(item.valueWidth, cap);
    };
    qreal x = rect.left();
    for (const Item& item : left)
        x = place(item, x) + FieldGap;
    x = rect.right();
    for (const Item& item : right)
        x -= fieldWidth(item) + FieldGap;
    x += FieldGap;
    for (const Item& item : right)
        x = place(item, x) + FieldGap;
    return placed;
}

ReportLayout::ReportLayout(const ReportDefinition& definition, int rowCount, const QPageLayout& page)
    : m_fonts(ReportFonts::standard()), m_rowCount(std::max(rowCount, 0))
{
    const QRectF paper = page.fullRect(QPageLayout::Point);
    m_paper = QSizeF(paper.width(), paper.height()) * (ReportDotsPerInch / PointsPerInch);
    m_content = QRectF(QPointF(0, 0), m_paper).adjusted(Margin, Margin, -Margin, -Margin);

    // Report header: the title, then the header lines, on the first page only.
    const qreal titleHeight = lineSpacing(m_fonts.title);
    m_titleRect = QRectF(m_content.left(), m_content.top(), m_content.width(), titleHeight);
    qreal y = m_titleRect.bottom() + TitleGap;
    const qreal headerLineHeight = std::max(lineSpacing(m_fonts.prompt), lineSpacing(m_fonts.value));
    std::vector<QRectF> headerLineRects;
    for (int i = 0; i < definition.header.size(); ++i) {
        headerLineRects.emplace_back(m_content.left(), y, m_content.width(), headerLineHeight);
        y += headerLineHeight + HeaderLineGap;
    }
    m_headerBottom = y - HeaderLineGap + HeaderBottomGap;

    // Page footer at the foot of every page.
    const qreal footerHeight = FooterRuleGap + lineSpacing(m_fonts.footer);
    m_footerRect =
        QRectF(m_content.left(), m_content.bottom() - footerHeight, m_content.width(), footerHeight);

    // Columns share the width by their relative widths.
    m_columnEdges.append(m_content.left());
    qreal totalShare = 0;
    for (const ReportColumn& column : definition.columns)
        totalShare += std::max(column.width, 0.0);
    qreal share = 0;
    for (const ReportColumn& column : definition.columns) {
        share += std::max(column.width, 0.0);
        m_columnEdges.append(m_content.left() +
                             (totalShare > 0 ? m_content.width() * share / totalShare : 0));
    }

    // Rows per page; every page has room for at least one line.
    m_bandHeight = lineSpacing(m_fonts.heading) + 2 * BandPadding;
    m_lineHeight = lineSpacing(m_fonts.detail) + 2 * LinePadding;
    const qreal linesBottom = m_footerRect.top() - FooterGap;
    auto linesBetween = [this](qreal top, qreal bottom) {
        return std::max(1, static_cast<int>(std::floor((bottom - top - m_bandHeight) / m_lineHeight)));
    };
    m_firstPageRows = linesBetween(m_headerBottom, linesBottom);
    m_pageRows = linesBetween(m_content.top(), linesBottom);
    if (m_rowCount > m_firstPageRows)
        m_pageCount = 1 + (m_rowCount - m_firstPageRows + m_pageRows - 1) / m_pageRows;

    // The header lines are placed now: they print on the first page, when the page count is known.
    const QString title = definition.title;
    const int pages = m_pageCount;
    auto expand = [&title, pages](const QString& caption) {
        return expandPlaceholders(caption, 1, pages, title);
    };
    m_titleText =
        fitText(expand(definition.titleLabel.caption), QFontMetricsF(m_fonts.title), m_content.width());
    for (int i = 0; i < definition.header.size(); ++i)
        m_headerTexts += placeLine(definition.header.at(i), headerLineRects[static_cast<std::size_t>(i)],
                                   m_fonts.prompt, m_fonts.value, expand);
}

int ReportLayout::firstRow(int page) const
{
    if (page <= 0)
        return 0;
    return std::min(m_rowCount, m_firstPageRows + (page - 1) * m_pageRows);
}

int ReportLayout::rowsOn(int page) const
{
    if (page < 0 || page >= m_pageCount)
        return 0;
    return std::min(m_rowCount - firstRow(page), page == 0 ? m_firstPageRows : m_pageRows);
}

QRectF ReportLayout::bandRect(int page) const
{
    return QRectF(m_content.left(), page == 0 ? m_headerBottom : m_content.top(), m_content.width(),
                  m_bandHeight);
}

QRectF ReportLayout::lineRect(int page, int line) const
{
    const QRectF band = bandRect(page);
    return QRectF(band.left(), band.bottom() + line * m_lineHeight, band.width(), m_lineHeight);
}

std::pair<qreal, qreal> ReportLayout::columnEdges(int column) const
{
    return {m_columnEdges.at(column), m_columnEdges.at(column + 1)};
}

qreal ReportLayout::cellPadding() const
{
    return CellPadding;
}

QRectF ReportLayout::footerLineRect() const
{
    return m_footerRect.adjusted(0, FooterRuleGap, 0, 0);
}

} // namespace tarvo
