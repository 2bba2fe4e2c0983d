#include "LoopbackHttpServer.h"

#include <QTcpSocket>

namespace tarvo::test {

LoopbackHttpServer::LoopbackHttpServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::onNewConnection);
}

void LoopbackHttpServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            if (!buffer->contains("\r\n\r\n"))
                return;
            const QList<QByteArray> requestLine = buffer->left(buffer->indexOf("\r\n")).split(' ');
            const QString path = requestLine.size() >= 2 ? QString::fromLatin1(requestLine.at(1)) : QString();
            m_requested << path;
            buffer->clear();
            if (m_silent)
                return;
            const Response response = m_routes.value(path);
            QByteArray reply = "HTTP/1.0 " + QByteArray::number(response.status) + " Status\r\n";
            reply += "Content-Type: application/octet-stream\r\n";
            if (response.endless) {
                // One chunk at a time, the next once the last has gone: the server's memory stays small.
                socket->write(reply + "Connection: close\r\n\r\n");
                connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
                    if (socket->bytesToWrite() == 0)
                        socket->write(QByteArray(64 * 1024, 'x'));
                });
                return;
            }
            reply += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
            reply += "Connection: close\r\n\r\n";
            reply += response.body;
            socket->write(reply);
            socket->disconnectFromHost();
        });
    }
}

} // namespace tarvo::test
