#pragma once

#include "accounts/MailTransport.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QStringList>

class QTcpSocket;
class QTimer;

namespace tarvo {

// Splits the server's replies into lines and gathers multi-line replies ("250-first", "250 last").
// Data may arrive in any pieces: a reply is complete only with the line end of its last line. A reply
// line longer than MaxLineLength bytes (its line end included) or a reply of more than MaxLines lines
// ends the reading with an error: no server of this protocol sends such a reply.
class SmtpReplyReader
{
public:
    static constexpr qsizetype MaxLineLength = 4096;
    static constexpr qsizetype MaxLines = 100;

    struct Reply
    {
        int code = 0; // the three digits; 0 when the reply did not start with three digits
        QString text; // every line of the reply, joined by "\n"
    };

    // Adds received bytes. A caller adds at most MaxLineLength bytes before it takes the replies, so
    // that the buffer stays within twice that.
    void append(const QByteArray& data);

    // Takes the next complete reply; false when none is complete yet or a bound was passed.
    bool next(Reply& reply);

    // Why the reading stopped: empty while the replies keep within the bounds.
    const QString& error() const { return m_error; }

    // The most bytes the buffer held since the last clear.
    qsizetype peakBuffered() const { return m_peak; }

    void clear();

private:
    QByteArray m_buffer;
    qsizetype m_scanned = 0; // the bytes at the start of the buffer that hold no line end
    qsizetype m_peak = 0;
    QStringList m_lines;
    QString m_error;
};

// The bytes that a mail's header and body are sent as, after the DATA command's 354 reply: the FROM,
// TO and SUBJECT lines, an empty line, the body and its line end. Header values lose any line break,
// and a body line that starts with "." gets a second one, so that no value can end the data early or
// add a header.
QByteArray mailContent(const MailMessage& message);

// The port of the mail server from its text in the INI file: 25 when the text is empty or not a port
// number.
quint16 smtpPort(const QString& text);

// Mails one message through an SMTP server without blocking the user interface: after the server's
// greeting HELO with this computer's name, then MAIL FROM, RCPT TO, DATA, the content, the end of the
// data and QUIT, each command sent after the reply to the one before. Every step has a time-out and the
// whole conversation one more; a socket error, a reply other than the expected one, a reply beyond the
// reader's bounds and a silent or slow server end the mail with a failure text
// "ERROR : <number>. <description>.".
class SmtpClient final : public MailTransport
{
    Q_OBJECT
public:
    explicit SmtpClient(QObject* parent = nullptr);
    ~SmtpClient() override;

    // Makes clients with the usual time-outs.
    static MailTransportFactory factory();

    // How long each step waits for the server, and how long the whole conversation may take.
    void setStepTimeout(int milliseconds) { m_stepTimeoutMs = milliseconds; }
    void setOverallTimeout(int milliseconds) { m_overallTimeoutMs = milliseconds; }

    bool isBusy() const override { return m_state != State::Idle; }
    bool send(const QString& server, quint16 port, const MailMessage& message) override;
    void cancel() override;

    // The failure text of the form the mailing windows show.
    static QString errorText(int number, const QString& description);

    // The name this computer gives in HELO: its host name, "localhost" when it has none.
    static QString helloName();

    const SmtpReplyReader& replyReader() const { return m_reader; }

private:
    enum class State
    {
        Idle,
        Connecting,
        Greeting,
        Hello,
        MailFrom,
        RcptTo,
        Data,
        EndOfData,
    };

    void onConnected();
    void onReadyRead();
    void onSocketError();
    void onTimeout(const QString& description);
    void handleReply(const SmtpReplyReader::Reply& reply);
    void sendLine(const QByteArray& line, State next);
    void succeed();
    void fail(int number, const QString& description, bool sayQuit);
    void finish(bool ok, const QString& error);
    void dropSocket();

    QPointer<QTcpSocket> m_socket;
    QTimer* m_timer;
    QTimer* m_overallTimer;
    SmtpReplyReader m_reader;
    MailMessage m_message;
    State m_state = State::Idle;
    int m_stepTimeoutMs = 30000;
    int m_overallTimeoutMs = 60000;
};

} // namespace tarvo
