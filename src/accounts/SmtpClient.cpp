#include "accounts/SmtpClient.h"

#include "core/NetworkGuard.h"

#include <QRegularExpression>
#include <QSysInfo>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cctype>

namespace tarvo {

namespace {

constexpr quint16 DefaultSmtpPort = 25;
// What the socket holds back at most before the client reads it.
constexpr qint64 SocketReadBuffer = 4 * SmtpReplyReader::MaxLineLength;

bool startsWithCode(const QByteArray& line)
{
    return line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line.at(0))) &&
           std::isdigit(static_cast<unsigned char>(line.at(1))) &&
           std::isdigit(static_cast<unsigned char>(line.at(2)));
}

// A header value or an envelope address on one line: line breaks would start a new header or command.
QString oneLine(QString value)
{
    value.remove(QLatin1Char('\r'));
    value.remove(QLatin1Char('\n'));
    return value;
}

// The body with CR LF line ends and every line that starts with "." doubled, so that none of its lines
// reads as the end of the data.
QString transparentBody(const QString& body)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = body.split(lineBreak);
    for (QString& line : lines) {
        if (line.startsWith(QLatin1Char('.')))
            line.prepend(QLatin1Char('.'));
    }
    return lines.join(QLatin1String("\r\n"));
}

} // namespace

void SmtpReplyReader::append(const QByteArray& data)
{
    if (!m_error.isEmpty())
        return;
    m_buffer.append(data);
    m_peak = std::max(m_peak, m_buffer.size());
}

bool SmtpReplyReader::next(Reply& reply)
{
    while (m_error.isEmpty()) {
        // Only the bytes not searched before are searched for the line end.
        const qsizetype end = m_buffer.indexOf('\n', m_scanned);
        if (end < 0) {
            m_scanned = m_buffer.size();
            if (m_buffer.size() >= MaxLineLength)
                break;
            return false;
        }
        if (end + 1 > MaxLineLength)
            break;
        QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        m_scanned = 0;
        if (line.endsWith('\r'))
            line.chop(1);
        m_lines << QString::fromUtf8(line);
        if (m_lines.size() > MaxLines) {
            m_error = QStringLiteral("The mail server sent a reply of more than %1 lines").arg(MaxLines);
            break;
        }
        if (startsWithCode(line) && line.size() >= 4 && line.at(3) == '-')
            continue; // more lines of the same reply follow
        reply.code = startsWithCode(line) ? line.left(3).toInt() : 0;
        reply.text = m_lines.join(QLatin1Char('\n'));
        m_lines.clear();
        return true;
    }
    if (m_error.isEmpty())
        m_error = QStringLiteral("The mail server sent a reply line longer than %1 bytes").arg(MaxLineLength);
    m_buffer.clear();
    m_lines.clear();
    return false;
}

void SmtpReplyReader::clear()
{
    m_buffer.clear();
    m_scanned = 0;
    m_peak = 0;
    m_lines.clear();
    m_error.clear();
}

QByteArray mailContent(const MailMessage& message)
{
    const QString content =
        QStringLiteral("FROM: ") + oneLine(message.senderName) + QStringLiteral(" <") +
        oneLine(message.senderAddress) + QStringLiteral(">\r\n") + QStringLiteral("TO: ") +
        oneLine(message.recipientName) + QStringLiteral(" <") + oneLine(message.recipientAddress) +
        QStringLiteral(">\r\n") + QStringLiteral("SUBJECT: ") + oneLine(message.subject) +
        QStringLiteral("\r\n\r\n") + transparentBody(message.body) + QStringLiteral("\r\n");
    return content.toUtf8();
}

quint16 smtpPort(const QString& text)
{
    bool ok = false;
    const uint port = text.trimmed().toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return DefaultSmtpPort;
    return static_cast<quint16>(port);
}

QString SmtpClient::errorText(int number, const QString& description)
{
    QString text = description.trimmed();
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return QStringLiteral("ERROR : %1. %2.").arg(number).arg(text);
}

QString SmtpClient::helloName()
{
    const QString name = oneLine(QSysInfo::machineHostName()).trimmed();
    return name.isEmpty() ? QStringLiteral("localhost") : name;
}

MailTransportFactory SmtpClient::factory()
{
    return [](QObject* parent) -> MailTransport* { return new SmtpClient(parent); };
}

SmtpClient::SmtpClient(QObject* parent)
    : MailTransport(parent), m_timer(new QTimer(this)), m_overallTimer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_overallTimer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this,
            [this] { onTimeout(QStringLiteral("The mail server did not answer in time")); });
    connect(m_overallTimer, &QTimer::timeout, this,
            [this] { onTimeout(QStringLiteral("The mail server did not take the mail in time")); });
}

SmtpClient::~SmtpClient()
{
    dropSocket();
}

