#include "probe/IcmpPacket.h"

#include "probe/ByteReader.h"
#include "probe/IcmpStatus.h"

namespace tarvo {

namespace {

constexpr quint8 EchoReplyType = 0;
constexpr quint8 EchoRequestType = 8;
constexpr quint8 IcmpProtocol = 1;
constexpr int IcmpHeaderSize = 8;
constexpr int MinimumIpHeaderSize = 20;

// The size of a valid IPv4 header of the given protocol at the start of the reader, or 0.
int ipHeaderSize(const ByteReader& in, qsizetype offset, quint32* source, quint32* destination)
{
    if (!in.has(offset, MinimumIpHeaderSize))
        return 0;
    const quint8 versionAndLength = in.byteAt(offset);
    const int length = (versionAndLength & 0x0F) * 4;
    if ((versionAndLength >> 4) != 4 || length < MinimumIpHeaderSize || !in.has(offset, length))
        return 0;
    if (in.byteAt(offset + 9) != IcmpProtocol)
        return 0;
    if (source)
        *source = in.dwordAt(offset + 12);
    if (destination)
        *destination = in.dwordAt(offset + 16);
    return length;
}

bool isOurRequest(const ByteReader& in, qsizetype offset, const EchoIdentity& request)
{
    return in.has(offset, IcmpHeaderSize) && in.byteAt(offset) == EchoRequestType &&
           in.byteAt(offset + 1) == 0 && in.wordAt(offset + 4) == request.identifier &&
           in.wordAt(offset + 6) == request.sequence;
}

} // namespace

quint16 internetChecksum(const QByteArray& bytes)
{
    quint32 sum = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i + 1 < size; i += 2)
        sum += (static_cast<quint32>(static_cast<quint8>(bytes.at(i))) << 8) |
               static_cast<quint8>(bytes.at(i + 1));
    if (size % 2 == 1)
        sum += static_cast<quint32>(static_cast<quint8>(bytes.at(size - 1))) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<quint16>(~sum & 0xFFFF);
}

QByteArray buildEchoRequest(const EchoIdentity& request)
{
    QByteArray packet(IcmpHeaderSize, '\0');
    packet[0] = static_cast<char>(EchoRequestType);
    packet[4] = static_cast<char>(request.identifier >> 8);
    packet[5] = static_cast<char>(request.identifier & 0xFF);
    packet[6] = static_cast<char>(request.sequence >> 8);
    packet[7] = static_cast<char>(request.sequence & 0xFF);
    packet += request.payload;
    const quint16 checksum = internetChecksum(packet);
    packet[2] = static_cast<char>(checksum >> 8);
    packet[3] = static_cast<char>(checksum & 0xFF);
    return packet;
}

IcmpAnswer classifyIcmpDatagram(const QByteArray& datagram, bool hasIpHeader, const EchoIdentity& request)
{
    const ByteReader in(datagram);
    qsizetype offset = 0;
    quint32 source = 0;
    if (hasIpHeader) {
        offset = ipHeaderSize(in, 0, &source, nullptr);
        if (offset == 0)
            return {};
    }
    if (!in.has(offset, IcmpHeaderSize) || internetChecksum(in.mid(offset)) != 0)
        return {};

    const quint8 type = in.byteAt(offset);
    const quint8 code = in.byteAt(offset + 1);
    if (type == EchoReplyType) {
        const bool matches = code == 0 && in.wordAt(offset + 4) == request.identifier &&
                             in.wordAt(offset + 6) == request.sequence &&
                             in.mid(offset + IcmpHeaderSize) == request.payload &&
                             (!hasIpHeader || source == request.target);
        return matches ? IcmpAnswer{IcmpAnswer::Kind::EchoReply, IcmpStatus::Success} : IcmpAnswer{};
    }

    const int status = statusOfIcmpError(type, code);
    if (status < 0)
        return {};
    // An error message quotes the IPv4 header of the request and at least its first eight bytes.
    const qsizetype quoted = offset + IcmpHeaderSize;
    quint32 destination = 0;
    const int quotedHeader = ipHeaderSize(in, quoted, nullptr, &destination);
    if (quotedHeader == 0 || destination != request.target ||
        !isOurRequest(in, quoted + quotedHeader, request))
        return {};
    return {IcmpAnswer::Kind::Error, status};
}

} // namespace tarvo
