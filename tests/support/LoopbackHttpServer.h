#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

namespace tarvo::test {

// A small HTTP/1.0 server on 127.0.0.1 for download tests. Each path answers with a scripted status and
// body; unknown paths answer 404. It can also stay silent (to test time-outs).
class LoopbackHttpServer : public QObject
{
    Q_OBJECT
public:
    explicit LoopbackHttpServer(QObject* parent = nullptr);

    // Listens on a free port of 127.0.0.1; false when that failed.
    bool start();
    quint16 port() const;
    // "http://127.0.0.1:<port>" + path.
    QString url(const QString& path) const;

    void serve(const QString& path, int status, const QByteArray& body);
    // Accept connections but never answer.
    void setSilent(bool silent) { m_silent = silent; }

    const QStringList& requestedPaths() const { return m_requested; }

private:
    struct Response
    {
        int status = 404;
        QByteArray body;
    };
    void onNewConnection();

    QTcpServer m_server;
    QHash<QString, Response> m_routes;
    QStringList m_requested;
    bool m_silent = false;
};

} // namespace tarvo::test
