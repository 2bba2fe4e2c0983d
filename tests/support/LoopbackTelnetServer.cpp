#include "LoopbackTelnetServer.h"

namespace tarvo::test {

LoopbackTelnetServer::LoopbackTelnetServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackTelnetServer::onNewConnection);
}

void LoopbackTelnetServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        if (m_client) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_client = socket;
        m_connected = true;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            m_received += socket->readAll();
            playDueSteps();
        });
        connect(socket, &QTcpSocket::bytesWritten, this, &LoopbackTelnetServer::flood);
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_clientClosed = true;
            socket->deleteLater();
        });
        playDueSteps();
    }
}

void LoopbackTelnetServer::playDueSteps()
{
    if (!m_client)
        return;
    while (m_nextStep < m_steps.size() && m_received.size() >= m_steps.at(m_nextStep).afterClientBytes) {
        m_client->write(m_steps.at(m_nextStep).bytes);
        m_client->flush();
        ++m_nextStep;
        // The next step waits for the client's answer to this one, unless it asks for nothing new.
        if (m_nextStep < m_steps.size() && m_steps.at(m_nextStep).afterClientBytes > m_received.size())
            break;
    }
    if (m_nextStep == m_steps.size() && m_closeAtEnd)
        m_client->disconnectFromHost();
    if (m_nextStep == m_steps.size() && m_floodAtEnd) {
        // What the client sends stays with the network: it waits in the client once that is full.
        disconnect(m_client, &QTcpSocket::readyRead, this, nullptr);
        m_client->setReadBufferSize(1);
        flood();
    }
}

void LoopbackTelnetServer::flood()
{
    constexpr qint64 waiting = 64 * 1024; // kept ready for the network, so the server's memory stays small
    if (!m_client || !m_floodAtEnd || m_steps.isEmpty() || m_nextStep < m_steps.size())
        return;
    const QByteArray& unit = m_steps.last().bytes;
    if (m_client->bytesToWrite() < waiting)
        m_client->write(unit.repeated(waiting / unit.size() + 1));
}

} // namespace tarvo::test
