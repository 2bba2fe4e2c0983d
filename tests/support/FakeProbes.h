#pragma once

#include "probe/HostNameLookup.h"
#include "probe/NodeStatusService.h"
#include "probe/TelnetProbe.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace tarvo::test {

// Delivers the answers of a fake service from the event loop, as the real services do, and only while
// the caller's context lives. With holding on, answers wait until release().
class AnswerDelivery
{
public:
    void setHolding(bool holding) { m_holding = holding; }
    void release()
    {
        const QList<std::function<void()>> held = std::move(m_held);
        m_held.clear();
        for (const auto& answer : held)
            answer();
    }

    void deliver(QObject* context, std::function<void()> answer)
    {
        const bool hasContext = context != nullptr;
        QPointer<QObject> guard(context);
        auto guarded = [hasContext, guard, answer = std::move(answer)] {
            if (!hasContext || guard)
                answer();
        };
        if (m_holding)
            m_held.append(guarded);
        else
            QTimer::singleShot(0, guarded);
    }

private:
    QList<std::function<void()>> m_held;
    bool m_holding = false;
};

// A resolver whose answers a test scripts per address; an unscripted address has no host name.
class FakeHostResolver final : public HostResolver, public AnswerDelivery
{
public:
    void answers(const QString& address, const QString& hostName)
    {
        m_results.insert(address, {HostLookupResult::Outcome::Found, hostName});
    }
    void fails(const QString& address, HostLookupResult::Outcome outcome)
    {
        m_results.insert(address, {outcome, {}});
    }

    void lookUp(const QString& addressText, QObject* context,
                std::function<void(const HostLookupResult&)> done) override
    {
        lookedUp << addressText;
        const HostLookupResult result =
            m_results.value(addressText, {HostLookupResult::Outcome::NotFound, {}});
        deliver(context, [result, done = std::move(done)] { done(result); });
    }

    QStringList lookedUp;

private:
    QHash<QString, HostLookupResult> m_results;
};

// A NetBIOS service whose outcomes a test scripts per address; an unscripted address does not answer.
class FakeNodeStatusService final : public NodeStatusService, public AnswerDelivery
{
public:
    void answers(const QString& address, const NodeStatus& status)
    {
        m_outcomes.insert(address, {NodeStatusOutcome::Kind::Answered, status, {}});
    }
    void fails(const QString& address, const QString& error)
    {
        m_outcomes.insert(address, {NodeStatusOutcome::Kind::Failed, {}, error});
    }

    void query(const QString& address, QObject* context,
               std::function<void(const NodeStatusOutcome&)> done) override
    {
        queried << address;
        const NodeStatusOutcome outcome =
            m_outcomes.value(address, {NodeStatusOutcome::Kind::NoAnswer, {}, {}});
        deliver(context, [outcome, done = std::move(done)] { done(outcome); });
    }

    QStringList queried;

private:
    QHash<QString, NodeStatusOutcome> m_outcomes;
};

// A banner service whose banners a test scripts per address; an unscripted address shows nothing.
class FakeBannerService final : public BannerService, public AnswerDelivery
{
public:
    void shows(const QString& address, const QString& banner) { m_banners.insert(address, banner); }

    void probe(const QString& address, QObject* context, std::function<void(const QString&)> shown) override
    {
        probed << address;
        if (m_banners.contains(address))
            deliver(context,
                    [banner = m_banners.value(address), shown = std::move(shown)] { shown(banner); });
    }

    QStringList probed;

private:
    QHash<QString, QString> m_banners;
};

} // namespace tarvo::test
