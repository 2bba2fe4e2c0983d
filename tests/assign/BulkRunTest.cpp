#include "ScriptedMessenger.h"

#include "assign/BulkRun.h"

#include <QSet>
#include <QTest>
#include <QTimer>

using namespace tarvo;

namespace {

// Plays the assignment window around a run: it proposes when asked (an address answers or has its
// details read when the script says so), and saves when asked or, in a manual run, as the user would.
struct Window
{
    explicit Window(AssignMode mode, int count)
    {
        run.setMode(mode);
        run.setBulkCount(count);
        QObject::connect(&run, &BulkRun::proposalRequested, &run, [this] { propose(); });
        QObject::connect(&run, &BulkRun::saveRequested, &run, [this] { save(); });
        QObject::connect(&run, &BulkRun::progressChanged, &run, [this](int n) {
            progress << n;
            // Stop is clicked while the proposal is shown; the click is handled from the event loop.
            if (n == stopAt)
                QTimer::singleShot(0, &run, [this] { run.cancel(); });
        });
        QObject::connect(&run, &BulkRun::finished, &run, [this] { ended = QStringLiteral("finished"); });
        QObject::connect(&run, &BulkRun::stopped, &run, [this] { ended = QStringLiteral("stopped"); });
    }

    void propose()
    {
        ++proposals;
        kept << (run.keptDetails() ? run.keptDetails()->Project : QString());
        if (inUse.contains(proposals))
            run.markInUse();
        run.proposalShown(answering.contains(proposals));
        // The user saves a proposal of a manual run.
        if (run.state() == BulkRun::State::Proposed && !run.AutoSave())
            QTimer::singleShot(0, &run, [this] {
                if (run.state() == BulkRun::State::Proposed)
                    save();
            });
    }

    void save()
    {
        if (!run.confirmSave())
            return;
        if (++saves == failAt) {
            run.saveFailed();
            return;
        }
        KeptDetails details;
        details.Project = QStringLiteral("P%1").arg(saves);
        run.saved(details);
    }

    QStringList titles() const
    {
        QStringList list;
        for (const Message& message : messenger.shown())
            list << message.title;
        return list;
    }

    test::ScriptedMessenger messenger;
    BulkRun run{[this](const Message& message) { return messenger.ask(nullptr, message); }};
    QSet<int> answering; // proposals whose address answers the ping
    QSet<int> inUse;     // proposals whose device details are read ("X")
    int stopAt = 0;      // Stop when the progress reaches this
    int failAt = 0;      // this save fails
    int proposals = 0;
    int saves = 0;
    QList<int> progress;
    QStringList kept; // the project kept for each proposal
    QString ended;
};

const QString Save = QStringLiteral("Save Record");
const QString Same = QStringLiteral("Confirmation");
const QString Auto = QStringLiteral("Auto-Save");
using Answers = QList<MessageAnswer>;
constexpr auto Ok = MessageAnswer::Ok;
constexpr auto Yes = MessageAnswer::Yes;
constexpr auto No = MessageAnswer::No;

} // namespace

Q_DECLARE_METATYPE(tarvo::AssignMode)

