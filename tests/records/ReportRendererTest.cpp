#include "PdfReader.h"
#include "SampleReports.h"

#include "records/report/ReportLayout.h"
#include "records/report/ReportRenderer.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {

// The numbers of the hosts printed on a page, in the order printed.
QList<int> hostsOn(const QString& pageText)
{
    QList<int> hosts;
    auto matches = QRegularExpression(u"host-(\\d{4})"_s).globalMatch(pageText);
    while (matches.hasNext())
        hosts << matches.next().captured(1).toInt();
    return hosts;
}

} // namespace

class ReportRendererTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void placeholders_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("printed");
        QTest::newRow("page footer") << u"Page : %p/%P"_s << u"Page : 2/7"_s;
        QTest::newRow("title") << u"%i"_s << u"Tarvo : 50%p"_s;
        QTest::newRow("other percent signs") << u"100% %x %"_s << u"100% %x %"_s;
    }
    void placeholders()
    {
        QFETCH(QString, caption);
        // The title is put in as it stands: its own "%p" is not replaced again.
        QTEST(expandPlaceholders(caption, 2, 7, u"Tarvo : 50%p"_s), "printed");
    }

    // A cell prints one line: line breaks and tabs as blanks, a text too long cut with an ellipsis.
    void fitTextPrintsOneLine()
    {
        const QFontMetricsF metrics(ReportFonts::standard().detail);
        const qreal width = metrics.horizontalAdvance(u"Information Tech"_s);
        QCOMPARE(fitText(u"a\r\nb\nc\td"_s, metrics, width), u"a b c d"_s);
        const QString cut = fitText(u"Information Technology Division"_s, metrics, width);
        QVERIFY2(cut.startsWith(u"Information"_s) && cut.endsWith(u'…') &&
                     metrics.horizontalAdvance(cut) <= width,
                 qPrintable(cut));
    }

    // The fields of a header line never overlap and stay within the line; when the line is too wide the
    // longest label is shortened first.
    void headerLineFields_data()
    {
        QTest::addColumn<QString>("city");
        QTest::addColumn<bool>("shortened");
        QTest::newRow("fits") << u"Shah Alam"_s << false;
        QTest::newRow("too wide") << u"Shah Alam "_s.repeated(30) << true;
    }
    void headerLineFields()
    {
        QFETCH(QString, city);
        ReportLine line = test::sampleReport(ReportOrientation::Landscape).header.at(0);
        line.left[2].label.caption = city;
        line.right = {{u"Total Record :"_s, {u"lblTotalRecord"_s, u"1234"_s}}};
        const QRectF rect(600, 1000, 12000, 200);
        const ReportFonts fonts = ReportFonts::standard();
        const QList<PlacedText> placed =
            placeLine(line, rect, fonts.prompt, fonts.value, [](const QString& caption) { return caption; });
        QCOMPARE(placed.size(), 12); // a prompt and a label for five fields at the left, one at the right
        for (qsizetype i = 0; i < placed.size(); ++i) {
            QVERIFY(placed.at(i).rect.left() >= rect.left() &&
                    placed.at(i).rect.right() <= rect.right() + 0.01);
            if (i > 0)
                QVERIFY(placed.at(i - 1).rect.right() <= placed.at(i).rect.left());
        }
        QCOMPARE(placed.last().rect.right(), rect.right());
        QCOMPARE(placed.at(1).text, u"CENTRAL"_s);
        QCOMPARE(placed.last().text, u"1234"_s);
        QFETCH(bool, shortened);
        QCOMPARE(placed.at(5).text.endsWith(u'…'), shortened);
    }

    // Every row is printed once and in order, the report header only on the first page, and every page
    // has the column headings and the footer with its number and the number of pages.
    void pdfPagesAndFooters_data()
    {
        QTest::addColumn<ReportOrientation>("orientation");
        QTest::addColumn<int>("rows");
        QTest::newRow("portrait, 100 rows") << ReportOrientation::Portrait << 100;
        QTest::newRow("landscape, 100 rows") << ReportOrientation::Landscape << 100;
        QTest::newRow("no row") << ReportOrientation::Portrait << 0;
    }
    void pdfPagesAndFooters()
    {
        if (!test::PdfReader::available())
            QSKIP("poppler-utils (pdfinfo, pdftotext) is not installed");
        QFETCH(ReportOrientation, orientation);
        QFETCH(int, rows);
        const ReportRenderer renderer(test::sampleReport(orientation), test::sampleRows(rows));
        const int pages = renderer.pageCount();
        QVERIFY(rows < 100 || pages > 2);
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".pdf"_s);
        QString error;
        QVERIFY2(exportReportPdf(renderer, path, &error), qPrintable(error));

        QCOMPARE(test::PdfReader::pageCount(path), pages);
        const QSizeF paper = test::PdfReader::pageSize(path);
        QCOMPARE(paper.width() > paper.height(), orientation == ReportOrientation::Landscape);
        QList<int> printed;
        for (int page = 1; page <= pages; ++page) {
            const QString text = test::PdfReader::pageText(path, page);
            QVERIFY2(text.contains(u"Page : %1/%2"_s.arg(page).arg(pages)), qPrintable(text));
            QVERIFY(text.contains(u"This report was generate by Tarvo system."_s));
            QVERIFY(text.contains(u"IP Address"_s) && text.contains(u"User Name"_s));
            QCOMPARE(text.contains(u"Tarvo : Report by"_s, Qt::CaseInsensitive), page == 1);
            QCOMPARE(text.contains(u"Total "_s), page == 1);
            printed += hostsOn(text);
        }
        QList<int> expected(rows);
        std::iota(expected.begin(), expected.end(), 1);
        QCOMPARE(printed, expected);
    }

    // Printing lays the report out on the printer's paper and prints the range chosen.
    void printerPaperAndRange_data()
    {
        QTest::addColumn<ReportOrientation>("orientation");
        QTest::addColumn<int>("paperId");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("A4, all pages") << ReportOrientation::Portrait << int(QPageSize::A4) << 0 << 0;
        QTest::newRow("Letter landscape, pages 2 to 3")
            << ReportOrientation::Landscape << int(QPageSize::Letter) << 2 << 3;
    }
    void printerPaperAndRange()
    {
        if (!test::PdfReader::available())
            QSKIP("poppler-utils (pdfinfo, pdftotext) is not installed");
        QFETCH(ReportOrientation, orientation);
        QFETCH(int, paperId);
        QFETCH(int, from);
        QFETCH(int, to);
        const auto rows = test::sampleRows(100);
        const QString path = m_dir.filePath(u"printed.pdf"_s);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        const QPageSize paper(static_cast<QPageSize::PageSizeId>(paperId));
        printer.setPageLayout(reportPageLayout(orientation));
        printer.setPageSize(paper);
        if (from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(from, to);
        }
        QVERIFY(printReport(ReportRenderer(test::sampleReport(orientation), rows), printer));

        QPageLayout onPaper = reportPageLayout(orientation);
        onPaper.setPageSize(paper);
        const int pages = ReportRenderer(test::sampleReport(orientation), rows, onPaper).pageCount();
        const int first = from > 0 ? from : 1;
        const int last = from > 0 ? to : pages;
        QCOMPARE(test::PdfReader::pageCount(path), last - first + 1);
        QCOMPARE(test::PdfReader::pageSize(path).toSize(),
                 onPaper.fullRect(QPageLayout::Point).size().toSize());
        QVERIFY(test::PdfReader::pageText(path, 1).contains(u"Page : %1/%2"_s.arg(first).arg(pages)));
    }

    // The images the preview and the tests draw: the paper's size at the resolution asked for, the grey
    // band of headings under the report header.
    void pageImages()
    {
        for (const ReportOrientation orientation :
             {ReportOrientation::Portrait, ReportOrientation::Landscape}) {
            const ReportRenderer renderer(test::sampleReport(orientation), test::sampleRows(100));
            const QImage image = renderer.pageImage(0, 100);
            const QSize a4(827, 1170); // 210 x 297 mm at 100 dpi, rounded up
            QCOMPARE(image.size(), orientation == ReportOrientation::Portrait ? a4 : a4.transposed());
            const QPointF inBand =
                renderer.layout().bandRect(0).bottomRight() * (100 / ReportDotsPerInch) - QPointF(30, 4);
            QCOMPARE(image.pixelColor(inBand.toPoint()), QColor(217, 217, 217));
        }
    }
};

QTEST_MAIN(ReportRendererTest)
#include "ReportRendererTest.moc"
