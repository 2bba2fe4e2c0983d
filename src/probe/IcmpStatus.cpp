#include "probe/IcmpStatus.h"

#include <QHash>

#include <cerrno>

namespace tarvo {

QString IcmpStatusText(int status)
{
    static const QHash<int, QString> texts = {
        {0, QStringLiteral("Success")},
        {11000, QStringLiteral("Status base")},
        {11001, QStringLiteral("Buffer to small")},
        {11002, QStringLiteral("Destination network unreachable")},
        {11003, QStringLiteral("Destination host unreachable")},
        {11004, QStringLiteral("Destination protocol unreachable")},
        {11005, QStringLiteral("Destination port unreachable")},
        {11006, QStringLiteral("No resources")},
        {11007, QStringLiteral("Bad option")},
        {11008, QStringLiteral("hw error")},
        {11009, QStringLiteral("Packet to big")},
        {11010, QStringLiteral("Requested IP timed out")},
        {11011, QStringLiteral("Bad request")},
        {11012, QStringLiteral("Bad route")},
        {11013, QStringLiteral("Time to live expired transmition")},
        {11014, QStringLiteral("Time ti live expired reassem")},
        {11015, QStringLiteral("Param problems")},
        {11016, QStringLiteral("Source quench")},
        {11017, QStringLiteral("Option too big")},
        {11018, QStringLiteral("Bad destination")},
        {11019, QStringLiteral("Address deleted")},
        {11020, QStringLiteral("Spec mtu changed")},
        {11021, QStringLiteral("Mtu changed")},
        {11022, QStringLiteral("Unloaded")},
        {11023, QStringLiteral("Address added")},
        {11050, QStringLiteral("General failure")},
        {11255, QStringLiteral("Ip pending")},
    };
    return texts.value(status, QStringLiteral("Unindentified"));
}

int statusOfIcmpError(int type, int code)
{
    using namespace IcmpStatus;
    switch (type) {
    case 3: // destination unreachable
        switch (code) {
        case 0:  // network unreachable
        case 6:  // destination network unknown
        case 9:  // network administratively prohibited
        case 11: // network unreachable for the type of service
            return DestinationNetUnreachable;
        case 2:
            return DestinationProtocolUnreachable;
        case 3:
            return DestinationPortUnreachable;
        case 4: // fragmentation needed
            return PacketTooBig;
        case 5: // source route failed
            return BadRoute;
        default: // host unreachable, unknown, isolated, prohibited, ...
            return DestinationHostUnreachable;
        }
    case 4:
        return SourceQuench;
    case 11:
        return code == 1 ? TtlExpiredReassembly : TtlExpiredTransit;
    case 12:
        return ParameterProblem;
    default:
        return -1;
    }
}

int statusOfSocketError(int error)
{
    using namespace IcmpStatus;
    switch (error) {
    case ENETUNREACH:
    case ENETDOWN:
        return DestinationNetUnreachable;
    case EHOSTUNREACH:
    case EHOSTDOWN:
        return DestinationHostUnreachable;
    case ECONNREFUSED:
        return DestinationPortUnreachable;
    case EPROTO:
        return ParameterProblem;
    case EMSGSIZE:
        return PacketTooBig;
    case ENOBUFS:
    case ENOMEM:
    case EAGAIN:
        return NoResources;
    case EACCES:        // a broadcast address
    case EADDRNOTAVAIL: // no route or address that can reach it
    case EINVAL:        // a blackhole route
        return BadDestination;
    default:
        return GeneralFailure;
    }
}

QString pingFailurePrefix(const QString& targetText)
{
    return QStringLiteral("Faild to ping : ''") + targetText + QStringLiteral("''");
}

QString pingFailureMessage(const QString& targetText, int status)
{
    const QString wording = status == IcmpStatus::RequestTimedOut ? QStringLiteral(" error code : ")
                                                                  : QStringLiteral(" error description : ");
    return pingFailurePrefix(targetText) + wording + IcmpStatusText(status);
}

} // namespace tarvo