bool SmtpClient::send(const QString& server, quint16 port, const MailMessage& message)
{
    if (isBusy())
        return false;
    m_message = message;
    m_reader.clear();
    m_state = State::Connecting;

    const QString host = server.trimmed();
    QString refusal;
    if (host.isEmpty())
        refusal = QStringLiteral("No SMTP server is set");
    else if (!NetworkGuard::allowsHost(host))
        refusal = NetworkGuard::refusal(host);
    if (!refusal.isEmpty()) {
        // Reported from the event loop, so that the caller hears of it as of any other failure.
        QTimer::singleShot(0, this, [this, refusal] {
            if (m_state != State::Idle) // not cancelled meanwhile
                finish(false, errorText(QAbstractSocket::HostNotFoundError, refusal));
        });
        return true;
    }

    m_socket = new QTcpSocket(this);
    m_socket->setReadBufferSize(SocketReadBuffer);
    connect(m_socket, &QTcpSocket::connected, this, &SmtpClient::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &SmtpClient::onReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &SmtpClient::onSocketError);
    m_timer->start(m_stepTimeoutMs);
    m_overallTimer->start(m_overallTimeoutMs);
    m_socket->connectToHost(host, port);
    return true;
}

void SmtpClient::onConnected()
{
    m_state = State::Greeting;
    m_timer->start(m_stepTimeoutMs);
}

void SmtpClient::onReadyRead()
{
    if (!m_socket)
        return;
    // Read in pieces of one reply line at most, so that the reader never holds more than its bound.
    while (m_state != State::Idle && m_socket && m_socket->bytesAvailable() > 0) {
        m_reader.append(m_socket->read(SmtpReplyReader::MaxLineLength));
        SmtpReplyReader::Reply reply;
        while (m_state != State::Idle && m_reader.next(reply))
            handleReply(reply);
        if (m_state != State::Idle && !m_reader.error().isEmpty())
            return fail(QAbstractSocket::SocketResourceError, m_reader.error(), false);
    }
}

void SmtpClient::handleReply(const SmtpReplyReader::Reply& reply)
{
    switch (m_state) {
    case State::Greeting:
        if (reply.code == 220)
            return sendLine("HELO " + helloName().toUtf8(), State::Hello);
        break;
    case State::Hello:
        if (reply.code == 250)
            return sendLine("MAIL FROM: " + oneLine(m_message.senderAddress).toUtf8(), State::MailFrom);
        break;
    case State::MailFrom:
        if (reply.code == 250)
            return sendLine("RCPT TO: " + oneLine(m_message.recipientAddress).toUtf8(), State::RcptTo);
        break;
    case State::RcptTo:
        if (reply.code == 250 || reply.code == 251)
            return sendLine("DATA", State::Data);
        break;
    case State::Data:
        if (reply.code == 354) {
            m_socket->write(mailContent(m_message) + "\r\n.\r\n");
            m_state = State::EndOfData;
            m_timer->start(m_stepTimeoutMs);
            return;
        }
        break;
    case State::EndOfData:
        if (reply.code == 250)
            return succeed();
        break;
    case State::Idle:
    case State::Connecting:
        return;
    }
    QString text = reply.text;
    fail(reply.code,
         QStringLiteral("The mail server answered \"%1\"")
             .arg(text.replace(QLatin1Char('\n'), QLatin1Char(' '))),
         true);
}

void SmtpClient::sendLine(const QByteArray& line, State next)
{
    m_socket->write(line + "\r\n");
    m_state = next;
    m_timer->start(m_stepTimeoutMs);
}

void SmtpClient::onSocketError()
{
    if (m_state == State::Idle || !m_socket)
        return;
    fail(m_socket->error(), m_socket->errorString(), false);
}

void SmtpClient::onTimeout(const QString& description)
{
    if (m_state == State::Idle)
        return;
    fail(QAbstractSocket::SocketTimeoutError, description, false);
}

void SmtpClient::cancel()
{
    m_timer->stop();
    m_overallTimer->stop();
    m_state = State::Idle;
    if (m_socket)
        m_socket->abort(); // no QUIT: the server may be the one that holds the conversation up
    dropSocket();
}

void SmtpClient::succeed()
{
    // The reply to QUIT is not awaited: the mail was accepted with the reply to its end.
    m_socket->write("QUIT\r\n");
    m_socket->flush();
    m_socket->disconnectFromHost();
    finish(true, QString());
}

void SmtpClient::fail(int number, const QString& description, bool sayQuit)
{
    if (m_socket && sayQuit && m_socket->state() == QAbstractSocket::ConnectedState) {
        m_socket->write("QUIT\r\n");
        m_socket->flush();
    }
    finish(false, errorText(number, description));
}

void SmtpClient::finish(bool ok, const QString& error)
{
    m_timer->stop();
    m_overallTimer->stop();
    m_state = State::Idle;
    dropSocket();
    Q_EMIT finished(ok, error);
}

void SmtpClient::dropSocket()
{
    if (!m_socket)
        return;
    QTcpSocket* socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    if (socket->state() == QAbstractSocket::ClosingState) {
        // Let the last command go out before the socket goes away.
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        return;
    }
    socket->abort();
    socket->deleteLater();
}

} // namespace tarvo
