// The network scan's walk on its own: the questions and where they come, the addresses it pings and
// skips, the first answering device and the resumption after it, the end messages; with the fake
// pinger (the sample addresses are 10.x) and with the real pinger inside a network namespace of the
// test's own.

#include "Cases.h"
#include "FakePinger.h"
#include "TestNetworkNamespace.h"

#include "assign/AssignmentState.h"
#include "assign/ScanController.h"
#include "probe/IcmpPinger.h"

#include <QtTest>

#include <algorithm>

using namespace tarvo;
using test::span;
using Answers = QList<MessageAnswer>;

namespace {

const QString Prefix = QStringLiteral("10.20.34.");
const QString Finished = QStringLiteral("Scan Network finished or Stopped !!!");

// The fourth octets that got echo requests, each once, ascending.
QList<int> pinged(const test::FakePinger& pinger, const QString& prefix = Prefix)
{
    QList<int> octets;
    for (const QString& address : pinger.addresses()) {
        const int octet = address.mid(prefix.size()).toInt();
        if (address.startsWith(prefix) && !octets.contains(octet))
            octets << octet;
    }
    std::sort(octets.begin(), octets.end());
    return octets;
}

// A walk with a view that records what it shows and asks, answers the questions from a script (Yes
// when it runs out) and the scan-range dialog with a set start point.
struct Scan final : ScanView
{
    explicit Scan(Pinger& pinger) : controller(pinger, members, *this) {}
    // Runs a walk until its message was shown and the window is back to idle, or a device answered.
    void run(const Octet4Range& range, const QList<int>& recorded = {}, const QString& prefix = Prefix)
    {
        const qsizetype before = answered.size();
        controller.run({prefix, range, recorded});
        QVERIFY(
            QTest::qWaitFor([&] { return screen == ScanScreen::Idle || answered.size() > before; }, 10000));
    }

    void showScreen(ScanScreen shown) override { screen = shown; }
    void showAddress(const QString&) override {}
    void showNote(const QString& text) override { notes << text; }
    void beep() override {}
    MessageAnswer ask(const Message& message) override
    {
        messages << message.text;
        if (message.buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        askedAt << members.ScanPosition;
        if (answers.empty())
            return MessageAnswer::Yes;
        return answers.takeFirst();
    }
    std::optional<int> chooseStartPoint(const Octet4Range&) override { return startPoint; }
    void deviceAnswered(int IPOctet4) override
    {
        answered << IPOctet4;
        if (onAnswered)
            onAnswered(IPOctet4);
    }

    ScanMembers members;
    ScanScreen screen = ScanScreen::Idle;
    QStringList notes;
    QStringList messages;
    QList<int> askedAt; // ScanPosition when each question came
    Answers answers;
    std::optional<int> startPoint;
    QList<int> answered;
    std::function<void(int)> onAnswered;
    ScanController controller;
};

struct Walk
{
    const char* name;
    Octet4Range range;
    QList<int> recorded;
    Answers answers;
    int startPoint; // -1: the dialog closed without Start
    QList<int> askedAt;
    QString lastMessage;
    QList<int> pinged;
};

} // namespace

Q_DECLARE_METATYPE(Walk)

class ScanControllerTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void walks_data()
    {
        const MessageAnswer Yes = MessageAnswer::Yes;
        const MessageAnswer No = MessageAnswer::No;
        const QString proceed = QStringLiteral("Proceed with 30 more ? ...");
        test::cases<Walk>({
            {"a small range asks at 31", {20, 45}, {}, {}, -1, {31}, Finished, span(20, 45)},
            {"no at 31 in a small range", {20, 45}, {}, {No}, -1, {31}, proceed, span(20, 30)},
            {"a small range from 0 asks at 1", {0, 20}, {}, {No}, -1, {1}, proceed, {0}},
            {"no to the big scan", {71, 240}, {}, {No}, -1, {71}, bigScanQuestion(170).text, {}},
            {"start at 101", {71, 240}, {}, {Yes, No}, 101, {71, 121}, proceed, span(101, 120)},
            {"start at 0", {0, 255}, {}, {Yes, No}, 0, {0, 31}, proceed, span(0, 30)},
            {"no start point", {71, 240}, {}, {Yes, Yes, No}, -1, {71, 91, 121}, proceed, span(71, 120)},
            {"all recorded", {1, 20}, span(1, 20), {}, -1, {}, "All IP Address recorded ... ", {}},
            {"a repeated record counts once", {1, 5}, {1, 2, 3, 4, 4}, {}, -1, {}, Finished, {5}},
        });
    }
    void walks()
    {
        QFETCH(Walk, row);
        test::FakePinger pinger;
        Scan scan(pinger);
        scan.answers = row.answers;
        if (row.startPoint >= 0)
            scan.startPoint = row.startPoint;
        scan.run(row.range, row.recorded);
        // Where the walk stood at each question.
        QCOMPARE(scan.askedAt, row.askedAt);
        QCOMPARE(scan.messages.last(), row.lastMessage);
        QCOMPARE(pinged(pinger), row.pinged);
        QVERIFY(scan.members.ScanPosition == 0 && scan.screen == ScanScreen::Idle && scan.answered.isEmpty());
        for (const auto& call : pinger.calls)
            QVERIFY(call.ttl == 20 && call.timeoutMs == 200 && call.payload == "Quelm");
    }

