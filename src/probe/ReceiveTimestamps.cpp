#include "probe/ReceiveTimestamps.h"

#include <QDeadlineTimer>
#include <QFutureWatcher>
#include <QPromise>
#include <QThread>

#include <arpa/inet.h>
#include <cstring>
#include <linux/errqueue.h>
#include <linux/net_tstamp.h>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tarvo {

namespace {

constexpr int ConfirmMs = 1000;
constexpr int EchoWaitMs = 100;

// Whether the control data of a message holds a receive time that the kernel stamped. SO_TIMESTAMPING,
// unlike SO_TIMESTAMPNS, never fills in the time of the read for a packet that came unstamped.
bool stampedByKernel(msghdr& message)
{
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_TIMESTAMPING) {
            scm_timestamping stamps{};
            std::memcpy(&stamps, CMSG_DATA(header), sizeof stamps);
            return stamps.ts[0].tv_sec != 0 || stamps.ts[0].tv_nsec != 0;
        }
    }
    return false;
}

// Sends one byte to the socket's own loopback address and reads it back. Empty when the round did not
// complete, else whether the byte came stamped.
std::optional<bool> echoStamped(int fd, const sockaddr_in& self)
{
    const char sent = 0;
    if (::sendto(fd, &sent, 1, 0, reinterpret_cast<const sockaddr*>(&self), sizeof self) != 1)
        return std::nullopt;
    pollfd readable{fd, POLLIN, 0};
    if (::poll(&readable, 1, EchoWaitMs) != 1)
        return std::nullopt;
    char received = 0;
    alignas(cmsghdr) char control[256];
    iovec vector{&received, 1};
    msghdr message{};
    message.msg_iov = &vector;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    if (::recvmsg(fd, &message, MSG_DONTWAIT) != 1)
        return std::nullopt;
    return stampedByKernel(message);
}

bool turnOn()
{
    // Once set up, never closed: the stamps stay on while the socket that asked for them is open.
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const int flags = SOF_TIMESTAMPING_RX_SOFTWARE | SOF_TIMESTAMPING_SOFTWARE;
    sockaddr_in self{};
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof self;
    if (::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPING, &flags, sizeof flags) != 0 ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&self), sizeof self) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&self), &length) != 0) {
        ::close(fd);
        return false;
    }
    const QDeadlineTimer deadline(ConfirmMs);
    for (;;) {
        const std::optional<bool> stamped = echoStamped(fd, self);
        if (!stamped || *stamped)
            return stamped.value_or(false);
        if (deadline.hasExpired())
            return false;
        QThread::msleep(1);
    }
}

} // namespace

void afterReceiveTimestampsOn(QObject* context, std::function<void()> then)
{
    // Finished once the thread that turns the stamps on has ended, confirmed or not.
    static const QFuture<void> turnedOn = [] {
        auto promise = std::make_shared<QPromise<void>>();
        QFuture<void> future = promise->future();
        promise->start();
        std::thread([promise] {
            turnOn();
            promise->finish();
        }).detach();
        return future;
    }();
    if (turnedOn.isFinished()) {
        then();
        return;
    }
    auto* watcher = new QFutureWatcher<void>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher, [watcher, then = std::move(then)] {
        watcher->deleteLater();
        then();
    });
    watcher->setFuture(turnedOn);
}

} // namespace tarvo
