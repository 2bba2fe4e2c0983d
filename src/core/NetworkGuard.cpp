#include "core/NetworkGuard.h"

namespace tarvo::NetworkGuard {

namespace {

bool flagSet(const char* name)
{
    return qEnvironmentVariable(name).trimmed() == QLatin1String("1");
}

bool inRange(const QHostAddress& address, const char* network, int prefix)
{
    return address.isInSubnet(QHostAddress(QString::fromLatin1(network)), prefix);
}

} // namespace

bool isActive()
{
    return flagSet("TARVO_LOOPBACK_ONLY") || flagSet("TARVO_TEST_NETNS");
}

bool allows(const QHostAddress& address)
{
    if (!isActive())
        return true;
    if (address.isNull())
        return false;
    QHostAddress target = address;
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped)
        target = QHostAddress(v4);
    if (target.protocol() == QAbstractSocket::IPv6Protocol)
        return target == QHostAddress(QHostAddress::LocalHostIPv6);
    if (inRange(target, "127.0.0.0", 8))
        return true;
    return flagSet("TARVO_TEST_NETNS") && inRange(target, "198.18.0.0", 15);
}

bool allowsHost(const QString& host)
{
    if (!isActive())
        return true;
    const QString name = host.trimmed();
    if (name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    QHostAddress address;
    if (!address.setAddress(name))
        return false;
    return allows(address);
}

QString refusal(const QString& destination)
{
    return QStringLiteral("The network guard refused to contact %1: only loopback addresses may be reached "
                          "while TARVO_LOOPBACK_ONLY is set.")
        .arg(destination);
}

} // namespace tarvo::NetworkGuard
