#include "FakePinger.h"

#include "assign/AddressPingCheck.h"

#include <QTest>

using namespace tarvo;

namespace {
const QString Address = QStringLiteral("10.20.34.7");
}

// The ping check of a proposed address: up to four echo requests, stopping at the first answer, one
// outcome, and nothing after its owner is gone.
class AddressPingCheckTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void outcome_data()
    {
        QTest::addColumn<int>("answersFrom"); // 0: never
        QTest::addColumn<bool>("unavailable");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("requests");
        QTest::newRow("silent") << 0 << false << int(PingCheckResult::Silent) << 4;
        QTest::newRow("answers the first") << 1 << false << int(PingCheckResult::Answered) << 1;
        QTest::newRow("answers the fourth") << 4 << false << int(PingCheckResult::Answered) << 4;
        QTest::newRow("would answer a fifth") << 5 << false << int(PingCheckResult::Silent) << 4;
        QTest::newRow("no ICMP permission") << 0 << true << int(PingCheckResult::NotChecked) << 1;
    }
    void outcome()
    {
        QFETCH(int, answersFrom);
        QFETCH(bool, unavailable);
        QFETCH(int, result);
        QFETCH(int, requests);
        test::FakePinger pinger;
        if (answersFrom > 0)
            pinger.answersFrom(Address, answersFrom);
        pinger.setUnavailable(unavailable);
        QObject owner;
        QList<PingCheckResult> outcomes;
        checkAddressInUse(pinger, Address, &owner,
                          [&](PingCheckResult outcome, const PingResult&) { outcomes << outcome; });
        QTRY_COMPARE(outcomes.size(), 1);
        QTest::qWait(20);
        QCOMPARE(outcomes, QList<PingCheckResult>{PingCheckResult(result)});
        QCOMPARE(pinger.requestsTo(Address), requests);
        for (const auto& call : std::as_const(pinger.calls)) {
            QCOMPARE(call.ttl, 20);
            QCOMPARE(call.timeoutMs, 200);
            QCOMPARE(call.payload, QByteArray("Quelm"));
        }
    }

    // The owner closes while an answer is on its way: no outcome and no further request.
    void ownerGoneWhileInFlight()
    {
        test::FakePinger pinger;
        pinger.setLatency(30);
        auto owner = std::make_unique<QObject>();
        bool called = false;
        checkAddressInUse(pinger, Address, owner.get(),
                          [&](PingCheckResult, const PingResult&) { called = true; });
        QCOMPARE(pinger.requestsTo(Address), 1);
        owner.reset();
        QTest::qWait(150);
        QVERIFY(!called);
        QCOMPARE(pinger.requestsTo(Address), 1);
    }
};

QTEST_GUILESS_MAIN(AddressPingCheckTest)
#include "AddressPingCheckTest.moc"
