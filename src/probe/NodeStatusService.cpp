#include "probe/NodeStatusService.h"

#include "core/NetworkGuard.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>

namespace tarvo {

namespace {

// Larger than any node status answer (255 names of 18 bytes and the statistics); what a datagram holds
// beyond it is not read.
constexpr qint64 MaxDatagramSize = 8192;
// Datagrams that are not the answer and that one query reads before it gives up: a node answers each
// request once, so only a flood comes near this.
constexpr int MaxStrayDatagrams = 32;

// One node status query in flight.
class NodeStatusExchange final : public QObject
{
public:
    NodeStatusExchange(UdpNodeStatusService::Options options, QObject* context,
                       std::function<void(const NodeStatusOutcome&)> done)
        : QObject(context), m_options(options), m_done(std::move(done)), m_socket(this), m_timer(this)
    {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] { sendOrGiveUp(); });
        connect(&m_socket, &QUdpSocket::readyRead, this, [this] { readAnswers(); });
    }

    void start(const QString& address)
    {
        QHostAddress target;
        if (!target.setAddress(address.trimmed()) || target.protocol() != QAbstractSocket::IPv4Protocol ||
            target == QHostAddress(QHostAddress::AnyIPv4)) {
            failLater(QStringLiteral("\"%1\" is not an IPv4 address.").arg(address));
            return;
        }
        if (!NetworkGuard::allows(target)) {
            failLater(NetworkGuard::refusal(address));
            return;
        }
        if (!m_socket.bind(QHostAddress(QHostAddress::AnyIPv4), 0)) {
            failLater(m_socket.errorString());
            return;
        }
        m_target = target;
        m_transactionId = static_cast<quint16>(QRandomGenerator::global()->bounded(0x10000));
        m_request = buildNodeStatusRequest(m_transactionId);
        // Sent from the event loop, so that the answer never comes before start returns.
        m_timer.start(0);
    }

private:
    void failLater(const QString& error)
    {
        QTimer::singleShot(0, this, [this, error] {
            NodeStatusOutcome outcome;
            outcome.kind = NodeStatusOutcome::Kind::Failed;
            outcome.error = error;
            finish(outcome);
        });
    }

    void sendOrGiveUp()
    {
        if (m_sent >= m_options.attempts) {
            finish(NodeStatusOutcome{NodeStatusOutcome::Kind::NoAnswer, {}, {}});
            return;
        }
        ++m_sent;
        // A failed send (no route, ...) is an attempt without an answer.
        m_socket.writeDatagram(m_request, m_target, m_options.port);
        m_timer.start(m_options.waitMs);
    }

    void readAnswers()
    {
        while (m_socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = m_socket.receiveDatagram(MaxDatagramSize);
            if (auto status = parseNodeStatusResponse(datagram.data(), m_transactionId)) {
                finish(NodeStatusOutcome{NodeStatusOutcome::Kind::Answered, *status, {}});
                return;
            }
            if (++m_strays > MaxStrayDatagrams) {
                finish(NodeStatusOutcome{
                    NodeStatusOutcome::Kind::Failed,
                    {},
                    QStringLiteral("More than %1 datagrams came that are not the answer of %2.")
                        .arg(MaxStrayDatagrams)
                        .arg(m_target.toString())});
                return;
            }
        }
    }

    void finish(const NodeStatusOutcome& outcome)
    {
        if (m_finished)
            return;
        m_finished = true;
        m_timer.stop();
        m_socket.close();
        setParent(nullptr);
        deleteLater();
        if (m_done)
            m_done(outcome);
    }

    UdpNodeStatusService::Options m_options;
    std::function<void(const NodeStatusOutcome&)> m_done;
    QUdpSocket m_socket;
    QTimer m_timer;
    QHostAddress m_target;
    quint16 m_transactionId = 0;
    QByteArray m_request;
    int m_sent = 0;
    int m_strays = 0;
    bool m_finished = false;
};

} // namespace

void UdpNodeStatusService::query(const QString& address, QObject* context,
                                 std::function<void(const NodeStatusOutcome&)> done)
{
    auto* exchange = new NodeStatusExchange(m_options, context, std::move(done));
    exchange->start(address);
}

} // namespace tarvo
