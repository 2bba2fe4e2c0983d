#include "LoopbackNetBiosResponder.h"
#include "probe/NetBiosNodeStatus.h"
#include "probe/NodeStatusService.h"

#include <QtTest>

#include <optional>

using namespace tarvo;
using test::LoopbackNetBiosResponder;
using test::workstationNameTable;
using Kind = NodeStatusOutcome::Kind;

namespace {

std::optional<NodeStatusOutcome> queryAndWait(NodeStatusService& service, const QString& address)
{
    std::optional<NodeStatusOutcome> outcome;
    QObject context;
    service.query(address, &context, [&](const NodeStatusOutcome& o) { outcome = o; });
    if (outcome)
        return std::nullopt; // answered before query() returned
    return QTest::qWaitFor([&] { return outcome.has_value(); }, 10000) ? outcome : std::nullopt;
}

// A query of the UDP service: the first request the node answers (0: none), the pairs of a foreign and
// a cut-short answer it sends before the real one, the service's attempts and wait, the outcome and the
// requests that reach the node.
struct Query
{
    const char* address;
    int answerFrom, decoys, attempts, waitMs;
    Kind kind;
    int requests;
};

} // namespace

class NetBiosTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requestBytes()
    {
        // Id, flags, one question and no other records, the name "*" encoded, type NBSTAT, class IN.
        const QByteArray header = QByteArray::fromHex("BEEF0000000100000000000020");
        QCOMPARE(buildNodeStatusRequest(0xBEEF),
                 header + "CK" + QByteArray(30, 'A') + QByteArray::fromHex("0000210001"));
        QCOMPARE(encodeNetBiosName(QByteArray("FRED           \x20")),
                 QByteArray("EGFCEFEECACACACACACACACACACACACA"));
    }

    // What the windows show of a device's answer: the number of names in its name table, and the work group,
    // user (LAN ID) and MAC address taken from it; nothing of a datagram that is no answer.
    void readsAnswers_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QString>("read");
        const auto answer = [](const NodeStatus& table) {
            return LoopbackNetBiosResponder::response(0x1234, table);
        };
        const QString found = QStringLiteral("7|KEWANGAN|AHMAD|00-1A-2B-3C-4D-5E");

        const NodeStatus workstation = workstationNameTable();
        const QByteArray good = answer(workstation);
        QTest::newRow("workstation with a user") << good << found;
        QTest::newRow("compressed record name")
            << LoopbackNetBiosResponder::response(0x1234, workstation, true) << found;
        QByteArray withQuestion = good;
        withQuestion[5] = 1; // one question, repeated before the record
        withQuestion.insert(12, buildNodeStatusRequest(0x1234).mid(12));
        QTest::newRow("question repeated") << withQuestion << found;
        NodeStatus changed = workstation;
        changed.names.swapItemsAt(4, 5);
        QTest::newRow("user listed before the computer") << answer(changed) << found;
        changed = workstation;
        changed.names.removeAt(5);
        QTest::newRow("nobody signed on") << answer(changed) << "6|KEWANGAN||00-1A-2B-3C-4D-5E";
        changed = workstation;
        changed.names[5].name = QStringLiteral("AHMAD ALI");
        QTest::newRow("user name of two words") << answer(changed) << "7|KEWANGAN||00-1A-2B-3C-4D-5E";

        NodeStatus server;
        server.names = {{QStringLiteral("FILESRV"), 0x00, 0x0400},
                        {QStringLiteral("FILESRV"), 0x20, 0x0400},
                        {QStringLiteral("DOMAIN"), 0x1C, 0x8400},
                        {QStringLiteral("DOMAIN"), 0x00, 0x8400}};
        QTest::newRow("group with another suffix first") << answer(server) << "4|DOMAIN||00-00-00-00-00-00";
        // A record without the statistics: names, but no MAC address.
        const int dataStart = 12 + 34 + 10;
        QByteArray noStatistics = answer(server).left(dataStart + 1 + 4 * 18);
        noStatistics[dataStart - 1] = 1 + 4 * 18;
        QTest::newRow("no statistics") << noStatistics << "4|DOMAIN||";
        QTest::newRow("no names") << answer(NodeStatus{{}, QByteArray(6, 0)}) << "0|||00-00-00-00-00-00";

        const auto changedAt = [&](int offset, char value) {
            QByteArray bytes = good;
            bytes[offset] = value;
            return bytes;
        };
        QTest::newRow("foreign transaction id")
            << LoopbackNetBiosResponder::response(0x1235, workstation) << "";
        QTest::newRow("a request") << changedAt(2, 0x04) << "";
        QTest::newRow("error code") << changedAt(3, 0x03) << "";
        QTest::newRow("no answer record") << changedAt(7, 0) << "";
        QTest::newRow("another record type") << changedAt(12 + 34 + 1, 0x20) << "";
        QTest::newRow("more names than data") << changedAt(12 + 34 + 10, char(40)) << "";
        QTest::newRow("data length beyond the datagram") << changedAt(12 + 34 + 8, char(0x7F)) << "";
        QTest::newRow("label beyond the datagram") << changedAt(12, char(0x3F)).left(40) << "";
        QTest::newRow("reserved label bits") << changedAt(12, char(0x60)) << "";
        // A datagram cut anywhere before the end of its name table is never read beyond its end.
        for (const bool compressed : {false, true}) {
            const QByteArray full = LoopbackNetBiosResponder::response(0x1234, workstation, compressed);
            for (qsizetype size = 0; size < full.size() - 40 - 6; ++size)
                QTest::addRow("%s record name cut at %lld", compressed ? "compressed" : "full",
                              qlonglong(size))
                    << full.left(size) << "";
        }
        QTest::newRow("endless labels")
            << QByteArray::fromHex("123484000000000100000000") + QByteArray(200, '\x01') << "";
    }

    void readsAnswers()
    {
        QFETCH(QByteArray, datagram);
        const std::optional<NodeStatus> status = parseNodeStatusResponse(datagram, 0x1234);
        QString read;
        if (status) {
            const DeviceFindings found = findingsOf(*status);
            read = QStringList{QString::number(status->names.size()), found.workGroup, found.lanId,
                               found.macAddress}
                       .join('|');
        }
        QTEST(read, "read");
    }

    void queryOverUdp_data()
    {
        QTest::addColumn<Query>("c");
        QTest::newRow("answered at once") << Query{"127.0.0.1", 1, 0, 3, 2000, Kind::Answered, 1};
        QTest::newRow("foreign and cut-short answers first")
            << Query{"127.0.0.1", 1, 1, 1, 5000, Kind::Answered, 1};
        QTest::newRow("a flood of foreign answers first")
            << Query{"127.0.0.1", 1, 20, 1, 5000, Kind::Failed, 1};
        QTest::newRow("the third attempt answered") << Query{"127.0.0.1", 3, 0, 3, 100, Kind::Answered, 3};
        QTest::newRow("a silent node") << Query{"127.0.0.1", 0, 0, 2, 100, Kind::NoAnswer, 2};
        // Refused before anything is sent.
        QTest::newRow("outside loopback") << Query{"10.1.2.3", 1, 0, 1, 100, Kind::Failed, 0};
        QTest::newRow("any address") << Query{"0.0.0.0", 1, 0, 1, 100, Kind::Failed, 0};
        QTest::newRow("not an address") << Query{"PC0123", 1, 0, 1, 100, Kind::Failed, 0};
        QTest::newRow("empty") << Query{"", 1, 0, 1, 100, Kind::Failed, 0};
    }

    void queryOverUdp()
    {
        QFETCH(Query, c);
        LoopbackNetBiosResponder responder;
        QVERIFY(responder.start());
        responder.setDecoys(c.decoys);
        responder.setAnswerFromRequest(c.answerFrom);
        UdpNodeStatusService service({responder.port(), c.attempts, c.waitMs});

        const auto outcome = queryAndWait(service, c.address);
        QVERIFY(outcome.has_value());
        QCOMPARE(outcome->kind, c.kind);
        QCOMPARE(outcome->error.isEmpty(), c.kind != Kind::Failed);
        if (c.kind == Kind::Answered) {
            QCOMPARE(outcome->status.names.size(), 7);
            QCOMPARE(outcome->status.unitId, workstationNameTable().unitId);
        }
        // Every attempt asks the same transaction.
        QCOMPARE(responder.requests().size(), c.requests);
        for (const QByteArray& request : responder.requests()) {
            QCOMPARE(request, responder.requests().first());
            QCOMPARE(request.mid(2), buildNodeStatusRequest(0).mid(2));
        }
    }
};

QTEST_GUILESS_MAIN(NetBiosTest)
#include "NetBiosTest.moc"
