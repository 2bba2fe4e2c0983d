#pragma once

#include "probe/TelnetNegotiator.h"

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

namespace tarvo {

// The telnet banner probe: connects to a device's telnet service, answers its option negotiation and
// reports the first text it sends (prompt words removed), then closes the connection. A refused or
// failed connection, a service that closes, and the time limit end the probe without a text.
class TelnetProbe : public QObject
{
    Q_OBJECT
public:
    explicit TelnetProbe(quint16 port = 23, int timeLimitMs = 15000, QObject* parent = nullptr);

    // Starts a probe of the address; a probe still running is dropped first (without finished). A destination
    // that the network guard refuses is not contacted (finished follows).
    void ProbeTelnet(const QString& address);

    // Ends the probe (finished follows when it was running).
    void close();

    bool isRunning() const { return m_running; }

Q_SIGNALS:
    // The first read that held text, after the prompt words were removed (it may be empty then).
    void bannerReceived(const QString& text);
    // The probe is over and its connection closed.
    void finished();

private:
    void objWinsock_DataArrival();
    // Closes the connection; true when a probe was running.
    bool stop();

    quint16 m_port;
    QTcpSocket m_socket;
    QTimer m_timeLimit;
    TelnetNegotiator m_negotiator;
    bool m_running = false;
};

// Starts banner probes without blocking the user interface.
class BannerService
{
public:
    virtual ~BannerService() = default;

    // Probes the address and calls shown with the banner when one comes. The probe ends with the
    // context (or by itself: banner, close, error, time limit). shown is never called before probe returns.
    virtual void probe(const QString& address, QObject* context,
                       std::function<void(const QString&)> shown) = 0;
};

// Banner probes over TCP.
class TelnetBannerService final : public BannerService
{
public:
    explicit TelnetBannerService(quint16 port = 23, int timeLimitMs = 15000)
        : m_port(port), m_timeLimitMs(timeLimitMs)
    {}

    void probe(const QString& address, QObject* context, std::function<void(const QString&)> shown) override;

private:
    quint16 m_port;
    int m_timeLimitMs;
};

} // namespace tarvo
