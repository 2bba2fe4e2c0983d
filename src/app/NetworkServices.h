#pragma once

#include "accounts/MailTransport.h"
#include "core/Downloader.h"
#include "probe/HostNameLookup.h"
#include "probe/IcmpPinger.h"
#include "probe/NodeStatusService.h"
#include "probe/TelnetProbe.h"

namespace tarvo::app {

// Everything of the program that reaches the network: the pinger, the services of the address-in-use
// windows (host-name lookup, NetBIOS node status, telnet banners) and the makers of mail transports and
// downloaders. Whoever builds the program supplies them: the real ones by default, fakes in tests. The
// referenced services outlive the program.
struct NetworkServices
{
    Pinger& pinger;
    HostResolver& resolver;
    NodeStatusService& nodeStatus;
    BannerService& banners;
    MailTransportFactory mail;
    DownloaderFactory download;
};

// The real network services: ICMP echo, the system's resolver, NetBIOS over UDP, telnet, SMTP and HTTP.
class SystemNetwork
{
public:
    NetworkServices services();

private:
    IcmpPinger m_pinger;
    SystemHostResolver m_resolver;
    UdpNodeStatusService m_nodeStatus;
    TelnetBannerService m_banners;
};

} // namespace tarvo::app
