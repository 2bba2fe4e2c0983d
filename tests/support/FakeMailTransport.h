#pragma once

#include "accounts/MailTransport.h"

#include <QList>
#include <QTimer>

namespace tarvo::test {

// Takes the mails of the fake transports that factory() makes: every mail is kept here instead of going
// to a server, and is accepted. Nothing is sent on the network.
class FakeMailbox
{
public:
    struct Mail
    {
        QString server;
        quint16 port = 0;
        MailMessage message;
    };

    MailTransportFactory factory();

    QList<Mail> mails;
};

// A mail transport that hands its mails to a FakeMailbox and reports from the event loop, as the real
// one does; a cancelled mail reports nothing.
class FakeMailTransport final : public MailTransport
{
public:
    FakeMailTransport(FakeMailbox& mailbox, QObject* parent) : MailTransport(parent), m_mailbox(mailbox) {}

    bool isBusy() const override { return m_busy; }

    bool send(const QString& server, quint16 port, const MailMessage& message) override
    {
        if (m_busy)
            return false;
        m_busy = true;
        m_mailbox.mails.append({server, port, message});
        QTimer::singleShot(0, this, [this, mail = ++m_mailNumber] {
            if (!m_busy || mail != m_mailNumber)
                return; // cancelled meanwhile
            m_busy = false;
            Q_EMIT finished(true, QString());
        });
        return true;
    }

    void cancel() override { m_busy = false; }

private:
    FakeMailbox& m_mailbox;
    bool m_busy = false;
    int m_mailNumber = 0;
};

inline MailTransportFactory FakeMailbox::factory()
{
    return [this](QObject* parent) -> MailTransport* { return new FakeMailTransport(*this, parent); };
}

} // namespace tarvo::test
