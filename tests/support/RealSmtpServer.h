#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace tarvo::test {

// Debian's aiosmtpd (package python3-aiosmtpd) on a free port of 127.0.0.1, saving every mail it takes:
// a real server, to catch what a hand-written fake agrees with by mistake. It stops with the object.
class RealSmtpServer
{
public:
    enum class Start
    {
        Running,
        NotInstalled, // no python3 with the aiosmtpd module
        Failed,
    };

    struct Mail
    {
        QByteArray sender;     // the envelope sender of MAIL FROM
        QByteArray recipients; // the envelope recipients, separated by blanks
        QByteArray data;       // what came after DATA, without the ending line "."
    };

    RealSmtpServer() = default;
    RealSmtpServer(const RealSmtpServer&) = delete;
    RealSmtpServer& operator=(const RealSmtpServer&) = delete;
    ~RealSmtpServer();

    // Starts the server and returns once it greets.
    Start start();
    // Why the start failed.
    const QString& failure() const { return m_failure; }
    quint16 port() const { return m_port; }

    // Every mail taken so far, in order.
    QList<Mail> mails() const;

private:
    QProcess m_process;
    QTemporaryDir m_folder;
    quint16 m_port = 0;
    QString m_failure;
};

} // namespace tarvo::test
