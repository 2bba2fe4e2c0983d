#include "RealSmtpServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

namespace tarvo::test {

namespace {

// Debian's own python first: the package installs the module for it.
QString python()
{
    const QString system =
        QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    return system.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("python3")) : system;
}

bool hasAiosmtpd(const QString& program)
{
    QProcess check;
    check.start(program, {QStringLiteral("-c"), QStringLiteral("import aiosmtpd")});
    return check.waitForFinished(20000) && check.exitStatus() == QProcess::NormalExit &&
           check.exitCode() == 0;
}

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// Whether the server greets on the port.
bool greets(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(500))
        return false;
    const bool greeted = socket.waitForReadyRead(2000) && socket.readAll().startsWith("220");
    socket.abort();
    return greeted;
}

} // namespace

RealSmtpServer::~RealSmtpServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

RealSmtpServer::Start RealSmtpServer::start()
{
    const QString program = python();
    if (program.isEmpty() || !hasAiosmtpd(program))
        return Start::NotInstalled;
    m_port = freePort();
    if (!m_folder.isValid() || m_port == 0) {
        m_failure = QStringLiteral("no folder or no free loopback port");
        return Start::Failed;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PYTHONPATH"), QStringLiteral(TARVO_TEST_SUPPORT_DIR));
    m_process.setProcessEnvironment(environment);
    m_process.start(program,
                    {QStringLiteral("-m"), QStringLiteral("aiosmtpd"), QStringLiteral("-n"),
                     QStringLiteral("-l"), QStringLiteral("127.0.0.1:%1").arg(m_port), QStringLiteral("-c"),
                     QStringLiteral("save_mail_handler.SaveMail"), m_folder.path()});
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning)
            break;
        if (greets(m_port))
            return Start::Running;
        m_process.waitForFinished(100);
    }
    m_failure =
        QStringLiteral("aiosmtpd did not start: ") + QString::fromLocal8Bit(m_process.readAllStandardError());
    return Start::Failed;
}

QList<RealSmtpServer::Mail> RealSmtpServer::mails() const
{
    QList<Mail> list;
    const QDir folder(m_folder.path());
    for (const QString& name : folder.entryList({QStringLiteral("*.mail")}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        Mail mail;
        mail.sender = file.readLine().chopped(1);
        mail.recipients = file.readLine().chopped(1);
        mail.data = file.readAll();
        list << mail;
    }
    return list;
}

} // namespace tarvo::test
