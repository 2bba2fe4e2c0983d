#pragma once

#include "probe/NetBiosNodeStatus.h"

#include <QString>

#include <functional>

class QObject;

namespace tarvo {

// The outcome of asking a device for its NetBIOS name table.
struct NodeStatusOutcome
{
    enum class Kind
    {
        Answered, // status holds the device's table
        NoAnswer, // the device did not answer (the old tool's "Host not found.")
        Failed,   // the question could not be asked (invalid address, refused destination, socket error)
    };
    Kind kind = Kind::NoAnswer;
    NodeStatus status;
    QString error; // why it failed
};

// Asks devices for their NetBIOS name table without blocking the user interface.
class NodeStatusService
{
public:
    virtual ~NodeStatusService() = default;

    // Calls done once with the outcome, from the event loop (never before query returns). When context
    // is destroyed first, done is not called and the query stops.
    virtual void query(const QString& address, QObject* context,
                       std::function<void(const NodeStatusOutcome&)> done) = 0;
};

// The real service: a node status request over UDP (RFC 1002, NBSTAT), sent again after each wait
// without an answer, up to a number of attempts. Datagrams that are not the answer to this request
// (another transaction id, malformed or cut short) are ignored, up to a bound past which the query
// fails; no datagram is read beyond the size of the largest answer. Every send asks the network guard.
class UdpNodeStatusService final : public NodeStatusService
{
public:
    struct Options
    {
        quint16 port = 137;
        int attempts = 3;
        int waitMs = 1000; // per attempt
    };

    UdpNodeStatusService() = default;
    explicit UdpNodeStatusService(Options options) : m_options(options) {}

    void query(const QString& address, QObject* context,
               std::function<void(const NodeStatusOutcome&)> done) override;

private:
    Options m_options;
};

} // namespace tarvo
