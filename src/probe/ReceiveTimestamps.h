#pragma once

namespace tarvo {

// Keeps the kernel stamping the packets it receives with their arrival time, for the rest of the process.
// Linux stamps them only while some socket asks for it, and when none did, the first socket's request
// takes effect a little later, from a kernel worker: a reply that comes meanwhile carries no time, and
// the kernel reports the moment it is read instead (for a ping read after a busy spell, a late reply).
// The first call opens a socket that asks for the stamps and stays open, so that every socket opened
// later finds them on, and waits until a datagram that the socket sends itself over loopback comes back
// stamped: at most a second, usually well under a millisecond. False when that could not be confirmed
// (no loopback device, for one); the stamps may then come late as before. Later calls return at once.
bool keepReceiveTimestampsOn();

} // namespace tarvo
