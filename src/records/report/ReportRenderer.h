#pragma once

#include "records/report/ReportDefinition.h"
#include "records/report/ReportLayout.h"
#include "records/report/ReportRows.h"

#include <QImage>
#include <QPageLayout>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace tarvo {

// Paints the pages of a report, one at a time, onto any device: the preview, a printer, a PDF file or
// an image. Only the rows of the page painted are read.
class ReportRenderer
{
public:
    // On the report's own paper (A4 in its orientation).
    ReportRenderer(ReportDefinition definition, std::shared_ptr<const ReportRows> rows);
    // On other paper, a printer's say.
    ReportRenderer(ReportDefinition definition, std::shared_ptr<const ReportRows> rows,
                   const QPageLayout& page);

    const ReportDefinition& definition() const { return m_definition; }
    const std::shared_ptr<const ReportRows>& rows() const { return m_rows; }
    const QPageLayout& pageLayout() const { return m_page; }
    const ReportLayout& layout() const { return m_layout; }
    int pageCount() const { return m_layout.pageCount(); }
    // The paper in dots of 1/1200 inch.
    QSizeF paperSize() const { return m_layout.paperSize(); }

    // Paints one page (pages count from 0) with the painter's unit as one dot, the paper's top-left
    // corner at the origin. The caller scales the painter to its device.
    void paintPage(QPainter& painter, int page) const;

    // One page as an image at the given resolution, on white.
    QImage pageImage(int page, qreal dotsPerInch) const;

    // Paints the pages from first to last (counted from 0) onto a printer or PDF writer, one sheet
    // each, whose painting starts at the paper's corner. False when the device cannot be painted on.
    bool paintPages(QPagedPaintDevice& device, int first, int last) const;

private:
    void paintHeader(QPainter& painter) const;
    void paintTable(QPainter& painter, int page) const;
    void paintFooter(QPainter& painter, int page) const;

    ReportDefinition m_definition;
    std::shared_ptr<const ReportRows> m_rows;
    QPageLayout m_page;
    ReportLayout m_layout;
};

// Writes the whole report as a PDF file on its own paper. The file is replaced only once it is written
// whole; on failure it stays as it was and error tells why.
bool exportReportPdf(const ReportRenderer& renderer, const QString& path, QString* error);

// Prints the report on the printer's paper in the printer's orientation: every page, or the range the
// print dialog set on the printer. Give the printer the renderer's page layout before the print dialog
// runs, so that the dialog offers the report's own paper and orientation.
bool printReport(const ReportRenderer& renderer, QPrinter& printer);

} // namespace tarvo
