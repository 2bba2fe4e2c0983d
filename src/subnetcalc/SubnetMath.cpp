#include "subnetcalc/SubnetMath.h"

#include <algorithm>

namespace tarvo {

bool isValidMaskOctet(int value)
{
    return std::find(MaskOctetValues.begin(), MaskOctetValues.end(), value) != MaskOctetValues.end();
}

quint32 addressFromOctets(const std::array<int, 4>& octets)
{
    quint32 address = 0;
    for (int octet : octets)
        address = (address << 8) | (static_cast<quint32>(octet) & 0xFFu);
    return address;
}

QString dottedAddress(quint32 address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFFu)
        .arg((address >> 8) & 0xFFu)
        .arg(address & 0xFFu);
}

std::optional<int> prefixLength(quint32 mask)
{
    const quint32 hostBits = ~mask;
    // The host part of a contiguous mask is a run of ones from the right: adding one clears it all.
    if ((hostBits & (hostBits + 1)) != 0)
        return std::nullopt;
    int prefix = 0;
    for (quint32 bit = 0x80000000u; bit != 0 && (mask & bit) != 0; bit >>= 1)
        ++prefix;
    return prefix;
}

quint32 maskOfPrefix(int prefix)
{
    if (prefix <= 0)
        return 0;
    if (prefix >= 32)
        return 0xFFFFFFFFu;
    return 0xFFFFFFFFu << (32 - prefix);
}

quint64 usableHostCount(int prefix)
{
    const quint64 addresses = quint64{1} << (32 - std::clamp(prefix, 0, 32));
    return addresses > 2 ? addresses - 2 : addresses;
}

QString groupedNumber(quint64 value)
{
    QString digits = QString::number(value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return digits;
}

AddressClass classOfNetwork(quint32 network)
{
    const quint32 first = network >> 24;
    const quint32 second = (network >> 16) & 0xFFu;
    if (first <= 127) {
        if (first == 127)
            return {QStringLiteral("Loopback"), QStringLiteral("Loopback")};
        return {QStringLiteral("A"), first == 10 ? QStringLiteral("Reserved") : QStringLiteral("Public")};
    }
    if (first <= 191) {
        const bool reserved = first == 172 && second >= 16 && second <= 31;
        return {QStringLiteral("B"), reserved ? QStringLiteral("Reserved") : QStringLiteral("Public")};
    }
    if (first <= 223) {
        const bool reserved = first == 192 && second == 168;
        return {QStringLiteral("C"), reserved ? QStringLiteral("Reserved") : QStringLiteral("Public")};
    }
    if (first <= 239)
        return {QStringLiteral("D"), QStringLiteral("Multicast")};
    return {QStringLiteral("E"), QStringLiteral("Experemential")};
}

SubnetList SubnetList::around(quint32 network, int prefix)
{
    SubnetList list;
    list.m_prefix = std::clamp(prefix, 0, 32);
    const int wholeOctetBits = list.m_prefix / 8 * 8;
    list.m_first = network & maskOfPrefix(wholeOctetBits);
    list.m_count = qint64{1} << (list.m_prefix - wholeOctetBits);
    return list;
}

quint32 SubnetList::networkAt(qint64 row) const
{
    const quint64 size = quint64{1} << (32 - m_prefix);
    return m_first + static_cast<quint32>(static_cast<quint64>(row) * size);
}

quint32 SubnetList::broadcastAt(qint64 row) const
{
    return broadcastOf(networkAt(row), maskOfPrefix(m_prefix));
}

qint64 SubnetList::rowOf(quint32 network) const
{
    if (m_count == 0 || networkOf(network, maskOfPrefix(m_prefix)) != network || network < m_first)
        return -1;
    const qint64 row = static_cast<qint64>((quint64{network} - m_first) >> (32 - m_prefix));
    return row < m_count ? row : -1;
}

QString SubnetList::rowText(qint64 row) const
{
    return subnetRowText(networkAt(row), broadcastAt(row));
}

QString subnetRowText(quint32 network, quint32 broadcast)
{
    const QString networkText = dottedAddress(network);
    const QString separator =
        networkText.size() < ShortNetworkIdLength ? NetListSeparator + QLatin1Char('\t') : NetListSeparator;
    return networkText + separator + dottedAddress(broadcast);
}

} // namespace tarvo