// The run of the assignment window: the questions, the counting, the kept details, the in-use marker,
// automatic saving, Stop, and how a run ends.
class BulkRunTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void runs_data()
    {
        QTest::addColumn<AssignMode>("mode");
        QTest::addColumn<int>("count");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QList<int>>("answering");
        QTest::addColumn<QList<int>>("inUse");
        QTest::addColumn<int>("stopAt");
        QTest::addColumn<int>("failAt");
        QTest::addColumn<int>("saves");
        QTest::addColumn<QList<int>>("progress");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("ended");
        const auto row = [](const char* name, int count, const Answers& answers, int saves,
                            const QList<int>& progress, const QStringList& titles, const char* ended,
                            const QList<int>& answering = {}, const QList<int>& inUse = {}, int stopAt = 0,
                            int failAt = 0, AssignMode mode = AssignMode::New) {
            QTest::newRow(name) << mode << count << answers << answering << inUse << stopAt << failAt << saves
                                << progress << titles << QString::fromLatin1(ended);
        };
        row("one address asks nothing more", 1, {Ok}, 1, {}, {Save}, "finished");
        row("three, same details, auto-save", 3, {Ok, Yes, Yes}, 3, {1, 2, 3}, {Save, Same, Auto},
            "finished");
        row("three, details not kept", 3, {Ok, No, Ok, Ok}, 3, {1, 2, 3}, {Save, Same, Save, Save},
            "finished");
        row("three, kept but saved by hand", 3, {Ok, Yes, No, Ok, Ok}, 3, {1, 2, 3},
            {Save, Same, Auto, Save, Save}, "finished");
        row("the second address answers", 3, {Ok, No, Ok, Ok, Ok}, 4, {1, 2, 3},
            {Save, Same, Save, Save, Save}, "finished", {2});
        row("stop during the fifth of ten", 10, {Ok, Yes, Yes}, 4, {1, 2, 3, 4, 5}, {Save, Same, Auto}, "",
            {}, {}, 5);
        row("a failing automatic save stops", 5, {Ok, Yes, Yes}, 3, {1, 2, 3}, {Save, Same, Auto}, "stopped",
            {}, {}, 0, 3);
        row("one address whose device was read", 1, {Ok, Ok}, 2, {}, {Save, Save}, "finished", {1}, {1});
        row("marked proposal asks no question", 2, {Ok, Ok, No, Ok}, 3, {1, 2}, {Save, Save, Same, Save},
            "finished", {1}, {1});
        row("cancel on the save question", 1, {MessageAnswer::Cancel}, 0, {}, {Save}, "");
        row("dedicated ends at its save", 71, {Ok}, 1, {}, {Save}, "finished", {}, {}, 0, 0,
            AssignMode::Dedicated);
        row("scan resumes after a marked save", 1, {Ok, Ok}, 2, {}, {Save, Save}, "finished", {1}, {1}, 0, 0,
            AssignMode::Scan);
    }
    void runs()
    {
        QFETCH(AssignMode, mode);
        QFETCH(int, count);
        QFETCH(Answers, answers);
        QFETCH(QList<int>, answering);
        QFETCH(QList<int>, inUse);
        QFETCH(int, stopAt);
        QFETCH(int, failAt);
        QFETCH(int, saves);
        QFETCH(QList<int>, progress);
        QFETCH(QStringList, titles);
        QFETCH(QString, ended);

        Window window(mode, count);
        for (const MessageAnswer answer : std::as_const(answers))
            window.messenger.answer(answer);
        window.answering = QSet<int>(answering.cbegin(), answering.cend());
        window.inUse = QSet<int>(inUse.cbegin(), inUse.cend());
        window.stopAt = stopAt;
        window.failAt = failAt;
        window.propose();
        QTRY_COMPARE(window.saves, saves);
        QTest::qWait(30);
        QCOMPARE(window.saves, saves);
        QCOMPARE(window.progress, progress);
        QCOMPARE(window.titles(), titles);
        QCOMPARE(window.ended, ended);
        QCOMPARE(window.run.AutoSave(), false);
        if (!ended.isEmpty() || stopAt)
            QCOMPARE(window.run.state(), BulkRun::State::Idle);
    }

    // The kept details come from the first record, and the questions count the addresses still to
    // come. A completed run leaves no kept details or answers behind for the next one.
    void keptDetailsLastOneRun()
    {
        Window window(AssignMode::New, 3);
        for (const MessageAnswer answer : {Ok, Yes, Yes, Ok, Yes, No, Ok, Ok})
            window.messenger.answer(answer);
        window.propose();
        QTRY_COMPARE(window.ended, QStringLiteral("finished"));
        QVERIFY(!window.run.keptDetails());
        QVERIFY(window.messenger.shown().at(1).text.startsWith(
            QLatin1String("Use the same user details for the next 2 IP assignment?\r\n\r\nNote:\r\n")));
        QVERIFY(window.messenger.shown().at(2).text.startsWith(
            QLatin1String("Tarvo can automatically saved the next 2 IP assignment.\r\n")));
        window.ended.clear();
        window.propose();
        QTRY_COMPARE(window.ended, QStringLiteral("finished"));
        QCOMPARE(window.kept, (QStringList{"", "P1", "P1", "", "P4", "P4"}));
        QCOMPARE(window.titles(), (QStringList{Save, Same, Auto, Save, Same, Auto, Save, Save}));
    }

    // Cancel takes off the in-use marker, so the next proposal counts and the questions come again.
    void cancelClearsTheMarker()
    {
        Window window(AssignMode::New, 3);
        QList<bool> marker;
        QObject::connect(&window.run, &BulkRun::inUseMarkerChanged, [&](bool shown) { marker << shown; });
        window.run.markInUse();
        window.run.cancel();
        QCOMPARE(marker, (QList<bool>{true, false}));
        window.run.proposalShown(false);
        QCOMPARE(window.progress, QList<int>{1});
    }
};

QTEST_GUILESS_MAIN(BulkRunTest)
#include "BulkRunTest.moc"
