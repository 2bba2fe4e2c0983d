#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace tarvo::test {

// A telnet service on a free port of 127.0.0.1 that plays a script to the first client: each step's
// bytes are sent once the client has sent at least the step's count of bytes in all (0: at once), so
// that each step reaches the client as a read of its own. It records what the client sends and
// whether the client closed the connection. As a flooding service it sends the last step again and
// again once the script is played, and reads nothing more.
class LoopbackTelnetServer : public QObject
{
    Q_OBJECT
public:
    explicit LoopbackTelnetServer(QObject* parent = nullptr);

    bool start() { return m_server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_server.serverPort(); }
    // Stops listening: a later connection to the port is refused.
    void stop() { m_server.close(); }

    void addStep(const QByteArray& bytes, int afterClientBytes = 0)
    {
        m_steps.append({bytes, afterClientBytes});
    }
    // Close the connection once the script is played.
    void setCloseAtEnd(bool close) { m_closeAtEnd = close; }
    // Repeat the last step without end once the script is played, and stop reading.
    void setFloodAtEnd(bool flood) { m_floodAtEnd = flood; }

    const QByteArray& received() const { return m_received; }
    bool clientConnected() const { return m_connected; }
    bool clientClosed() const { return m_clientClosed; }

private:
    struct Step
    {
        QByteArray bytes;
        int afterClientBytes = 0;
    };
    void onNewConnection();
    void playDueSteps();
    void flood();

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QList<Step> m_steps;
    int m_nextStep = 0;
    QByteArray m_received;
    bool m_closeAtEnd = false;
    bool m_floodAtEnd = false;
    bool m_connected = false;
    bool m_clientClosed = false;
};

} // namespace tarvo::test
