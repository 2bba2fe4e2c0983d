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
//
// What a service can make the probe hold is bounded: each read takes at most MaxReadBytes (so the text
// shown is at most that long), and the answers that wait for the service to take them at most
// MaxQueuedAnswerBytes. A service that asks past that without reading the answers fails the probe.
class TelnetProbe : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 MaxReadBytes = 8192;
    // An answer is 3 bytes (9 for the terminal type); a service settles each of the 256 options with a
    // few of them, so a waiting queue this long is one that no real negotiation builds.
    static constexpr qint64 MaxQueuedAnswerBytes = 4096;

    explicit TelnetProbe(quint16 port = 23, int timeLimitMs = 15000, QObject* parent = nullptr);
    // Ends the connection without finished.
    ~TelnetProbe() override;

    // Starts a probe of the address; a probe still running is dropped first (without finished). A destination
    // that the network guard refuses is not contacted (finished follows).
    void ProbeTelnet(const QString& address);

    // Ends the probe (finished follows when it was running).
    void close();

    bool isRunning() const { return m_running; }
    // Why the last probe failed; empty when it showed a text or ended without one.
    const QString& errorString() const { return m_error; }
    // The most answer bytes that waited for the service during the last probe.
    qint64 peakQueuedAnswerBytes() const { return m_peakQueued; }

Q_SIGNALS:
    // The first read that held text, after the prompt words were removed (it may be empty then).
    void bannerReceived(const QString& text);
    // The probe is over and its connection closed.
    void finished();

private:
    void objWinsock_DataArrival();
    // Queues the answers; false when the service leaves too many of them waiting.
    bool sendAnswers(const QList<QByteArray>& replies);
    // Closes the connection; true when a probe was running.
    bool stop();

    quint16 m_port;
    QTcpSocket m_socket;
    QTimer m_timeLimit;
    TelnetNegotiator m_negotiator;
    bool m_running = false;
    QString m_error;
    qint64 m_peakQueued = 0;
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
