#include "records/report/ReportPreview.h"

#include "core/FileDialogs.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <QtMath>

#include <algorithm>

namespace tarvo {

namespace {

// Grey around the page on the screen, in pixels.
constexpr int PageMargin = 16;

// The zoom choices: a fit to the window, or a share of the real size in percent.
constexpr int WholePage = -2;
constexpr int PageWidth = -1;

// A file name for the PDF from the report's title, without the characters file systems refuse.
QString pdfFileName(const QString& title)
{
    QString name;
    for (QChar c : title) {
        if (!QStringLiteral("\\/:*?\"<>|").contains(c) && !c.isNonCharacter() && c.isPrint())
            name += c;
    }
    name = name.simplified();
    return (name.isEmpty() ? QStringLiteral("Report") : name) + QStringLiteral(".pdf");
}

} // namespace

// The page shown, painted at the preview's scale whenever it is exposed.
class ReportPageView final : public QWidget
{
public:
    ReportPageView(const ReportRenderer& renderer, QWidget* parent) : QWidget(parent), m_renderer(renderer)
    {
        setObjectName(QStringLiteral("pagePreview"));
    }

    void showPage(int page, qreal scale)
    {
        m_page = page;
        m_scale = scale;
        const QSizeF paper = m_renderer.paperSize() * scale;
        setFixedSize(qCeil(paper.width()) + 2 * PageMargin, qCeil(paper.height()) + 2 * PageMargin);
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        Q_UNUSED(event)
        QPainter painter(this);
        const QRectF page(PageMargin, PageMargin, m_renderer.paperSize().width() * m_scale,
                          m_renderer.paperSize().height() * m_scale);
        painter.fillRect(page.translated(3, 3), QColor(0, 0, 0, 70));
        painter.fillRect(page, Qt::white);
        painter.translate(page.topLeft());
        painter.scale(m_scale, m_scale);
        m_renderer.paintPage(painter, m_page);
    }

private:
    const ReportRenderer& m_renderer;
    int m_page = 0;
    qreal m_scale = 1;
};

ReportPreview::ReportPreview(ReportDefinition definition, std::shared_ptr<const ReportRows> rows,
                             FileDialogs& fileDialogs, Messenger& messenger, QWidget* parent)
    : QDialog(parent), m_renderer(std::move(definition), std::move(rows)), m_fileDialogs(fileDialogs),
      m_messenger(messenger)
{
    setObjectName(QStringLiteral("frmReportPreview"));
    const QString title = m_renderer.definition().title;
    setWindowTitle(title.isEmpty() ? QStringLiteral("Report Preview") : title);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setModal(true);
    buildControls();

    if (const QScreen* screen = parent ? parent->screen() : QDialog::screen()) {
        const QSize room = screen->availableGeometry().size();
        resize(room.width() * 85 / 100, room.height() * 85 / 100);
    }
    showPage(0);
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::buildControls()
{
    m_cmdFirstPage = makeButton(QStringLiteral("|< First"), "cmdFirstPage", this);
    m_cmdPreviousPage = makeButton(QStringLiteral("< Previous"), "cmdPreviousPage", this);
    m_cmdNextPage = makeButton(QStringLiteral("Next >"), "cmdNextPage", this);
    m_cmdLastPage = makeButton(QStringLiteral("Last >|"), "cmdLastPage", this);
    m_lblPageNumber = new QLabel(this);
    m_lblPageNumber->setObjectName(QStringLiteral("lblPageNumber"));
    m_lblPageNumber->setAlignment(Qt::AlignCenter);
    m_lblPageNumber->setMinimumWidth(
        m_lblPageNumber->fontMetrics().horizontalAdvance(QStringLiteral("Page 00000 of 00000")));

    m_cboZoom = new QComboBox(this);
    m_cboZoom->setObjectName(QStringLiteral("cboZoom"));
    m_cboZoom->addItem(QStringLiteral("Whole Page"), WholePage);
    m_cboZoom->addItem(QStringLiteral("Page Width"), PageWidth);
    for (int percent : {50, 75, 100, 125, 150, 200})
        m_cboZoom->addItem(QStringLiteral("%1%").arg(percent), percent);
    m_cboZoom->setCurrentIndex(m_cboZoom->findData(PageWidth));
    auto* zoomLabel = new QLabel(QStringLiteral("Zoom :"), this);
    zoomLabel->setBuddy(m_cboZoom);

    auto* cmdPrint = makeButton(QStringLiteral("Print..."), "cmdPrint", this);
    auto* cmdExportPdf = makeButton(QStringLiteral("Export PDF..."), "cmdExportPdf", this);
    auto* cmdClose = makeButton(QStringLiteral("Close"), "cmdClose", this);

    m_pageView = new ReportPageView(m_renderer, this);
    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("scrPages"));
    m_scrollArea->setBackgroundRole(QPalette::Dark);
    m_scrollArea->setAlignment(Qt::AlignCenter);
    m_scrollArea->setWidget(m_pageView);
    m_scrollArea->viewport()->installEventFilter(this);

    auto* tools = new QHBoxLayout;
    for (QWidget* widget : std::initializer_list<QWidget*>{m_cmdFirstPage, m_cmdPreviousPage, m_lblPageNumber,
                                                           m_cmdNextPage, m_cmdLastPage})
        tools->addWidget(widget);
    tools->addSpacing(24);
    tools->addWidget(zoomLabel);
    tools->addWidget(m_cboZoom);
    tools->addStretch();
    for (QWidget* widget : {cmdPrint, cmdExportPdf, cmdClose})
        tools->addWidget(widget);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_scrollArea, 1);

