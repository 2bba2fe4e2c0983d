#include "probe/TelnetProbe.h"

#include "core/NetworkGuard.h"

#include <QHostAddress>
#include <QPointer>

namespace tarvo {

TelnetProbe::TelnetProbe(quint16 port, int timeLimitMs, QObject* parent) : QObject(parent), m_port(port)
{
    m_timeLimit.setSingleShot(true);
    m_timeLimit.setInterval(timeLimitMs);
    connect(&m_timeLimit, &QTimer::timeout, this, [this] { close(); });
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { objWinsock_DataArrival(); });
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] { close(); });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] { close(); });
}

void TelnetProbe::ProbeTelnet(const QString& address)
{
    stop();
    m_negotiator = TelnetNegotiator();
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
    for (const QByteArray& reply : out.replies)
        m_socket.write(reply);
    m_socket.flush();
    // A read of negotiation only leaves the connection open for the next one.
    if (out.text.isEmpty())
        return;
    stop();
    const QPointer<TelnetProbe> self(this);
    Q_EMIT bannerReceived(bannerText(out.text));
    if (self)
        Q_EMIT finished();
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
