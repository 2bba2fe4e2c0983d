#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QObject;

namespace tarvo {

// The outcome of one ICMP echo request.
struct PingResult
{
    QString Message;         // "Success", or a failure text beginning "Faild to ping : ''"
    quint32 RoundTripMs = 0; // round-trip time; the time-out on failure
    bool Failed = true;
    int Status = -1;              // ICMP status code of the reply (0 for success)
    bool CheckImpossible = false; // no ICMP socket could be opened: the address was not checked at all

    bool succeeded() const { return Message == QLatin1String("Success"); }
};

// The payload of the program's echo requests.
inline const QByteArray DefaultPingPayload = QByteArrayLiteral("Quelm");

// Sends ICMP echo requests without blocking the user interface. Tests supply a fake: the sample data
// uses 10.x addresses, which must never be pinged from a test.
class Pinger
{
public:
    virtual ~Pinger() = default;

    // Sends one echo request to a dotted address with the given time to live, time-out and payload, and
    // calls done exactly once with the result, from the event loop (never before ping() returns). When
    // context is destroyed first, done is not called.
    virtual void ping(const QString& address, int ttl, int timeoutMs, const QByteArray& payload,
                      QObject* context, std::function<void(const PingResult&)> done) = 0;
};

} // namespace tarvo