    connect(m_cmdFirstPage, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(m_cmdPreviousPage, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_cmdNextPage, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(m_cmdLastPage, &QPushButton::clicked, this, [this] { showPage(pageCount() - 1); });
    connect(m_cboZoom, &QComboBox::currentIndexChanged, this, &ReportPreview::updateZoom);
    connect(cmdPrint, &QPushButton::clicked, this, &ReportPreview::printReport);
    connect(cmdExportPdf, &QPushButton::clicked, this, &ReportPreview::exportPdf);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    const std::pair<QKeySequence, QPushButton*> keys[] = {
        {QKeySequence::MoveToStartOfDocument, m_cmdFirstPage},
        {QKeySequence::MoveToPreviousPage, m_cmdPreviousPage},
        {QKeySequence::MoveToNextPage, m_cmdNextPage},
        {QKeySequence::MoveToEndOfDocument, m_cmdLastPage},
        {QKeySequence::Print, cmdPrint}};
    for (const auto& [key, button] : keys)
        connect(new QShortcut(key, this), &QShortcut::activated, button, &QPushButton::click);
}

void ReportPreview::showPage(int page)
{
    m_page = std::clamp(page, 0, pageCount() - 1);
    updateZoom();
    m_scrollArea->verticalScrollBar()->setValue(0);
    updateNavigation();
}

void ReportPreview::updateNavigation()
{
    const bool atFirst = m_page == 0;
    const bool atLast = m_page == pageCount() - 1;
    m_cmdFirstPage->setEnabled(!atFirst);
    m_cmdPreviousPage->setEnabled(!atFirst);
    m_cmdNextPage->setEnabled(!atLast);
    m_cmdLastPage->setEnabled(!atLast);
    m_lblPageNumber->setText(QStringLiteral("Page %1 of %2").arg(m_page + 1).arg(pageCount()));
}

qreal ReportPreview::scale() const
{
    const int choice = m_cboZoom->currentData().toInt();
    const QSizeF paper = m_renderer.paperSize();
    const QSize room = m_scrollArea->viewport()->size() - QSize(2 * PageMargin, 2 * PageMargin);
    const qreal widthFit = std::max(room.width(), 50) / paper.width();
    if (choice == PageWidth)
        return widthFit;
    if (choice == WholePage)
        return std::min(widthFit, std::max(room.height(), 50) / paper.height());
    return choice / 100.0 * logicalDpiX() / ReportDotsPerInch;
}

void ReportPreview::updateZoom()
{
    m_pageView->showPage(m_page, scale());
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event)
{
    // A fit to the window follows the window's size.
    if (watched == m_scrollArea->viewport() && event->type() == QEvent::Resize &&
        m_cboZoom->currentData().toInt() < 0)
        updateZoom();
    return QDialog::eventFilter(watched, event);
}

void ReportPreview::printReport()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_renderer.pageLayout());
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("dlgPrint"));
    dialog.setMinMax(1, pageCount());
    if (dialog.exec() != QDialog::Accepted)
        return;
    BusyCursor busy;
    if (!tarvo::printReport(m_renderer, printer))
        m_messenger.inform(this, QStringLiteral("The report could not be printed."), MessageTitle::Error,
                           MessageIcon::Critical);
}

void ReportPreview::exportPdf()
{
    const SaveFileRequest request{QStringLiteral("Export PDF"),
                                  pdfFileName(m_renderer.definition().title),
                                  QDir::homePath(),
                                  {QStringLiteral("PDF files (*.pdf)")},
                                  QStringLiteral("pdf")};
    const QString path = m_fileDialogs.chooseFileToSave(this, request);
    if (path.isEmpty())
        return;
    QString error;
    bool written = false;
    {
        BusyCursor busy;
        written = exportReportPdf(m_renderer, path, &error);
    }
    if (!written)
        m_messenger.inform(this,
                           QStringLiteral("The PDF file could not be written:\n%1\n%2")
                               .arg(QDir::toNativeSeparators(path), error),
                           MessageTitle::Error, MessageIcon::Critical);
}

} // namespace tarvo
