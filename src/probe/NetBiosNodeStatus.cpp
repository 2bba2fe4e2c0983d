#include "probe/NetBiosNodeStatus.h"

#include "probe/ByteReader.h"

namespace tarvo {

namespace {

constexpr quint16 NodeStatusType = 0x0021;
constexpr quint16 InternetClass = 0x0001;
constexpr int HeaderSize = 12;
constexpr int NameEntrySize = 18;
constexpr int UnitIdSize = 6;
constexpr int MaximumLabels = 64;

// Passes over a name: labels up to the empty one, or a two-byte pointer (label string pointer,
// RFC 1002, 4.1), which ends the name.
bool skipName(ByteReader& in)
{
    for (int labels = 0; labels < MaximumLabels; ++labels) {
        if (!in.remains(1))
            return false;
        const quint8 length = in.byte();
        if ((length & 0xC0) == 0xC0)
            return in.skip(1);
        if ((length & 0xC0) != 0)
            return false;
        if (length == 0)
            return true;
        if (!in.skip(length))
            return false;
    }
    return false;
}

} // namespace

QByteArray encodeNetBiosName(const QByteArray& sixteenBytes)
{
    QByteArray encoded;
    encoded.reserve(32);
    for (const char c : sixteenBytes) {
        const auto value = static_cast<quint8>(c);
        encoded.append(static_cast<char>('A' + (value >> 4)));
        encoded.append(static_cast<char>('A' + (value & 0x0F)));
    }
    return encoded;
}

QByteArray buildNodeStatusRequest(quint16 transactionId)
{
    QByteArray request;
    appendWord(request, transactionId);
    appendWord(request, 0x0000); // a query, no flags
    appendWord(request, 1);      // one question
    appendWord(request, 0);
    appendWord(request, 0);
    appendWord(request, 0);
    QByteArray wildcard(16, '\0');
    wildcard[0] = '*';
    request.append(char(32));
    request.append(encodeNetBiosName(wildcard));
    request.append('\0');
    appendWord(request, NodeStatusType);
    appendWord(request, InternetClass);
    return request;
}

std::optional<NodeStatus> parseNodeStatusResponse(const QByteArray& datagram, quint16 transactionId)
{
    ByteReader in(datagram);
    if (!in.remains(HeaderSize))
        return std::nullopt;
    const quint16 id = in.word();
    const quint16 flags = in.word();
    const quint16 questions = in.word();
    const quint16 answers = in.word();
    in.skip(4); // authority and additional record counts
    const bool response = (flags & 0x8000) != 0;
    const int opcode = (flags >> 11) & 0x0F;
    const int resultCode = flags & 0x0F;
    if (id != transactionId || !response || opcode != 0 || resultCode != 0 || answers == 0)
        return std::nullopt;
    for (int i = 0; i < questions; ++i) {
        if (!skipName(in) || !in.skip(4))
            return std::nullopt;
    }

    if (!skipName(in) || !in.remains(10))
        return std::nullopt;
    const quint16 type = in.word();
    const quint16 recordClass = in.word();
    in.skip(4); // time to live
    const quint16 dataLength = in.word();
    if (type != NodeStatusType || recordClass != InternetClass || dataLength < 1 || !in.remains(dataLength))
        return std::nullopt;
    const qsizetype dataEnd = in.position() + dataLength;

    NodeStatus status;
    const int count = in.byte();
    if (in.position() + qsizetype(count) * NameEntrySize > dataEnd)
        return std::nullopt;
    for (int i = 0; i < count; ++i) {
        NetBiosName entry;
        const QByteArray name = in.take(15);
        entry.name = QString::fromLatin1(name).remove(QLatin1Char('\0'));
        while (entry.name.endsWith(QLatin1Char(' ')))
            entry.name.chop(1);
        entry.suffix = in.byte();
        entry.flags = in.word();
        status.names.append(entry);
    }
    if (in.position() + UnitIdSize <= dataEnd)
        status.unitId = in.take(UnitIdSize);
    return status;
}

QString formatMacAddress(const QByteArray& unitId)
{
    if (unitId.size() != UnitIdSize)
        return {};
    return QString::fromLatin1(unitId.toHex('-').toUpper());
}

DeviceFindings findingsOf(const NodeStatus& status)
{
    DeviceFindings findings;
    QString computerName;
    bool haveComputerName = false;
    for (const NetBiosName& entry : status.names) {
        if (entry.suffix == 0x00 && entry.isGroup() && findings.workGroup.isEmpty())
            findings.workGroup = entry.name;
        if (entry.suffix == 0x00 && !entry.isGroup() && !haveComputerName) {
            computerName = entry.name;
            haveComputerName = true;
        }
    }
    for (const NetBiosName& entry : status.names) {
        if (entry.suffix == 0x03 && !entry.isGroup() && entry.name != computerName) {
            findings.lanId = entry.name;
            break;
        }
    }
    if (findings.lanId.contains(QLatin1Char(' ')))
        findings.lanId.clear();
    findings.macAddress = formatMacAddress(status.unitId);
    return findings;
}

} // namespace tarvo
