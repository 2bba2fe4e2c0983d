#include "PdfReader.h"
#include "SampleReports.h"
#include "TestProgram.h"

#include "records/report/ReportPreview.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include <memory>

using namespace tarvo;
using namespace Qt::StringLiterals;

class ReportPreviewTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<test::TestProgram> m_program;
    std::unique_ptr<ReportPreview> m_preview;

    template <typename T = QWidget>
    T* control(const char* name) const
    {
        return m_preview->findChild<T*>(QLatin1String(name));
    }
    QString pageLabel() const { return control<QLabel>("lblPageNumber")->text(); }
    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<test::TestProgram>(test::TestProgram::Setup::Empty);
        m_preview = std::make_unique<ReportPreview>(test::sampleReport(ReportOrientation::Portrait),
                                                    test::sampleRows(100), m_program->fileDialogs,
                                                    m_program->messenger);
        m_preview->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_preview.get()));
    }
    void cleanup()
    {
        m_preview.reset();
        m_program.reset();
    }

    void navigatesPageByPage()
    {
        const int last = m_preview->pageCount();
        QVERIFY(last >= 3);
        // Each step: the button clicked or the key pressed, and the page then shown.
        const struct
        {
            const char* control;
            int page;
        } steps[] = {
            {nullptr, 1},        {"cmdNextPage", 2}, {"cmdLastPage", last}, {"cmdPreviousPage", last - 1},
            {"cmdFirstPage", 1}, {"PageDown", 2},    {"PageUp", 1}};
        for (const auto& step : steps) {
            if (step.control && QByteArray(step.control).startsWith("cmd"))
                click(step.control);
            else if (step.control)
                QTest::keyClick(m_preview.get(),
                                QByteArray(step.control) == "PageDown" ? Qt::Key_PageDown : Qt::Key_PageUp);
            QCOMPARE(pageLabel(), u"Page %1 of %2"_s.arg(step.page).arg(last));
            QCOMPARE(m_preview->currentPage(), step.page - 1);
            for (const char* back : {"cmdFirstPage", "cmdPreviousPage"})
                QCOMPARE(control(back)->isEnabled(), step.page > 1);
            for (const char* on : {"cmdNextPage", "cmdLastPage"})
                QCOMPARE(control(on)->isEnabled(), step.page < last);
        }
    }

    void zoomScalesThePage()
    {
        auto* zoom = control<QComboBox>("cboZoom");
        QWidget* page = control("pagePreview");
        QCOMPARE(zoom->currentText(), u"Page Width"_s);
        QVERIFY(page->width() <= control<QScrollArea>("scrPages")->viewport()->width());
        zoom->setCurrentIndex(zoom->findText(u"100%"_s));
        const int atFull = page->width();
        // A4 is 8.27 inches wide; the page has a margin of grey around it.
        QVERIFY(qAbs(atFull - 8.27 * m_preview->logicalDpiX()) < 40);
        zoom->setCurrentIndex(zoom->findText(u"200%"_s));
        QVERIFY(qAbs(page->width() - 2 * atFull) < 40);
        zoom->setCurrentIndex(zoom->findText(u"Whole Page"_s));
        const QSize room = control<QScrollArea>("scrPages")->viewport()->size();
        QVERIFY(page->width() <= room.width() && page->height() <= room.height());
    }

    void exportsPdfToTheFileChosen()
    {
        const QString path = m_program->path(u"by date.pdf"_s);
        m_program->fileDialogs.files = {path};
        click("cmdExportPdf");
        QVERIFY(m_program->messenger.isEmpty());
        const SaveFileRequest& request = m_program->fileDialogs.saveRequests.constLast();
        QCOMPARE(request.fileName, u"Tarvo Report by Date.pdf"_s);
        QCOMPARE(request.defaultSuffix, u"pdf"_s);
        if (test::PdfReader::available())
            QCOMPARE(test::PdfReader::pageCount(path), m_preview->pageCount());
        else
            QVERIFY(QFile::exists(path));

        // Cancelling the dialog writes nothing and says nothing; a file that cannot be written is reported.
        click("cmdExportPdf");
        QCOMPARE(m_program->fileDialogs.saveRequests.size(), 2);
        QVERIFY(m_program->messenger.isEmpty());
        m_program->fileDialogs.files = {m_program->path(u"no such folder/report.pdf"_s)};
        click("cmdExportPdf");
        QCOMPARE(m_program->messenger.count(), 1);
        QVERIFY(m_program->messenger.last().text.startsWith(u"The PDF file could not be written:"_s));
        QCOMPARE(m_program->messenger.last().icon, MessageIcon::Critical);
    }
};

QTEST_MAIN(ReportPreviewTest)
#include "ReportPreviewTest.moc"
