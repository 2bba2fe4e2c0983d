#include "LoopbackSmtpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace tarvo::test {

namespace {

struct Conversation
{
    QByteArray buffer;
    bool inData = false;
    bool greeted = false; // HELO or EHLO was answered
};

const QByteArray EndOfData = "\r\n.\r\n";

} // namespace

LoopbackSmtpServer::LoopbackSmtpServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackSmtpServer::onNewConnection);
}

QByteArray LoopbackSmtpServer::replyTo(const QByteArray& command) const
{
    if (m_replies.contains(command))
        return m_replies.value(command);
    if (command == "HELO" || command == "EHLO" || command == "MAIL" || command == "RCPT" || command == ".")
        return "250 OK\r\n";
    if (command == "DATA")
        return "354 End data with <CR><LF>.<CR><LF>\r\n";
    if (command == "QUIT")
        return "221 Bye\r\n";
    return "500 Command not recognised\r\n";
}

void LoopbackSmtpServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++m_connections;
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (m_silent)
            continue;
        if (!m_endless.isEmpty()) {
            // Keeps a little queued, so that the server holds back what the client does not read.
            auto feed = [socket, piece = m_endless] {
                while (socket->bytesToWrite() < 64 * 1024)
                    socket->write(piece);
            };
            connect(socket, &QTcpSocket::bytesWritten, socket, feed);
            feed();
            continue;
        }
        auto send = [this, socket](const QByteArray& reply) {
            if (!m_split || reply.size() < 2) {
                socket->write(reply);
                return;
            }
            const qsizetype half = reply.size() / 2;
            socket->write(reply.left(half));
            socket->flush();
            QTimer::singleShot(10, socket, [socket, rest = reply.mid(half)] { socket->write(rest); });
        };
        send(m_greeting);

        auto conversation = std::make_shared<Conversation>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, conversation, send] {
            const QByteArray data = socket->readAll();
            m_received += data;
            conversation->buffer += data;
            for (;;) {
                if (conversation->inData) {
                    // The data runs to the line "."; the buffer starts right after the 354 reply.
                    const QByteArray framed = "\r\n" + conversation->buffer;
                    const qsizetype end = framed.indexOf(EndOfData);
                    if (end < 0)
                        return;
                    m_mails << framed.mid(2, end); // the data with its last line end
                    conversation->buffer = framed.mid(end + EndOfData.size());
                    conversation->inData = false;
                    send(replyTo("."));
                    continue;
                }
                const qsizetype lineEnd = conversation->buffer.indexOf("\r\n");
                if (lineEnd < 0)
                    return;
                const QByteArray line = conversation->buffer.left(lineEnd);
                conversation->buffer.remove(0, lineEnd + 2);
                const QByteArray command = line.left(4).toUpper();
                const bool hello = command == "HELO" || command == "EHLO";
                QByteArray reply = replyTo(command);
                if (command == "MAIL" && !conversation->greeted)
                    reply = "503 Error: send HELO first\r\n";
                if (hello && reply.startsWith("250"))
                    conversation->greeted = true;
                if (command == "DATA" && reply.startsWith("354"))
                    conversation->inData = true;
                send(reply);
                if (command == "QUIT") {
                    m_sawQuit = true;
                    socket->disconnectFromHost();
                    return;
                }
            }
        });
    }
}

} // namespace tarvo::test
