#pragma once

#include "probe/Pinger.h"

#include <QString>

#include <functional>

class QObject;

namespace tarvo {

// The echo target of the assignment window: set once per address with SetPingTarget, then pinged as
// often as wanted with PingTarget.
class EchoTarget
{
public:
    // Splits the text at "."; with exactly four parts each part is read as a number whose lowest byte
    // becomes its octet (no range check: 300 becomes 44) and the text is kept. With any other number of
    // parts the target becomes 0 and the kept text stays as it was.
    void SetPingTarget(const QString& addressText);

    // The target in network byte order: the first octet in the lowest-addressed byte.
    quint32 PingTargetAddress() const { return m_address; }
    // The text last accepted by SetPingTarget; used in the failure sentences.
    const QString& PingTargetText() const { return m_text; }
    // The dotted form of the target's four octets.
    QString targetAddressText() const;

    // Sends one echo request to the target through the pinger and calls done with the result, whose
    // failure sentence names PingTargetText. A target of 0 is not sent: it fails as a bad destination.
    void PingTarget(Pinger& pinger, int ttl, int timeoutMs, QObject* context,
                    std::function<void(const PingResult&)> done) const;

private:
    quint32 m_address = 0;
    QString m_text;
};

// What the assignment window passes: time to live 20, time-out 200 ms, at most four requests.
inline constexpr int AssignPingTtl = 20;
inline constexpr int AssignPingTimeoutMs = 200;
inline constexpr int AssignPingAttempts = 4;

} // namespace tarvo
