#include "probe/IcmpPinger.h"

#include "core/NetworkGuard.h"
#include "probe/IcmpPacket.h"
#include "probe/IcmpStatus.h"
#include "probe/ReceiveTimestamps.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

namespace tarvo {

namespace {

constexpr int ReceiveBufferSize = 65536;

// An open ICMP socket; closed when it goes out of scope.
struct IcmpSocket
{
    int fd = -1;
    bool raw = false;
    int openError = 0; // errno of the last failed attempt

    IcmpSocket() = default;
    IcmpSocket(const IcmpSocket&) = delete;
    IcmpSocket& operator=(const IcmpSocket&) = delete;
    ~IcmpSocket()
    {
        if (fd >= 0)
            ::close(fd);
    }

    bool open(IcmpPinger::SocketKind kind)
    {
        if (kind != IcmpPinger::SocketKind::RawOnly && tryOpen(SOCK_DGRAM))
            return true;
        if (kind != IcmpPinger::SocketKind::DatagramOnly && tryOpen(SOCK_RAW)) {
            raw = true;
            return true;
        }
        return false;
    }

private:
    bool tryOpen(int type)
    {
        fd = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd < 0)
            openError = errno;
        return fd >= 0;
    }
};

QString systemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The kernel's receive time of a message (SO_TIMESTAMPNS), from its control data.
bool receiveTime(msghdr& message, timespec* when)
{
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_TIMESTAMPNS) {
            std::memcpy(when, CMSG_DATA(header), sizeof *when);
            return true;
        }
    }
    return false;
}

// One echo request in flight: sends, waits for the answer or the time-out, reports once.
class EchoExchange final : public QObject
{
public:
    EchoExchange(const QString& address, int timeoutMs, QObject* context,
                 std::function<void(const PingResult&)> done)
        : QObject(context), m_address(address), m_timeoutMs(timeoutMs), m_done(std::move(done))
    {}

    ~EchoExchange() override
    {
        // The notifier goes before its socket is closed.
        delete m_notifier;
    }

    // Reports a result decided before anything was sent, from the event loop.
    void failLater(int status, bool checkImpossible, const QString& detail)
    {
        PingResult result = failure(status);
        result.CheckImpossible = checkImpossible;
        if (!detail.isEmpty())
            result.Message += QStringLiteral(" - ") + detail;
        QTimer::singleShot(0, this, [this, result] { finish(result); });
    }

