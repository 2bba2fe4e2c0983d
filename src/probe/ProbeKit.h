#pragma once

#include "probe/AddressInUseDialog.h"

namespace tarvo {

class Pinger;
struct ProbeState;

// What the windows that probe addresses use: the program's one ProbeState (the hand-over to the
// address-in-use windows and the result of the last lookup), the pinger and the services of the
// address-in-use windows. The program owns what it refers to and hands it to the windows it builds.
struct ProbeKit
{
    ProbeState& state;
    Pinger& pinger;
    ProbeServices services;
};

} // namespace tarvo
