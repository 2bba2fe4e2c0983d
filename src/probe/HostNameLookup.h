#pragma once

#include <QString>

#include <functional>

class QObject;
class QThreadPool;
class QWidget;

namespace tarvo {

class Messenger;
struct ProbeState;

// The outcome of a reverse lookup of a dotted IPv4 address.
struct HostLookupResult
{
    enum class Outcome
    {
        Found,          // hostName holds the name (it may be empty)
        NotFound,       // the address has no host name
        InvalidAddress, // the text is not an address (or is 255.255.255.255)
        SocketsFailed,  // the socket layer could not be started
    };
    Outcome outcome = Outcome::NotFound;
    QString hostName;
};

// Checks that the socket layer can be used (an IPv4 socket can be opened). Linux needs no start-up,
// so this only fails where IPv4 is unavailable. Shows nothing.
bool SocketsInitialize();

// The counterpart of SocketsInitialize. Linux has nothing to clean up, so it never fails and shows
// nothing.
void SocketsCleanup();

// The reverse lookup itself: the text is converted as inet_addr reads it, then getnameinfo with
// NI_NAMEREQD asks the system's name services. It blocks until they answer: run it off the user
// interface thread. While the network guard is active only an address that the guard allows and that
// the hosts file names is looked up (any other would be asked of a name server over the network); the
// others are NotFound.
HostLookupResult lookUpHostName(const QString& addressText);

// Whether a hosts file (its text) gives the IPv4 address (host byte order) a name.
bool hostsFileNames(const QByteArray& hostsText, quint32 address);

// Looks up host names without blocking the user interface.
class HostResolver
{
public:
    virtual ~HostResolver() = default;

    // Calls done once with the outcome, from the event loop of the caller's thread (never before
    // lookUp returns). When context is destroyed first, done is not called.
    virtual void lookUp(const QString& addressText, QObject* context,
                        std::function<void(const HostLookupResult&)> done) = 0;
};

// The real resolver: runs lookUpHostName on a thread pool and delivers on the caller's thread.
class SystemHostResolver final : public HostResolver
{
public:
    explicit SystemHostResolver(QThreadPool* pool = nullptr); // nullptr: the global pool

    void lookUp(const QString& addressText, QObject* context,
                std::function<void(const HostLookupResult&)> done) override;

private:
    QThreadPool* m_pool;
};

// The host-name lookup of the address-in-use windows: looks the address up and calls done with the
// host name, or an empty text on every failure. Each failure shows its message at once ("Sockets
// failed to initialize.", "String passed is an invalid IP.", "Host Name not Found."; no icon, the
// program's title). HostNotFound becomes true when the address has no name, false after any other
// outcome except a failed socket start-up, which leaves it as it was. The messages belong to parent; the
// lookup ends with context (parent when none is given).
void GetHostNameFromIP(HostResolver& resolver, ProbeState& state, Messenger& messenger, QWidget* parent,
                       const QString& addressText, std::function<void(const QString&)> done,
                       QObject* context = nullptr);

// Applies one outcome to HostNotFound and the messages, and returns the host name to show.
QString applyHostLookup(const HostLookupResult& result, ProbeState& state, Messenger& messenger,
                        QWidget* parent);

} // namespace tarvo
