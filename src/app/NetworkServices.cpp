#include "app/NetworkServices.h"

#include "accounts/SmtpClient.h"
#include "core/FileDownloader.h"

namespace tarvo::app {

NetworkServices SystemNetwork::services()
{
    return {m_pinger, m_resolver, m_nodeStatus, m_banners, SmtpClient::factory(), FileDownloader::factory()};
}

} // namespace tarvo::app
