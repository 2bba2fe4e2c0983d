#pragma once

#include "probe/AddressInUseDialog.h"
#include "probe/HostNameLookup.h"
#include "probe/NodeStatusService.h"
#include "probe/TelnetProbe.h"

namespace tarvo {

// The real services of the address-in-use windows, created once by the program.
class SystemProbeServices
{
public:
    ProbeServices services(Messenger& messenger) { return {m_resolver, m_nodeStatus, m_banners, messenger}; }

private:
    SystemHostResolver m_resolver;
    UdpNodeStatusService m_nodeStatus;
    TelnetBannerService m_banners;
};

} // namespace tarvo
