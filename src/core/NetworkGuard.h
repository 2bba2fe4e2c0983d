#pragma once

#include <QHostAddress>
#include <QString>

namespace tarvo {

// The network-safety guard. With TARVO_LOOPBACK_ONLY=1 in the environment (every test runs with it)
// only 127.0.0.0/8 and ::1 may be reached; TARVO_TEST_NETNS=1 also admits 198.18.0.0/15, the range
// of the network namespaces that tests create. Every network layer asks the guard before it sends.
namespace NetworkGuard {

// True when the environment restricts the destinations.
bool isActive();

// True when a packet may be sent to the address.
bool allows(const QHostAddress& address);

// True when a host given by name or literal address may be contacted. While the guard is active a
// name is allowed only when it is "localhost" (names are never resolved just to check them).
bool allowsHost(const QString& host);

// The text of the failure reported when the guard refuses a destination.
QString refusal(const QString& destination);

} // namespace NetworkGuard

} // namespace tarvo
