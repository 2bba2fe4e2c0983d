#include "assign/AddressPingCheck.h"

#include "probe/EchoTarget.h"

#include <memory>

namespace tarvo {

namespace {

struct Check
{
    Pinger& pinger;
    QObject* context;
    EchoTarget target;
    int sent = 0;
    std::function<void(PingCheckResult, const PingResult&)> done;
};

void sendNext(const std::shared_ptr<Check>& check)
{
    ++check->sent;
    check->target.PingTarget(check->pinger, AssignPingTtl, AssignPingTimeoutMs, check->context,
                             [check](const PingResult& result) {
                                 if (result.succeeded())
                                     check->done(PingCheckResult::Answered, result);
                                 else if (result.CheckImpossible)
                                     check->done(PingCheckResult::NotChecked, result);
                                 else if (check->sent < AssignPingAttempts)
                                     sendNext(check);
                                 else
                                     check->done(PingCheckResult::Silent, result);
                             });
}

} // namespace

void checkAddressInUse(Pinger& pinger, const QString& address, QObject* context,
                       std::function<void(PingCheckResult, const PingResult&)> done)
{
    auto check = std::make_shared<Check>(Check{pinger, context, {}, 0, std::move(done)});
    check->target.SetPingTarget(address);
    sendNext(check);
}

QString addressNotCheckedMessage(const QString& address, const PingResult& result)
{
    return QStringLiteral("The IP Address %1 could not be checked with ping, so a device may already use "
                          "it.\r\n\r\n%2")
        .arg(address, result.Message);
}

} // namespace tarvo
