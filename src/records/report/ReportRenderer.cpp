#include "records/report/ReportRenderer.h"

#include "core/ReplacingFile.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QtMath>

#include <algorithm>

namespace tarvo {

namespace {

// Rules, in dots.
constexpr qreal FrameWidth = 10;
constexpr qreal RuleWidth = 6;
constexpr qreal LineRuleWidth = 4;
const QColor BandColour(217, 217, 217);
const QColor LineRuleColour(190, 190, 190);
const QColor FooterTextColour(64, 64, 64);

QPen pen(const QColor& colour, qreal width)
{
    QPen line(colour, width);
    line.setCapStyle(Qt::FlatCap);
    return line;
}

Qt::Alignment horizontal(Qt::Alignment alignment)
{
    const Qt::Alignment h = alignment & Qt::AlignHorizontal_Mask;
    return h ? h : Qt::AlignLeft;
}

} // namespace

ReportRenderer::ReportRenderer(ReportDefinition definition, std::shared_ptr<const ReportRows> rows)
    : ReportRenderer(definition, std::move(rows), reportPageLayout(definition.orientation))
{}

ReportRenderer::ReportRenderer(ReportDefinition definition, std::shared_ptr<const ReportRows> rows,
                               const QPageLayout& page)
    : m_definition(std::move(definition)), m_rows(std::move(rows)), m_page(page),
      m_layout(m_definition, m_rows ? m_rows->rowCount() : 0, m_page)
{}

void ReportRenderer::paintPage(QPainter& painter, int page) const
{
    painter.save();
    // Rules fall on whole pixels on the screen; text stays smooth.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (page == 0)
        paintHeader(painter);
    paintTable(painter, page);
    paintFooter(painter, page);
    painter.restore();
}

void ReportRenderer::paintHeader(QPainter& painter) const
{
    const ReportFonts& fonts = m_layout.fonts();
    painter.setPen(Qt::black);
    painter.setFont(fonts.title);
    painter.drawText(m_layout.titleRect(), Qt::AlignLeft | Qt::AlignVCenter, m_layout.titleText());
    for (const PlacedText& text : m_layout.headerTexts()) {
        painter.setFont(text.value ? fonts.value : fonts.prompt);
        painter.drawText(text.rect, Qt::AlignLeft | Qt::AlignVCenter, text.text);
    }
}

void ReportRenderer::paintTable(QPainter& painter, int page) const
{
    const ReportFonts& fonts = m_layout.fonts();
    const int columns = static_cast<int>(m_definition.columns.size());
    const int lines = m_layout.rowsOn(page);
    const QRectF band = m_layout.bandRect(page);
    const qreal bottom = lines > 0 ? m_layout.lineRect(page, lines - 1).bottom() : band.bottom();
    const qreal padding = m_layout.cellPadding();

    painter.fillRect(band, BandColour);
    painter.setPen(pen(LineRuleColour, LineRuleWidth));
    for (int line = 1; line < lines; ++line) {
        const qreal y = m_layout.lineRect(page, line).top();
        painter.drawLine(QPointF(band.left(), y), QPointF(band.right(), y));
    }
    painter.setPen(pen(Qt::black, RuleWidth));
    for (int column = 1; column < columns; ++column) {
        const qreal x = m_layout.columnEdges(column).first;
        painter.drawLine(QPointF(x, band.top()), QPointF(x, bottom));
    }
    painter.drawLine(band.bottomLeft(), band.bottomRight());
    painter.setPen(pen(Qt::black, FrameWidth));
    painter.drawRect(QRectF(band.topLeft(), QPointF(band.right(), bottom)));

    auto cell = [&](int column, const QRectF& line) {
        const auto [left, right] = m_layout.columnEdges(column);
        return QRectF(left + padding, line.top(), right - left - 2 * padding, line.height());
    };
    painter.setPen(Qt::black);
    painter.setFont(fonts.heading);
    const QFontMetricsF headingMetrics(fonts.heading);
    for (int column = 0; column < columns; ++column) {
        const ReportColumn& definition = m_definition.columns.at(column);
        const QRectF rect = cell(column, band);
        const QString caption = expandPlaceholders(definition.heading.caption, page + 1, m_layout.pageCount(),
                                                   m_definition.title);
        painter.drawText(rect, horizontal(definition.alignment) | Qt::AlignVCenter,
                         fitText(caption, headingMetrics, rect.width()));
    }

    if (!m_rows || lines == 0)
        return;
    std::vector<int> fields;
    for (const ReportColumn& column : m_definition.columns)
        fields.push_back(m_rows->fieldIndex(column.field));
    painter.setFont(fonts.detail);
    const QFontMetricsF detailMetrics(fonts.detail);
    const int first = m_layout.firstRow(page);
    for (int line = 0; line < lines; ++line) {
        const QRectF lineRect = m_layout.lineRect(page, line);
        for (int column = 0; column < columns; ++column) {
            const int field = fields[static_cast<std::size_t>(column)];
            if (field < 0)
                continue;
            const QRectF rect = cell(column, lineRect);
            painter.drawText(rect, horizontal(m_definition.columns.at(column).alignment) | Qt::AlignVCenter,
                             fitText(m_rows->text(first + line, field), detailMetrics, rect.width()));
        }
    }
}

void ReportRenderer::paintFooter(QPainter& painter, int page) const
{
    const QRectF footer = m_layout.footerRect();
    painter.setPen(pen(Qt::black, RuleWidth));
    painter.drawLine(footer.topLeft(), footer.topRight());
    const int pages = m_layout.pageCount();
    const QString& title = m_definition.title;
    const QList<PlacedText> texts =
        placeLine(m_definition.footer, m_layout.footerLineRect(), m_layout.fonts().footer,
                  m_layout.fonts().footer, [page, pages, &title](const QString& caption) {
                      return expandPlaceholders(caption, page + 1, pages, title);
                  });
    painter.setPen(FooterTextColour);
    painter.setFont(m_layout.fonts().footer);
    for (const PlacedText& text : texts)
        painter.drawText(text.rect, Qt::AlignLeft | Qt::AlignVCenter, text.text);
}

QImage ReportRenderer::pageImage(int page, qreal dotsPerInch) const
{
    const qreal scale = dotsPerInch / ReportDotsPerInch;
    const QSizeF size = paperSize() * scale;
    QImage image(qCeil(size.width()), qCeil(size.height()), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const int dotsPerMeter = qRound(dotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintPage(painter, page);
    return image;
}

bool ReportRenderer::paintPages(QPagedPaintDevice& device, int first, int last) const
{
    first = std::max(first, 0);
    last = std::min(last, pageCount() - 1);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.scale(device.logicalDpiX() / ReportDotsPerInch, device.logicalDpiY() / ReportDotsPerInch);
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage())
            return false;
        paintPage(painter, page);
    }
    return painter.end();
}

bool exportReportPdf(const ReportRenderer& renderer, const QString& path, QString* error)
{
    // The PDF is written under a temporary name the program recognises and replaces the file only
    // once it is whole.
    ReplacingFile file(path);
    const auto failed = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!file.open())
        return failed(file.errorString());
    file.close();
    {
        QPdfWriter writer(file.temporaryPath());
        writer.setResolution(static_cast<int>(ReportDotsPerInch));
        writer.setTitle(renderer.definition().title);
        writer.setCreator(QStringLiteral("Tarvo"));
        writer.setPageLayout(renderer.pageLayout());
        if (!renderer.paintPages(writer, 0, renderer.pageCount() - 1))
            return failed(QStringLiteral("The pages could not be written."));
    }
    if (!file.commit())
        return failed(file.errorString());
    return true;
}

bool printReport(const ReportRenderer& renderer, QPrinter& printer)
{
    // The report is laid out anew on the paper and in the orientation the printer has.
    QPageLayout page = printer.pageLayout();
    page.setMargins(QMarginsF(0, 0, 0, 0));
    printer.setFullPage(true);
    printer.setPageLayout(page);
    const ReportRenderer onPaper(renderer.definition(), renderer.rows(), page);
    int first = 0;
    int last = onPaper.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage() - 1;
        last = std::min(last, printer.toPage() > 0 ? printer.toPage() - 1 : last);
    }
    return onPaper.paintPages(printer, first, last);
}

} // namespace tarvo
