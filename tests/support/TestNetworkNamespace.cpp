#include "TestNetworkNamespace.h"

#include <QFile>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace tarvo::test {

namespace {

// A command line's blank-separated words.
QStringList words(const QString& line)
{
    return line.split(QLatin1Char(' '));
}

} // namespace

TestNetworkNamespace::~TestNetworkNamespace()
{
    if (m_peer) {
        m_peer->kill();
        m_peer->waitForFinished(5000);
    }
    if (m_inside) {
        // Back to the namespace the thread came from; the test's namespace goes with its last user.
        if (::setns(m_original, CLONE_NEWNET) != 0)
            qFatal("could not leave the test's network namespace: %s", std::strerror(errno));
        if (m_hadNetnsFlag)
            qputenv("TARVO_TEST_NETNS", m_previousNetnsFlag);
        else
            qunsetenv("TARVO_TEST_NETNS");
    }
    if (m_original >= 0)
        ::close(m_original);
}

bool TestNetworkNamespace::enter()
{
    m_original = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (m_original < 0) {
        m_error = QStringLiteral("cannot open this thread's network namespace: %1")
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (::unshare(CLONE_NEWNET) != 0) {
        m_error = QStringLiteral("network namespaces are not permitted here (unshare: %1)")
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_inside = true;
    m_hadNetnsFlag = qEnvironmentVariableIsSet("TARVO_TEST_NETNS");
    m_previousNetnsFlag = qgetenv("TARVO_TEST_NETNS");
    qputenv("TARVO_TEST_NETNS", "1");
    return ip(words(QStringLiteral("link set lo up")));
}

bool TestNetworkNamespace::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(15000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_error = QStringLiteral("%1 %2 failed: %3 %4")
                      .arg(program, arguments.join(QLatin1Char(' ')), process.errorString(),
                           QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

bool TestNetworkNamespace::ip(const QStringList& arguments)
{
    return run(QStringLiteral("ip"), arguments);
}

bool TestNetworkNamespace::startPeer()
{
    m_peer = std::make_unique<QProcess>();
    // The peer says "ready" once it lives in its own namespace; it ends by itself should the test die.
    m_peer->start(QStringLiteral("unshare"), words(QStringLiteral("--net -- sh -c"))
                                                 << QStringLiteral("echo ready; exec sleep 120"));
    if (!m_peer->waitForReadyRead(15000) || !m_peer->readAllStandardOutput().startsWith("ready")) {
        m_error = QStringLiteral("the peer namespace could not be created: %1 %2")
                      .arg(m_peer->errorString(), QString::fromLocal8Bit(m_peer->readAllStandardError()));
        return false;
    }
    return true;
}

qint64 TestNetworkNamespace::peerPid() const
{
    return m_peer ? m_peer->processId() : -1;
}

bool TestNetworkNamespace::inPeer(const QStringList& command)
{
    return run(QStringLiteral("nsenter"), words(QStringLiteral("-t %1 -n --").arg(peerPid())) + command);
}

bool TestNetworkNamespace::linkToPeer(const QString& localAddress, const QStringList& peerAddresses)
{
    bool linked = ip(words(QStringLiteral("link add va type veth peer name vb netns %1").arg(peerPid()))) &&
                  ip(words(QStringLiteral("addr add %1 dev va").arg(localAddress))) &&
                  ip(words(QStringLiteral("link set va up"))) &&
                  inPeer(words(QStringLiteral("ip link set lo up")));
    for (const QString& address : peerAddresses)
        linked = linked && inPeer(words(QStringLiteral("ip addr add %1 dev vb").arg(address)));
    return linked && inPeer(words(QStringLiteral("ip link set vb up")));
}

bool TestNetworkNamespace::setNetSysctl(const QString& path, const QByteArray& value)
{
    QFile file(QStringLiteral("/proc/sys/net/") + path);
    if (!file.open(QIODevice::WriteOnly) || file.write(value) != value.size()) {
        m_error = QStringLiteral("cannot set %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace tarvo::test
