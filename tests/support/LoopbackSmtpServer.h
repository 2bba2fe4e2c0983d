#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>

namespace tarvo::test {

// A small SMTP server on 127.0.0.1 for mail tests. It greets, answers HELO, MAIL, RCPT, DATA, the end of
// the data and QUIT with scripted replies, and records every byte it receives and the data of every
// mail. Like every current server it refuses MAIL before HELO or EHLO. It can stay silent (to test
// time-outs), send each reply in two pieces (to test replies split across reads) and stream endless
// bytes instead of a greeting (to test the client's bounds).
class LoopbackSmtpServer : public QObject
{
    Q_OBJECT
public:
    explicit LoopbackSmtpServer(QObject* parent = nullptr);

    // Listens on a free port of 127.0.0.1; false when that failed.
    bool start() { return m_server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_server.serverPort(); }

    // The greeting, one or more lines (default "220 loopback SMTP ready").
    void setGreeting(const QByteArray& lines) { m_greeting = lines; }
    // The reply to a command ("HELO", "MAIL", "RCPT", "DATA", "QUIT") or to the end of the data ("."), with
    // its line ends; a multi-line reply holds several lines.
    void setReply(const QByteArray& command, const QByteArray& reply) { m_replies.insert(command, reply); }
    // Accept connections but never send anything.
    void setSilent(bool silent) { m_silent = silent; }
    // Send every reply in two pieces, the second from a later turn of the event loop.
    void setSplitReplies(bool split) { m_split = split; }
    // Instead of a greeting, send these bytes over and over until the client goes away.
    void setEndlessGreeting(const QByteArray& piece) { m_endless = piece; }

    // Every byte received, over all connections, in order.
    const QByteArray& received() const { return m_received; }
    // The data of each mail, without its ending line ".", whatever the reply to it.
    const QList<QByteArray>& mails() const { return m_mails; }
    bool sawQuit() const { return m_sawQuit; }
    int connections() const { return m_connections; }

private:
    void onNewConnection();
    QByteArray replyTo(const QByteArray& command) const;

    QTcpServer m_server;
    QByteArray m_greeting = "220 loopback SMTP ready\r\n";
    QHash<QByteArray, QByteArray> m_replies;
    bool m_silent = false;
    bool m_split = false;
    QByteArray m_endless;
    QByteArray m_received;
    QList<QByteArray> m_mails;
    bool m_sawQuit = false;
    int m_connections = 0;
};

} // namespace tarvo::test
