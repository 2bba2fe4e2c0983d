#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace tarvo {

// One plain-text mail: envelope addresses, the header values and the body (lines joined by CR LF).
struct MailMessage
{
    QString senderAddress;
    QString senderName;
    QString recipientAddress;
    QString recipientName;
    QString subject;
    QString body;
};

// Hands one mail at a time to a mail server without blocking the user interface. The program mails
// over SMTP (SmtpClient); tests hand in a fake that keeps the mails.
class MailTransport : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isBusy() const = 0;

    // Starts the mail. Returns false, and emits nothing, while an earlier mail is still on its way;
    // otherwise finished() follows once, from the event loop.
    virtual bool send(const QString& server, quint16 port, const MailMessage& message) = 0;

    // Ends the mail on its way at once, without a word: finished() does not follow.
    virtual void cancel() = 0;

Q_SIGNALS:
    // ok: the server accepted the mail. Otherwise error is the text to show.
    void finished(bool ok, const QString& error);
};

// Creates a mail transport owned by parent.
using MailTransportFactory = std::function<MailTransport*(QObject* parent)>;

} // namespace tarvo
