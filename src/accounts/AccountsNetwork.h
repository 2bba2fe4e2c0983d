#pragma once

#include "accounts/MailTransport.h"

#include "core/Downloader.h"

namespace tarvo {

class Pinger;

// What the accounts windows use of the network: the pinger of the update check, and the makers of the
// mail transport (new accounts, forgotten logins) and of the update check's downloader. The program
// hands in the real ones, tests fakes.
struct AccountsNetwork
{
    Pinger& pinger;
    MailTransportFactory mail;
    DownloaderFactory download;
};

} // namespace tarvo
