#include "probe/HostNameLookup.h"

#include "core/Messenger.h"
#include "core/NetworkGuard.h"
#include "probe/ProbeState.h"

#include <QFile>
#include <QFutureWatcher>
#include <QHostAddress>
#include <QPointer>
#include <QPromise>
#include <QThreadPool>
#include <QWidget>

#include <arpa/inet.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarvo {

bool SocketsInitialize()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

void SocketsCleanup() {}

bool hostsFileNames(const QByteArray& hostsText, quint32 address)
{
    for (const QByteArray& line : hostsText.split('\n')) {
        const qsizetype comment = line.indexOf('#');
        const QList<QByteArray> fields = (comment < 0 ? line : line.left(comment)).simplified().split(' ');
        in_addr parsed{};
        if (fields.size() >= 2 && ::inet_pton(AF_INET, fields.at(0).constData(), &parsed) == 1 &&
            ntohl(parsed.s_addr) == address)
            return true;
    }
    return false;
}

namespace {

// While the guard is active the name services may answer only from the hosts file: for an address that
// the file does not name they would ask a name server over the network.
bool mayLookUp(quint32 address)
{
    if (!NetworkGuard::isActive())
        return true;
    if (!NetworkGuard::allows(QHostAddress(address)))
        return false;
    QFile hosts(QStringLiteral("/etc/hosts"));
    return hosts.open(QIODevice::ReadOnly) && hostsFileNames(hosts.readAll(), address);
}

} // namespace

HostLookupResult lookUpHostName(const QString& addressText)
{
    if (!SocketsInitialize())
        return {HostLookupResult::Outcome::SocketsFailed, {}};

    HostLookupResult result;
    const in_addr_t address = ::inet_addr(addressText.toLatin1().constData());
    if (address == INADDR_NONE) {
        result.outcome = HostLookupResult::Outcome::InvalidAddress;
    } else if (!mayLookUp(ntohl(address))) {
        result.outcome = HostLookupResult::Outcome::NotFound;
    } else {
        sockaddr_in socketAddress{};
        socketAddress.sin_family = AF_INET;
        socketAddress.sin_addr.s_addr = address;
        char name[NI_MAXHOST] = {};
        if (::getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress, name,
                          sizeof name, nullptr, 0, NI_NAMEREQD) == 0) {
            result.outcome = HostLookupResult::Outcome::Found;
            result.hostName = QString::fromLocal8Bit(name);
        }
    }
    SocketsCleanup();
    return result;
}

SystemHostResolver::SystemHostResolver(QThreadPool* pool)
    : m_pool(pool ? pool : QThreadPool::globalInstance())
{}

void SystemHostResolver::lookUp(const QString& addressText, QObject* context,
                                std::function<void(const HostLookupResult&)> done)
{
    auto promise = std::make_shared<QPromise<HostLookupResult>>();
    // The watcher lives with the context: once the context is gone the result is dropped.
    auto* watcher = new QFutureWatcher<HostLookupResult>(context);
    QObject::connect(watcher, &QFutureWatcher<HostLookupResult>::finished, watcher,
                     [watcher, done = std::move(done)] {
                         const QFuture<HostLookupResult> future = watcher->future();
                         watcher->setParent(nullptr);
                         watcher->deleteLater();
                         if (done && future.resultCount() > 0)
                             done(future.result());
                     });
    watcher->setFuture(promise->future());
    promise->start();
    m_pool->start([promise, addressText] {
        promise->addResult(lookUpHostName(addressText));
        promise->finish();
    });
}

QString applyHostLookup(const HostLookupResult& result, ProbeState& state, Messenger& messenger,
                        QWidget* parent)
{
    using Outcome = HostLookupResult::Outcome;
    const auto show = [&](const QString& text) {
        messenger.inform(parent, text, QString(), MessageIcon::None);
    };
    switch (result.outcome) {
    case Outcome::SocketsFailed:
        show(QStringLiteral("Sockets failed to initialize."));
        return {};
    case Outcome::InvalidAddress:
        state.HostNotFound = false;
        show(QStringLiteral("String passed is an invalid IP."));
        return {};
    case Outcome::NotFound:
        state.HostNotFound = true;
        show(QStringLiteral("Host Name not Found."));
        return {};
    case Outcome::Found:
        break;
    }
    state.HostNotFound = false;
    return result.hostName;
}

void GetHostNameFromIP(HostResolver& resolver, ProbeState& state, Messenger& messenger, QWidget* parent,
                       const QString& addressText, std::function<void(const QString&)> done, QObject* context)
{
    QPointer<QWidget> owner(parent);
    QObject* scope = context ? context : parent;
    QPointer<QObject> alive(scope);
    resolver.lookUp(
        addressText, scope,
        [&state, &messenger, owner, alive, done = std::move(done)](const HostLookupResult& result) {
            const QString name = applyHostLookup(result, state, messenger, owner);
            // The message runs an event loop of its own, in which the lookup's owner may end.
            if (done && alive)
                done(name);
        });
}

} // namespace tarvo
