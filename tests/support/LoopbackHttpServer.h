#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

namespace tarvo::test {

// A small HTTP/1.0 server on 127.0.0.1 for download tests. Each path answers with a scripted status and
// body; unknown paths answer 404. It can also stay silent (to test time-outs) or send without end.
class LoopbackHttpServer : public QObject
{
    Q_OBJECT
public:
    explicit LoopbackHttpServer(QObject* parent = nullptr);

    // Listens on a free port of 127.0.0.1; false when that failed.
    bool start() { return m_server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:<port>" + path.
    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
    }

    void serve(const QString& path, int status, const QByteArray& body)
    {
        m_routes.insert(path, {status, body});
    }
    // Answers 200 with a body that never ends (no length, sent as fast as the client reads it).
    void serveEndless(const QString& path) { m_routes.insert(path, {200, {}, true}); }
    // Accept connections but never answer.
    void setSilent(bool silent) { m_silent = silent; }

    const QStringList& requestedPaths() const { return m_requested; }

private:
    struct Response
    {
        int status = 404;
        QByteArray body;
        bool endless = false;
    };
    void onNewConnection();

    QTcpServer m_server;
    QHash<QString, Response> m_routes;
    QStringList m_requested;
    bool m_silent = false;
};

} // namespace tarvo::test
