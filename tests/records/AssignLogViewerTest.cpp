// The assignment-log viewer: the log shown as a plain-text box showed it, scrolled to its end and
// copied, a missing log, "Clear Log" after its question, and the size it opens at.

#include "TestProgram.h"
#include "WidgetDriver.h"

#include "assign/AssignLog.h"
#include "records/IndexedTextFile.h"
#include "records/LineIndex.h"
#include "records/TextLinesView.h"
#include "records/frmAssignLog.h"

#include <QClipboard>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {

IpRecord sampleRecord(int i)
{
    IpRecord record;
    record.IP_Address = u"10.20.%1.%2"_s.arg(i / 256 % 256).arg(i % 256);
    record.Name = u"PCBF%1"_s.arg(i);
    record.Type = u"Workstation"_s;
    record.Username = u"Nur Aisyah binti Abdullah"_s;
    if (i % 2 == 0) {
        record.UnitDivision = u"Information Technology Division"_s;
        record.Floor = u"Level 12"_s;
        record.Building = u"Menara Tarvo"_s;
        record.Roadname = u"Jalan Sultan Ismail"_s;
        record.Postcode = u"50250"_s;
        record.City = u"Kuala Lumpur"_s;
        record.State = u"Wilayah Persekutuan"_s;
    }
    return record;
}

QByteArray blocks(int count)
{
    QByteArray log;
    for (int i = 0; i < count; ++i)
        log += AssignLogBlock(sampleRecord(i), {{2026, 12, 5}, {9, 5, i % 60}}).toUtf8();
    return log;
}

