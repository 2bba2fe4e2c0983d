#include "probe/TelnetProbe.h"

#include "core/NetworkGuard.h"

#include <QHostAddress>
#include <QPointer>

#include <algorithm>

namespace tarvo {

TelnetProbe::TelnetProbe(quint16 port, int timeLimitMs, QObject* parent) : QObject(parent), m_port(port)
{
    m_timeLimit.setSingleShot(true);
    m_timeLimit.setInterval(timeLimitMs);
    m_socket.setReadBufferSize(MaxReadBytes);
    connect(&m_timeLimit, &QTimer::timeout, this, [this] { close(); });
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { objWinsock_DataArrival(); });
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] { close(); });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] { close(); });
}

TelnetProbe::~TelnetProbe()
{
    // The socket reports its closing while it is destroyed, when the members declared after it are
    // already gone: it must find nobody listening.
    QObject::disconnect(&m_socket, nullptr, this, nullptr);
    m_socket.abort();
}

void TelnetProbe::ProbeTelnet(const QString& address)
{
    stop();
    m_negotiator = TelnetNegotiator();
    m_error.clear();
    m_peakQueued = 0;
    m_running = true;
    if (!NetworkGuard::allowsHost(address)) {
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    m_timeLimit.start();
    m_socket.connectToHost(address.trimmed(), m_port);
}

bool TelnetProbe::stop()
{
    const bool wasRunning = m_running;
    m_running = false;
    m_timeLimit.stop();
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
    return wasRunning;
}

void TelnetProbe::close()
{
    if (stop())
        Q_EMIT finished();
}

void TelnetProbe::objWinsock_DataArrival()
{
    if (!m_running)
        return;
    const TelnetNegotiator::Output out = m_negotiator.feed(m_socket.readAll());
    if (!sendAnswers(out.replies)) {
        m_error = QStringLiteral("The telnet service at %1 asks for more options than it reads answers to.")
                      .arg(m_socket.peerName());
        close();
        return;
    }
    // A read of negotiation only leaves the connection open for the next one.
    if (out.text.isEmpty())
        return;
    stop();
    const QPointer<TelnetProbe> self(this);
    Q_EMIT bannerReceived(bannerText(out.text));
    if (self)
        Q_EMIT finished();
}

bool TelnetProbe::sendAnswers(const QList<QByteArray>& replies)
{
    for (const QByteArray& reply : replies) {
        // What the network takes at once leaves the queue.
        if (m_socket.bytesToWrite() + reply.size() > MaxQueuedAnswerBytes)
            m_socket.flush();
        if (m_socket.bytesToWrite() + reply.size() > MaxQueuedAnswerBytes)
            return false;
        m_socket.write(reply);
        m_peakQueued = std::max(m_peakQueued, m_socket.bytesToWrite());
    }
    m_socket.flush();
    return true;
}

void TelnetBannerService::probe(const QString& address, QObject* context,
                                std::function<void(const QString&)> shown)
{
    auto* probe = new TelnetProbe(m_port, m_timeLimitMs, context);
    QObject::connect(probe, &TelnetProbe::bannerReceived, probe,
                     [shown = std::move(shown)](const QString& text) {
                         if (shown)
                             shown(text);
                     });
    QObject::connect(probe, &TelnetProbe::finished, probe, &QObject::deleteLater);
    probe->ProbeTelnet(address);
}

} // namespace tarvo
