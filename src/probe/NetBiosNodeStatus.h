#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace tarvo {

// One entry of a NetBIOS name table (RFC 1002, node status response).
struct NetBiosName
{
    QString name;      // the 15 name characters, trailing blanks removed
    quint8 suffix = 0; // the 16th byte: <00> workstation or domain, <03> messenger, <20> server, ...
    quint16 flags = 0; // NAME_FLAGS as received

    bool isGroup() const { return (flags & 0x8000) != 0; }
};

// What a node status response says about a device.
struct NodeStatus
{
    QList<NetBiosName> names;
    QByteArray unitId; // the MAC address (6 bytes), empty when the response carried no statistics
};

// The first-level encoding of a NetBIOS name of 16 bytes (RFC 1001, 14.1): 32 letters 'A'..'P'.
QByteArray encodeNetBiosName(const QByteArray& sixteenBytes);

// The node status request for the name "*": 50 bytes, transaction id first.
QByteArray buildNodeStatusRequest(quint16 transactionId);

// Reads a node status response. Nothing when it is not a positive answer to that transaction (another
// id, a request, an error code, another record type) or when it is cut short: every read is checked
// against the datagram's size. A compressed (pointer) record name is accepted.
std::optional<NodeStatus> parseNodeStatusResponse(const QByteArray& datagram, quint16 transactionId);

// The findings that the address-in-use windows show.
struct DeviceFindings
{
    QString workGroup;  // the first group name with suffix <00>
    QString lanId;      // the signed-on user: a unique <03> name other than the computer name
    QString macAddress; // "00-1A-2B-3C-4D-5E", empty when unknown
};

// Takes the work group, the user name (LAN ID) and the MAC address from a name table. A user name with
// a blank inside is not taken.
DeviceFindings findingsOf(const NodeStatus& status);

// The MAC address as "XX-XX-XX-XX-XX-XX" (17 characters); empty unless there are 6 bytes.
QString formatMacAddress(const QByteArray& unitId);

} // namespace tarvo