    void start(IcmpPinger::SocketKind kind, quint32 target, int ttl, quint16 sequence,
               const QByteArray& payload)
    {
        if (!m_socket.open(kind)) {
            failLater(IcmpStatus::GeneralFailure, true,
                      QStringLiteral("no ICMP socket could be opened (%1); the address was not checked")
                          .arg(systemErrorText(m_socket.openError)));
            return;
        }
        if (::setsockopt(m_socket.fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl) != 0) {
            failLater(IcmpStatus::BadOption, false, systemErrorText(errno));
            return;
        }
        const int on = 1;
        // Each answer carries the kernel's receive time: an answer that waited in the socket while the
        // event loop was busy is judged by when it came, not by when it was read.
        ::setsockopt(m_socket.fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
        if (!m_socket.raw) {
            // ICMP errors about the request reach a datagram socket through its error queue.
            ::setsockopt(m_socket.fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
        }

        m_request.identifier = static_cast<quint16>(QRandomGenerator::global()->bounded(0x10000));
        m_request.sequence = sequence;
        m_request.payload = payload;
        m_request.target = target;
        const QByteArray packet = buildEchoRequest(m_request);

        sockaddr_in destination{};
        destination.sin_family = AF_INET;
        destination.sin_addr.s_addr = htonl(target);
        ::clock_gettime(CLOCK_REALTIME, &m_sentAt);
        m_clock.start();
        const ssize_t sent = ::sendto(m_socket.fd, packet.constData(), static_cast<size_t>(packet.size()), 0,
                                      reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
        if (sent < 0) {
            failLater(statusOfSocketError(errno), false, {});
            return;
        }
        if (!m_socket.raw) {
            // The kernel gives a datagram socket's requests the socket's own identifier.
            sockaddr_in local{};
            socklen_t length = sizeof local;
            if (::getsockname(m_socket.fd, reinterpret_cast<sockaddr*>(&local), &length) == 0)
                m_request.identifier = ntohs(local.sin_port);
        }

        m_notifier = new QSocketNotifier(static_cast<qintptr>(m_socket.fd), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { readAnswers(); });
        QTimer::singleShot(m_timeoutMs, this, [this] {
            // An answer that came in time may still wait in the socket when the event loop was busy.
            readAnswers();
            finish(failure(IcmpStatus::RequestTimedOut));
        });
    }

private:
    PingResult failure(int status) const
    {
        PingResult result;
        result.Message = pingFailureMessage(m_address, status);
        result.RoundTripMs = static_cast<quint32>(m_timeoutMs);
        result.Failed = true;
        result.Status = status;
        return result;
    }

    void readAnswers()
    {
        if (m_finished)
            return;
        if (!m_socket.raw && readErrorQueue())
            return;
        QByteArray datagram(ReceiveBufferSize, Qt::Uninitialized);
        alignas(cmsghdr) char control[256];
        for (;;) {
            iovec vector{datagram.data(), static_cast<size_t>(datagram.size())};
            msghdr message{};
            message.msg_iov = &vector;
            message.msg_iovlen = 1;
            message.msg_control = control;
            message.msg_controllen = sizeof control;
            const ssize_t size = ::recvmsg(m_socket.fd, &message, 0);
            if (size < 0) {
                const int error = errno;
                if (error == EINTR)
                    continue;
                // A datagram socket is this request's alone: an error it reports is about the request.
                if (!m_socket.raw && error != EAGAIN && error != EWOULDBLOCK)
                    answered(statusOfSocketError(error), m_clock.elapsed());
                return;
            }
            const IcmpAnswer answer =
                classifyIcmpDatagram(datagram.left(static_cast<qsizetype>(size)), m_socket.raw, m_request);
            if (answer.answers()) {
                answered(answer.status, arrivalMs(message));
                return;
            }
        }
    }

    // Milliseconds from the send to the kernel's receive time of a message, within what the monotonic
    // clock has seen pass (the wall clock may be set meanwhile); the monotonic time when the message
    // carries no receive time.
    qint64 arrivalMs(msghdr& message) const
    {
        const qint64 elapsed = m_clock.elapsed();
        timespec received{};
        if (!receiveTime(message, &received))
            return elapsed;
        const qint64 nanoseconds = (qint64(received.tv_sec) - qint64(m_sentAt.tv_sec)) * 1000000000 +
                                   (qint64(received.tv_nsec) - qint64(m_sentAt.tv_nsec));
        return qBound<qint64>(0, nanoseconds / 1000000, elapsed);
    }

    // Takes the first ICMP error queued on a datagram socket as the answer; false when there is none.
    bool readErrorQueue()
    {
        char data[512];
        alignas(cmsghdr) char control[512];
        iovec vector{data, sizeof data};
        msghdr message{};
        message.msg_iov = &vector;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        if (::recvmsg(m_socket.fd, &message, MSG_ERRQUEUE | MSG_DONTWAIT) < 0)
            return false;
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_RECVERR)
                continue;
            sock_extended_err error{};
            std::memcpy(&error, CMSG_DATA(header), sizeof error);
            int status = statusOfSocketError(static_cast<int>(error.ee_errno));
            if (error.ee_origin == SO_EE_ORIGIN_ICMP) {
                status = statusOfIcmpError(error.ee_type, error.ee_code);
                if (status < 0)
                    status = IcmpStatus::GeneralFailure;
            }
            answered(status, arrivalMs(message));
            return true;
        }
        return false;
    }

    // An answer came after the given time: an echo reply (status 0) or an error about the request.
    void answered(int status, qint64 elapsed)
    {
        // An answer that took longer than the time-out counts as none; one that took exactly the
        // time-out is still in time.
        if (elapsed > m_timeoutMs) {
            finish(failure(IcmpStatus::RequestTimedOut));
            return;
        }
        if (status != IcmpStatus::Success) {
            finish(failure(status));
            return;
        }
        PingResult result;
        result.Message = IcmpStatusText(IcmpStatus::Success);
        result.RoundTripMs = static_cast<quint32>(elapsed);
        result.Failed = false;
        result.Status = IcmpStatus::Success;
        finish(result);
    }

    void finish(const PingResult& result)
    {
        if (m_finished)
            return;
        m_finished = true;
        if (m_notifier)
            m_notifier->setEnabled(false);
        // Leave the context first: the callback may delete it.
        setParent(nullptr);
        deleteLater();
        if (m_done)
            m_done(result);
    }

    QString m_address;
    int m_timeoutMs;
    std::function<void(const PingResult&)> m_done;
    IcmpSocket m_socket;
    EchoIdentity m_request;
    QElapsedTimer m_clock;
    timespec m_sentAt{}; // the wall-clock time of the send, to which the receive times are compared
    QSocketNotifier* m_notifier = nullptr;
    bool m_finished = false;
};

} // namespace

IcmpPinger::IcmpPinger(SocketKind kind) : m_kind(kind) {}

void IcmpPinger::ping(const QString& address, int ttl, int timeoutMs, const QByteArray& payload,
                      QObject* context, std::function<void(const PingResult&)> done)
{
    auto* exchange = new EchoExchange(address, qMax(0, timeoutMs), context, std::move(done));

    if (ttl < 0 || ttl > 255) {
        exchange->failLater(IcmpStatus::BadOption, false,
                            QStringLiteral("the time to live must lie in 0 to 255"));
        return;
    }
    in_addr parsed{};
    if (::inet_pton(AF_INET, address.trimmed().toLatin1().constData(), &parsed) != 1 ||
        parsed.s_addr == INADDR_ANY) {
        exchange->failLater(IcmpStatus::BadDestination, false, {});
        return;
    }
    const quint32 target = ntohl(parsed.s_addr);
    if (!NetworkGuard::allows(QHostAddress(target))) {
        exchange->failLater(IcmpStatus::GeneralFailure, true, NetworkGuard::refusal(address));
        return;
    }
    if (ttl == 0) {
        exchange->failLater(IcmpStatus::TtlExpiredTransit, false, {});
        return;
    }
    // The first request waits until the kernel stamps every answer: its own must carry its time too.
    afterReceiveTimestampsOn(exchange, [exchange, kind = m_kind, target, ttl, sequence = ++m_sequence,
                                        payload] { exchange->start(kind, target, ttl, sequence, payload); });
}

} // namespace tarvo
