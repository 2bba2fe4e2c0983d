#pragma once

#include <functional>

class QObject;

namespace tarvo {

// Keeps the kernel stamping the packets it receives with their arrival time, for the rest of the process.
// Linux stamps them only while some socket asks for it, and when none did, the first socket's request
// takes effect a little later, from a kernel worker: a reply that comes meanwhile carries no time, and
// the kernel reports the moment it is read instead (for a ping read after a busy spell, a late reply).
//
// Runs then once the stamps are on: at once when they were turned on before, else from the event loop
// of context's thread. The first call turns them on from a thread of its own, never the caller's: it
// opens a socket that asks for the stamps and stays open, so that every socket opened later finds them
// on, and waits until a datagram that the socket sends itself over loopback comes back stamped, at most
// a second (usually well under a millisecond). When that cannot be confirmed (no loopback device, for
// one), then runs all the same and the stamps may come late as before. Nothing runs when context goes
// first.
void afterReceiveTimestampsOn(QObject* context, std::function<void()> then);

} // namespace tarvo
