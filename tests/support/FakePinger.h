#pragma once

#include "probe/Pinger.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

namespace tarvo::test {

// A pinger whose answers a test scripts per address. Unscripted addresses do not answer (a time-out).
// Answers arrive from the event loop, as with the real pinger, at once or after a set latency. Nothing
// is sent on the network.
class FakePinger final : public Pinger
{
public:
    struct Call
    {
        QString address;
        int ttl;
        int timeoutMs;
        QByteArray payload;
    };

    // The address answers every request.
    void answers(const QString& address, quint32 roundTripMs = 1) { answersFrom(address, 1, roundTripMs); }
    // The address answers its n-th request (counted from 1) and every later one; earlier ones time out.
    void answersFrom(const QString& address, int nthRequest, quint32 roundTripMs = 1)
    {
        m_live.insert(address, {roundTripMs, nthRequest});
    }
    // Every result arrives this many milliseconds after the request (0: at the next turn of the loop).
    void setLatency(int milliseconds) { m_latencyMs = milliseconds; }
    // Results for this address arrive this many milliseconds after the request.
    void setLatency(const QString& address, int milliseconds) { m_latencyOf.insert(address, milliseconds); }
    // No address can be checked (as when no ICMP socket may be opened).
    void setUnavailable(bool unavailable) { m_unavailable = unavailable; }

    void ping(const QString& address, int ttl, int timeoutMs, const QByteArray& payload, QObject* context,
              std::function<void(const PingResult&)> done) override
    {
        calls.append({address, ttl, timeoutMs, payload});
        const int request = ++m_requests[address];
        PingResult result;
        if (m_unavailable) {
            result.Message =
                QStringLiteral("Faild to ping : ''%1'' No ICMP socket could be opened").arg(address);
            result.RoundTripMs = static_cast<quint32>(timeoutMs);
            result.CheckImpossible = true;
        } else if (m_live.contains(address) && request >= m_live.value(address).fromRequest) {
            result.Message = QStringLiteral("Success");
            result.RoundTripMs = m_live.value(address).roundTripMs;
            result.Failed = false;
            result.Status = 0;
        } else {
            result.Message = QStringLiteral("Faild to ping : ''%1'' Request Timed Out").arg(address);
            result.RoundTripMs = static_cast<quint32>(timeoutMs);
            result.Status = 11010;
        }
        QPointer<QObject> guard(context);
        QTimer::singleShot(m_latencyOf.value(address, m_latencyMs), [guard, done = std::move(done), result] {
            if (guard)
                done(result);
        });
    }

    QStringList addresses() const
    {
        QStringList list;
        for (const Call& call : calls)
            list << call.address;
        return list;
    }

    // The number of requests sent to an address.
    int requestsTo(const QString& address) const { return m_requests.value(address); }

    QList<Call> calls;

private:
    struct Live
    {
        quint32 roundTripMs = 1;
        int fromRequest = 1;
    };
    QHash<QString, Live> m_live;
    QHash<QString, int> m_requests;
    bool m_unavailable = false;
    int m_latencyMs = 0;
    QHash<QString, int> m_latencyOf;
};

} // namespace tarvo::test
