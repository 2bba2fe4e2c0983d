#pragma once

#include "records/report/ReportRenderer.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace tarvo {

class FileDialogs;
class Messenger;
class ReportPageView;

// The modal preview of a report: one page at a time, with page navigation, zoom, Print and Export PDF.
// Only the page shown is painted, so a report of many thousand rows opens at once.
class ReportPreview final : public QDialog
{
    Q_OBJECT
public:
    ReportPreview(ReportDefinition definition, std::shared_ptr<const ReportRows> rows,
                  FileDialogs& fileDialogs, Messenger& messenger, QWidget* parent = nullptr);
    ~ReportPreview() override;

    const ReportRenderer& renderer() const { return m_renderer; }
    int pageCount() const { return m_renderer.pageCount(); }
    // The page shown, counted from 0.
    int currentPage() const { return m_page; }
    void showPage(int page);
    // Screen pixels per dot of the page shown.
    qreal scale() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void updateNavigation();
    void updateZoom();
    void printReport();
    void exportPdf();

    ReportRenderer m_renderer;
    FileDialogs& m_fileDialogs;
    Messenger& m_messenger;
    int m_page = 0;

    QPushButton* m_cmdFirstPage = nullptr;
    QPushButton* m_cmdPreviousPage = nullptr;
    QPushButton* m_cmdNextPage = nullptr;
    QPushButton* m_cmdLastPage = nullptr;
    QLabel* m_lblPageNumber = nullptr;
    QComboBox* m_cboZoom = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    ReportPageView* m_pageView = nullptr;
};

} // namespace tarvo