// The lines a plain-text box showed for the whole file read at once: UTF-8, or Latin-1 when the file
// is not UTF-8, with CR LF made line feeds.
QStringList shownByTextBox(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    QPlainTextEdit box;
    box.setPlainText(text.replace(u"\r\n"_s, u"\n"_s));
    QStringList lines;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

QStringList allLines(const TextLinesView* view)
{
    return view->source()->lines(0, view->source()->lineCount());
}

void writeLog(const test::TestProgram& program, const QByteArray& bytes)
{
    QFile file(program.path(u"AssignLog.txt"_s));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

class AssignLogViewerTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Every log shows the lines a plain-text box showed, in order, tabs kept; Ctrl+End shows the last
    // lines, and Ctrl+A, Ctrl+C copy the whole text. The long log is indexed in pieces on a thread of
    // its own, with line ends split between pieces and a Latin-1 byte found only at its end.
    void sameTextAsTextBox_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::newRow("CR LF blocks") << blocks(3);
        QTest::newRow("LF only") << QByteArray("Date Assign : 05/12/2026\n---\nIP Address\t: 10.0.0.1\n");
        QTest::newRow("tabs") << QByteArray("Address\t\t: Level 1, A\r\n       \t\t  Jalan\r\n");
        QTest::newRow("unfinished last line") << blocks(1) + "Date Assign : 05/1";
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("lone CR, CR CR LF") << QByteArray("a\rb\r\r\nc\r\r\r\nd\r\re\r\r");
        QTest::newRow("Latin-1") << QByteArray("Username\t: Jos\xe9\r\n");
        QTest::newRow("UTF-8 cut in a character") << QByteArray("caf\xc3");
        QTest::newRow("UTF-8 with byte order mark") << QByteArray("\xef\xbb\xbfJos\xc3\xa9\r\n\xef\xbb\xbfx");
        QByteArray longLog = blocks(4000);
        longLog.insert(IndexedTextFile::HeadBytes - 1, "\r\n");
        longLog.insert(IndexedTextFile::HeadBytes + IndexedTextFile::PieceBytes - 1, "\r\n");
        QTest::newRow("long, Latin-1 at its end") << longLog + "Jos\xe9!";
    }
    void sameTextAsTextBox()
    {
        QFETCH(QByteArray, log);
        test::TestProgram program;
        writeLog(program, log);
        frmAssignLog window(program.context);
        window.show();
        auto* view = test::child<TextLinesView>(&window, "txtAssignLog");
        QTRY_VERIFY(view->source()->isComplete());

        const QStringList expected = shownByTextBox(log);
        QCOMPARE(allLines(view), expected);
        QVERIFY(program.messenger.isEmpty());
        QVERIFY(!view->visibleLines().isEmpty());
        QCOMPARE(view->visibleLines(), expected.first(view->visibleLines().size()));

        QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
        const QStringList atEnd = view->visibleLines();
        QCOMPARE(atEnd, expected.mid(expected.size() - atEnd.size()));
        if (expected.size() > 13)
            QCOMPARE(atEnd.size(), view->verticalScrollBar()->pageStep());

        QGuiApplication::clipboard()->clear();
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected.join(u'\n'));
    }

    // Line ends and characters split between pieces read give the same lines as one piece.
    void piecesDoNotMatter()
    {
        const QByteArray bytes("a\rb\r\r\nc\r\r\r\nd\r\re\xc3\xa9\tf\n\r");
        const auto scanIn = [&bytes](qsizetype pieceSize) {
            LineScanner scanner;
            std::vector<qint64> starts;
            qint64 widest = 0;
            bool utf8 = true;
            const auto take = [&](const LineScanner::Piece& piece) {
                starts.insert(starts.end(), piece.starts.begin(), piece.starts.end());
                widest = qMax(widest, piece.widestColumns);
                utf8 = piece.utf8;
            };
            for (qsizetype at = 0; at < bytes.size(); at += pieceSize)
                take(scanner.scan(QByteArrayView(bytes).sliced(at, qMin(pieceSize, bytes.size() - at))));
            take(scanner.finish());
            return std::tuple(starts, widest, utf8);
        };
        const auto whole = scanIn(bytes.size());
        QCOMPARE(scanIn(1), whole);
        QCOMPARE(scanIn(2), whole);
        QCOMPARE(std::get<1>(whole), 9); // "e\u00e9" and a tab reach column 8, then "f"
        QVERIFY(std::get<2>(whole));
    }

    // A drag of the mouse from the start of one line to the start of another selects the lines between.
    void mouseSelects()
    {
        test::TestProgram program;
        writeLog(program, blocks(2));
        frmAssignLog window(program.context);
        window.show();
        auto* view = test::child<TextLinesView>(&window, "txtAssignLog");
        QTRY_VERIFY(view->source()->isComplete());
        const int line = view->fontMetrics().lineSpacing();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(1, 4 + 2 * line + line / 2));
        QTest::mouseMove(view->viewport(), QPoint(1, 4 + 4 * line + line / 2));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(1, 4 + 4 * line + line / 2));
        const QStringList lines = allLines(view);
        QCOMPARE(view->selectedText(), lines[2] + u'\n' + lines[3] + u'\n');
    }

    // A missing log opens empty after a message. Clearing asks first, with No as the default; Yes
    // leaves exactly one empty line (CR LF), also where the log was missing.
    void showAndClear_data()
    {
        QTest::addColumn<bool>("logExists");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("No keeps the log") << true << MessageAnswer::No << false;
        QTest::newRow("Yes clears it") << true << MessageAnswer::Yes << true;
        QTest::newRow("Yes creates a missing log") << false << MessageAnswer::Yes << true;
    }
    void showAndClear()
    {
        QFETCH(bool, logExists);
        QFETCH(MessageAnswer, answer);
        QFETCH(bool, cleared);

        test::TestProgram program;
        const QByteArray block = blocks(1);
        if (logExists)
            writeLog(program, block);
        const auto logBytes = [&program] {
            QFile file(program.path(u"AssignLog.txt"_s));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
        };
        const QByteArray before = logBytes();
        frmAssignLog window(program.context);
        const auto* shown = test::child<TextLinesView>(&window, "txtAssignLog");
        const auto shownText = [shown] { return allLines(shown).join(u'\n'); };
        if (logExists) {
            QVERIFY(program.messenger.isEmpty());
            QCOMPARE(shownText(), QString::fromUtf8(block).replace(u"\r\n"_s, u"\n"_s));
        } else {
            QCOMPARE(program.messenger.texts(), QStringList{u"Error !!! No info available ... "_s});
            QCOMPARE(program.messenger.last().title, u"Error !!!"_s);
            QCOMPARE(shownText(), QString());
        }
        const QString shownBefore = shownText();
        program.messenger.clear();
        program.messenger.answer(answer);
        QTest::mouseClick(test::child<QPushButton>(&window, "cmdClearLog"), Qt::LeftButton);

        const Message& question = program.messenger.last();
        QCOMPARE(question.text, ClearLogQuestion);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(question.defaultAnswer, MessageAnswer::No);
        QCOMPARE(program.messenger.count(), 1);
        QCOMPARE(logBytes(), cleared ? QByteArray("\r\n") : before);
        QCOMPARE(shownText(), cleared ? QString() : shownBefore);
    }

    // Opened in the main window's area, the viewer shows a whole block of the log (a block with a
    // unit and its address, after the empty line a cleared log starts with) without cutting a line;
    // a far wider first line does not make it larger than the area.
    void opensToShowWholeBlock_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<bool>("fits");
        QTest::newRow("blocks") << "\r\n" + blocks(4) << true;
        QTest::newRow("a line wider than the area") << QByteArray(3000, 'x') + "\r\n" + blocks(2) << false;
    }
    void opensToShowWholeBlock()
    {
        QFETCH(QByteArray, log);
        QFETCH(bool, fits);
        test::TestProgram program;
        writeLog(program, log);
        QMdiArea area;
        area.resize(1600, 1000);
        area.show();
        auto* window = new frmAssignLog(program.context, &area);
        QMdiSubWindow* sub = area.addSubWindow(window);
        sub->adjustSize();
        sub->show();
        auto* view = test::child<TextLinesView>(window, "txtAssignLog");
        QTRY_VERIFY(view->source()->isComplete());

        QVERIFY(area.viewport()->rect().contains(sub->geometry()));
        if (fits) {
            QCOMPARE(view->visibleLines().mid(0, 13), allLines(view).mid(0, 13));
            QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
        }
    }
};

QTEST_MAIN(AssignLogViewerTest)
#include "AssignLogViewerTest.moc"
