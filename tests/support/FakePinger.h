#pragma once

#include "probe/Pinger.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

namespace tarvo::test {

// A pinger whose answers a test scripts per address. Unscripted addresses do not answer (a time-out).
// Answers arrive from the event loop, as with the real pinger. Nothing is sent on the network.
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
    void answers(const QString& address, quint32 roundTripMs = 1) { m_live.insert(address, roundTripMs); }
    // No address can be checked (as when no ICMP socket may be opened).
    void setUnavailable(bool unavailable) { m_unavailable = unavailable; }

    void ping(const QString& address, int ttl, int timeoutMs, const QByteArray& payload, QObject* context,
              std::function<void(const PingResult&)> done) override
    {
        calls.append({address, ttl, timeoutMs, payload});
        PingResult result;
        if (m_unavailable) {
            result.Message =
                QStringLiteral("Faild to ping : ''%1'' No ICMP socket could be opened").arg(address);
            result.RoundTripMs = static_cast<quint32>(timeoutMs);
            result.CheckImpossible = true;
        } else if (m_live.contains(address)) {
            result.Message = QStringLiteral("Success");
            result.RoundTripMs = m_live.value(address);
            result.Failed = false;
            result.Status = 0;
        } else {
            result.Message = QStringLiteral("Faild to ping : ''%1'' Request Timed Out").arg(address);
            result.RoundTripMs = static_cast<quint32>(timeoutMs);
            result.Status = 11010;
        }
        QPointer<QObject> guard(context);
        QTimer::singleShot(0, [guard, done = std::move(done), result] {
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

    QList<Call> calls;

private:
    QHash<QString, quint32> m_live;
    bool m_unavailable = false;
};

} // namespace tarvo::test