    // With 1, 2 and 5 recorded, a device at 3 suspends the walk; once 3 is recorded the walk resumes at
    // 4, skips 5 and pings 6.
    void resumesPastRecords()
    {
        test::FakePinger pinger;
        pinger.answers(Prefix + QStringLiteral("3"));
        Scan scan(pinger);
        scan.run({1, 20}, {1, 2, 5});
        QCOMPARE(scan.answered, QList<int>{3});
        QCOMPARE(scan.members.ScanPosition, 4);
        QCOMPARE(scan.notes.last(), QStringLiteral("    ?"));
        pinger.calls.clear();
        scan.run({1, 20}, {1, 2, 3, 5});
        QCOMPARE(pinger.addresses().mid(0, 2), (QStringList{Prefix + "4", Prefix + "6"}));
        QCOMPARE(pinged(pinger), QList<int>{4} + span(6, 20));
        QCOMPARE(scan.messages, QStringList{Finished});
        QCOMPARE(scan.answered, QList<int>{3});
    }

    // A device at 40: the walk waits at 41. A device at 42 answering before it and while the address-in-use
    // dialog of 40 is open reaches neither it nor another dialog; the resumed walk finds it. A scan of
    // another prefix then starts at its range's beginning.
    void answerSuspendsTheWalk()
    {
        test::FakePinger pinger;
        pinger.setLatency(5);
        // 42 answers before 40 does: the walk still stops at 40 first.
        pinger.answersFrom(Prefix + QStringLiteral("40"), 4);
        pinger.answers(Prefix + QStringLiteral("42"));
        Scan scan(pinger);
        int answeredDuringDialog = 0;
        scan.onAnswered = [&](int) {
            QTest::qWait(100);
            answeredDuringDialog = static_cast<int>(scan.answered.size());
        };
        scan.run({1, 60});
        QCOMPARE(scan.answered, QList<int>{40});
        QCOMPARE(answeredDuringDialog, 1);
        QCOMPARE(scan.members.ScanPosition, 41);
        QCOMPARE(scan.members.ScanPhase, 1);

        pinger.calls.clear();
        scan.messages.clear();
        scan.run({1, 60});
        QVERIFY(scan.messages.isEmpty()); // neither the big-scan question nor a Proceed question
        QCOMPARE(pinger.addresses().first(), Prefix + QStringLiteral("41"));
        QCOMPARE(scan.answered, (QList<int>{40, 42}));

        const QString other = QStringLiteral("10.20.35.");
        pinger.calls.clear();
        scan.askedAt.clear();
        scan.answers = {MessageAnswer::No};
        scan.run({1, 60}, {}, other);
        QCOMPARE(scan.askedAt, QList<int>{31}); // the big-scan question was answered in this window
        QCOMPARE(pinged(pinger, other), span(1, 30));
    }

    // No echo request can be sent: the walk does not report silence as a finished scan.
    void cannotPing()
    {
        test::FakePinger pinger;
        pinger.setUnavailable(true);
        Scan scan(pinger);
        scan.run({1, 20}, {1});
        QCOMPARE(scan.messages.size(), 1);
        QVERIFY(scan.messages.first().startsWith(
            QStringLiteral("The IP Address 10.20.34.2 could not be checked with ping")));
        QCOMPARE(scan.members.ScanPosition, 0);
    }

    // The real pinger inside a namespace of the test's own: a peer host answers on .5, .7 and .12 of
    // 198.18.6.0/24, the rest of the range is silent, and .7 is recorded. The scan finds .5, then .12,
    // then finishes.
    void realPingerFindsTheUnrecordedHosts()
    {
        test::TestNetworkNamespace ns;
        if (!ns.enter() || !ns.startPeer())
            QSKIP(qPrintable(ns.error()));
        QVERIFY2(ns.linkToPeer(QStringLiteral("198.18.6.1/24"),
                               {QStringLiteral("198.18.6.5/24"), QStringLiteral("198.18.6.7/24"),
                                QStringLiteral("198.18.6.12/24")}),
                 qPrintable(ns.error()));

        IcmpPinger pinger;
        // A new link carries packets only once the kernel has seen both of its ends come up.
        bool up = false;
        for (int attempt = 0; attempt < 20 && !up; ++attempt) {
            QObject context;
            std::optional<PingResult> result;
            pinger.ping(QStringLiteral("198.18.6.5"), 20, 500, DefaultPingPayload, &context,
                        [&](const PingResult& r) { result = r; });
            QVERIFY(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
            if (result->CheckImpossible)
                QSKIP(qPrintable(result->Message));
            up = result->succeeded();
        }
        QVERIFY2(up, "the link to the peer namespace did not come up");

        Scan scan(pinger);
        const QString prefix = QStringLiteral("198.18.6.");
        for (int run = 0; run < 3; ++run)
            scan.run({2, 20}, {7}, prefix);
        QCOMPARE(scan.answered, (QList<int>{5, 12}));
        QCOMPARE(scan.messages, QStringList{Finished});
    }
};

QTEST_MAIN(ScanControllerTest)
#include "ScanControllerTest.moc"
