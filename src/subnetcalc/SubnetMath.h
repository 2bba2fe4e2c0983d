#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

namespace tarvo {

// IPv4 arithmetic of the subnet calculator on 32-bit unsigned integers, most significant octet first.

// The values an octet of a subnet mask may hold: one bits from the left, zero bits after them.
inline constexpr std::array<int, 9> MaskOctetValues{0, 128, 192, 224, 240, 248, 252, 254, 255};

// Separates the network and broadcast columns of a subnet row; a network identifier shorter than
// ShortNetworkIdLength gets one Tab more, so that the broadcast column lines up at the Tab stops.
inline const QString NetListSeparator = QStringLiteral("\t\t");
inline constexpr qsizetype ShortNetworkIdLength = 10;

bool isValidMaskOctet(int value);

// Octets in 0..255, first octet first.
quint32 addressFromOctets(const std::array<int, 4>& octets);
QString dottedAddress(quint32 address);

// The number of leading one bits of a mask whose one bits run without a gap from the left; no value
// for a mask such as 255.0.255.0.
std::optional<int> prefixLength(quint32 mask);
// The mask of a prefix length 0..32.
quint32 maskOfPrefix(int prefix);

inline quint32 networkOf(quint32 address, quint32 mask)
{
    return address & mask;
}
inline quint32 broadcastOf(quint32 address, quint32 mask)
{
    return address | ~mask;
}

// The addresses of a network that a host may use: all but the network and broadcast identifiers,
// except that both addresses of a /31 point-to-point link are usable (RFC 3021) and a /32 names one host.
quint64 usableHostCount(int prefix);

// A count with thousands separators: 16777214 gives "16,777,214".
QString groupedNumber(quint64 value);

// The class letter of a network identifier ("Loopback" for 127) and its address type.
struct AddressClass
{
    QString ipClass;
    QString addressType;
};
AddressClass classOfNetwork(quint32 network);

// The subnets of one prefix length inside the range of the network's whole mask octets: a mask with a
// partial octet cuts that range into 2 to 128 subnets; a mask of whole octets only gives the network
// itself. Rows are computed when asked for, so the list costs nothing to fill.
class SubnetList
{
public:
    SubnetList() = default; // no rows
    static SubnetList around(quint32 network, int prefix);

    qint64 count() const { return m_count; }
    quint32 networkAt(qint64 row) const;
    quint32 broadcastAt(qint64 row) const;
    // The row of a network identifier, or -1 when the list holds no such subnet.
    qint64 rowOf(quint32 network) const;
    // The row as the list shows it: network identifier, Tab separator, broadcast identifier.
    QString rowText(qint64 row) const;

private:
    quint32 m_first = 0;
    int m_prefix = 32;
    qint64 m_count = 0;
};

// Network identifier and broadcast identifier joined by the Tab run that lines up the columns.
QString subnetRowText(quint32 network, quint32 broadcast);

} // namespace tarvo
