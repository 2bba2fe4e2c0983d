#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tarvo {

// What identifies one echo request among the ICMP traffic a socket sees.
struct EchoIdentity
{
    quint16 identifier = 0;
    quint16 sequence = 0;
    QByteArray payload;
    quint32 target = 0; // the destination, host byte order
};

// The internet checksum (RFC 1071) of a block of bytes.
quint16 internetChecksum(const QByteArray& bytes);

// An ICMP echo request: type 8, code 0, checksum, identifier, sequence number, then the payload.
QByteArray buildEchoRequest(const EchoIdentity& request);

// What a datagram received on an ICMP socket means for a request.
struct IcmpAnswer
{
    enum class Kind
    {
        Unrelated, // not an answer to this request (another program's traffic, our own request, ...)
        EchoReply, // the echo reply to this request
        Error,     // an ICMP error message about this request
    };
    Kind kind = Kind::Unrelated;
    int status = -1; // for an error, its status code (IcmpStatus)

    bool answers() const { return kind != Kind::Unrelated; }
};

// Reads one datagram. A raw socket delivers the IPv4 header in front of the ICMP message (hasIpHeader);
// a datagram ICMP socket delivers the ICMP message alone. Every read is bounds-checked: a short or
// malformed datagram is Unrelated.
IcmpAnswer classifyIcmpDatagram(const QByteArray& datagram, bool hasIpHeader, const EchoIdentity& request);

} // namespace tarvo
