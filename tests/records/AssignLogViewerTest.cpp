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

namespace {

struct Viewer
{
    QString logPath() const { return program.path(u"AssignLog.txt"_s); }
    QByteArray logBytes() const
    {
        QFile file(logPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void open() { window = std::make_unique<frmAssignLog>(program.context); }
    QString shown() const { return test::child<QPlainTextEdit>(window.get(), "txtAssignLog")->toPlainText(); }

    test::TestProgram program;
    std::unique_ptr<frmAssignLog> window;
};

QString sampleBlock()
{
    IpRecord record;
    record.IP_Address = u"10.20.34.7"_s;
    record.Name = u"PCBF07"_s;
    record.Type = u"PC"_s;
    record.Username = u"Aminah"_s;
    return AssignLogBlock(record, {{2026, 12, 5}, {9, 5, 3}});
}

} // namespace

class AssignLogViewerTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showsTheLogAsStored()
    {
        Viewer v;
        QVERIFY(WriteAssignLog(v.program.folder(), sampleBlock()));
        v.open();
        QVERIFY(v.program.messenger.isEmpty());
        QCOMPARE(v.shown(), QString(sampleBlock()).replace(u"\r\n"_s, u"\n"_s));
        QVERIFY(v.shown().contains(u"IP Address\t: 10.20.34.7"_s));
    }

    void missingLogOpensEmptyAfterAMessage()
    {
        Viewer v;
        v.open();
        QCOMPARE(v.program.messenger.texts(), QStringList{u"Error !!! No info available ... "_s});
        QCOMPARE(v.program.messenger.last().title, u"Error !!!"_s);
        QCOMPARE(v.shown(), QString());
    }

    // Clearing asks first, with No as the default; Yes leaves exactly one empty line (CR LF), also where
    // the log was missing.
    void clearLog_data()
    {
        QTest::addColumn<bool>("logExists");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("No keeps the log") << true << MessageAnswer::No << false;
        QTest::newRow("Yes clears it") << true << MessageAnswer::Yes << true;
        QTest::newRow("Yes creates a missing log") << false << MessageAnswer::Yes << true;
    }
    void clearLog()
    {
        QFETCH(bool, logExists);
        QFETCH(MessageAnswer, answer);
        QFETCH(bool, cleared);

        Viewer v;
        if (logExists)
            QVERIFY(WriteAssignLog(v.program.folder(), sampleBlock()));
        const QByteArray before = v.logBytes();
        v.open();
        const QString shownBefore = v.shown();
        v.program.messenger.clear();
        v.program.messenger.answer(answer);
        QTest::mouseClick(test::child<QPushButton>(v.window.get(), "cmdClearLog"), Qt::LeftButton);

        const Message& question = v.program.messenger.last();
        QCOMPARE(question.text, ClearLogQuestion);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(question.defaultAnswer, MessageAnswer::No);
        QCOMPARE(v.program.messenger.count(), 1);
        QCOMPARE(v.logBytes(), cleared ? QByteArray("\r\n") : before);
        QCOMPARE(v.shown(), cleared ? QString() : shownBefore);
    }
};

QTEST_MAIN(AssignLogViewerTest)
#include "AssignLogViewerTest.moc"
