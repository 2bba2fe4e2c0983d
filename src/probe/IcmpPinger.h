#pragma once

#include "probe/Pinger.h"

namespace tarvo {

// The program's pinger: one ICMP echo request per call over a socket of its own, answered from the
// event loop (a QSocketNotifier waits for the reply, a QTimer for the time-out). It opens an ICMP
// datagram socket (allowed to the groups of net.ipv4.ping_group_range), else a raw socket (root or
// CAP_NET_RAW). When neither can be opened the result says that the address could not be checked
// (CheckImpossible), so that no caller takes the silence for a free address.
//
// Outcomes: a matching echo reply within the time-out is "Success" with its round-trip time; an ICMP
// error about the request (destination unreachable, time exceeded, ...) or a send error is its status
// code; no reply (or a reply later than the time-out) is "Requested IP timed out". An answer's time is
// when the kernel received it, bounded by a monotonic clock, so that an answer left waiting while the
// event loop was busy does not count as late (the first request waits until the kernel stamps every
// answer, see ReceiveTimestamps.h; nothing is asked of the kernel before it). Replies are matched by
// identifier, sequence number, payload and source, so another program's traffic and our own request seen on
// loopback are never taken for the answer. Every send asks the network guard first; a refused destination is
// not sent to (CheckImpossible).
class IcmpPinger final : public Pinger
{
public:
    enum class SocketKind
    {
        Automatic,    // datagram socket, else raw socket
        DatagramOnly, // only an ICMP datagram socket
        RawOnly,      // only a raw socket
    };

    explicit IcmpPinger(SocketKind kind = SocketKind::Automatic);

    // Besides the outcomes above: a time to live outside 0..255 or a target that is not a dotted IPv4
    // address fails before anything is sent (Bad option, Bad destination); so does 0.0.0.0, which
    // Linux would deliver to this machine, and a time to live of 0, which no packet can carry.
    void ping(const QString& address, int ttl, int timeoutMs, const QByteArray& payload, QObject* context,
              std::function<void(const PingResult&)> done) override;

private:
    SocketKind m_kind;
    quint16 m_sequence = 0;
};

} // namespace tarvo
