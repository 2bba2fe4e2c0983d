// The assignment-log viewer: the log as stored, a missing log, and "Clear Log" after its question.

#include "TestProgram.h"
#include "WidgetDriver.h"

#include "assign/AssignLog.h"
#include "records/frmAssignLog.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace tarvo;
using namespace Qt::StringLiterals;

class AssignLogViewerTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The log is shown as stored; a missing one opens empty after a message. Clearing asks first, with
    // No as the default; Yes leaves exactly one empty line (CR LF), also where the log was missing.
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
        IpRecord record;
        record.IP_Address = u"10.20.34.7"_s;
        record.Name = u"PCBF07"_s;
        const QString block = AssignLogBlock(record, {{2026, 12, 5}, {9, 5, 3}});
        if (logExists)
            QVERIFY(WriteAssignLog(program.folder(), block));
        const auto logBytes = [&program] {
            QFile file(program.path(u"AssignLog.txt"_s));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
        };
        const QByteArray before = logBytes();
        frmAssignLog window(program.context);
        const auto* shown = test::child<QPlainTextEdit>(&window, "txtAssignLog");
        if (logExists) {
            QVERIFY(program.messenger.isEmpty());
            QCOMPARE(shown->toPlainText(), QString(block).replace(u"\r\n"_s, u"\n"_s));
            QVERIFY(shown->toPlainText().contains(u"IP Address\t: 10.20.34.7"_s));
        } else {
            QCOMPARE(program.messenger.texts(), QStringList{u"Error !!! No info available ... "_s});
            QCOMPARE(program.messenger.last().title, u"Error !!!"_s);
            QCOMPARE(shown->toPlainText(), QString());
        }
        const QString shownBefore = shown->toPlainText();
        program.messenger.clear();
        program.messenger.answer(answer);
        QTest::mouseClick(test::child<QPushButton>(&window, "cmdClearLog"), Qt::LeftButton);

        const Message& question = program.messenger.last();
        QCOMPARE(question.text, ClearLogQuestion);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(question.defaultAnswer, MessageAnswer::No);
        QCOMPARE(program.messenger.count(), 1);
        QCOMPARE(logBytes(), cleared ? QByteArray("\r\n") : before);
        QCOMPARE(shown->toPlainText(), cleared ? QString() : shownBefore);
    }
};

QTEST_MAIN(AssignLogViewerTest)
#include "AssignLogViewerTest.moc"
