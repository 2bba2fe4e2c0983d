#pragma once

#include "probe/Pinger.h"

#include <QString>

#include <functional>

class QObject;

namespace tarvo {

// What the ping check of a proposed address found.
enum class PingCheckResult
{
    Answered,   // a device answered: the address is in use
    Silent,     // no answer to any of the requests: no device holds the address
    NotChecked, // no echo request could be sent (no ICMP permission): nothing is known
};

// Pings an address as the assignment window does: up to four echo requests with time to live 20, a
// time-out of 200 ms and the payload "Quelm", one after the other, stopping at the first "Success".
// Calls done once from the event loop with the outcome and the last result. A request that could not
// be sent at all ends the check at once as NotChecked. When context is destroyed first (the window
// closed, Stop dropped the check), done is never called and no further request is sent.
void checkAddressInUse(Pinger& pinger, const QString& address, QObject* context,
                       std::function<void(PingCheckResult, const PingResult&)> done);

// The message telling the user that a proposed address could not be checked, and its title.
QString addressNotCheckedMessage(const QString& address, const PingResult& result);
inline const QString AddressNotCheckedTitle = QStringLiteral("Information");

} // namespace tarvo
