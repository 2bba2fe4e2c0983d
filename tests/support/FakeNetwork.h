#pragma once

#include "FakeDownloader.h"
#include "FakeMailTransport.h"
#include "FakePinger.h"
#include "FakeProbes.h"

#include "app/NetworkServices.h"

namespace tarvo::test {

// Every network service of the program as a fake, for the program or its window registrations built in
// a test (which links tarvo_app). The fakes record what they were asked.
struct FakeNetwork
{
    app::NetworkServices services()
    {
        return {pinger, resolver, nodeStatus, banners, mailbox.factory(), downloads.factory()};
    }

    FakePinger pinger;
    FakeHostResolver resolver;
    FakeNodeStatusService nodeStatus;
    FakeBannerService banners;
    FakeMailbox mailbox;
    FakeDownloads downloads;
};

} // namespace tarvo::test
