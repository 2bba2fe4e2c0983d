#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QProcess;

namespace tarvo::test {

// A network namespace of the test's own: enter() moves the calling thread into a new, empty network
// namespace (only a loopback device, down) and admits the test range 198.18.0.0/15 to the network
// guard (TARVO_TEST_NETNS=1); the destructor returns the thread to its namespace, which removes the
// new one with all its devices. Sockets opened by the thread meanwhile live in the new namespace, and
// so do the programs it starts (ip). Needs CAP_SYS_ADMIN: tests skip when enter() fails.
class TestNetworkNamespace
{
public:
    TestNetworkNamespace() = default;
    TestNetworkNamespace(const TestNetworkNamespace&) = delete;
    TestNetworkNamespace& operator=(const TestNetworkNamespace&) = delete;
    ~TestNetworkNamespace();

    // False, with the reason in error(), when namespaces are not permitted here.
    bool enter();
    // Runs "ip <arguments>" inside; false, with its output in error(), when it fails.
    bool ip(const QStringList& arguments);
    // Writes a value under /proc/sys/net of the namespace (for example "ipv4/ping_group_range").
    bool setNetSysctl(const QString& path, const QByteArray& value);

    // A second namespace, the peer host, kept by a sleeping process of its own and removed with it.
    bool startPeer();
    // Runs a command inside the peer's namespace (through nsenter).
    bool inPeer(const QStringList& command);
    // Joins this namespace to the peer's by a veth pair: "va" here with localAddress, "vb" there with
    // each of peerAddresses (each with its prefix length, "198.18.1.2/24"); both ends and the peer's
    // loopback device come up.
    bool linkToPeer(const QString& localAddress, const QStringList& peerAddresses);

    const QString& error() const { return m_error; }

private:
    bool run(const QString& program, const QStringList& arguments);
    // The process id that names the peer's namespace.
    qint64 peerPid() const;

    std::unique_ptr<QProcess> m_peer;
    int m_original = -1;
    bool m_inside = false;
    QByteArray m_previousNetnsFlag;
    bool m_hadNetnsFlag = false;
    QString m_error;
};

} // namespace tarvo::test
