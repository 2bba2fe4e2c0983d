#include "assign/AssignmentRules.h"

#include <QStringList>

#include <bitset>

namespace tarvo {

namespace {

// Plain digits (leading zeros allowed) with a value from minimum to maximum.
std::optional<int> digitsWithin(QStringView text, int minimum, int maximum)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > maximum)
            return std::nullopt;
    }
    if (value < minimum)
        return std::nullopt;
    return static_cast<int>(value);
}

// An octet in plain decimal: no sign, no blank, no leading zero.
std::optional<int> plainOctet(QStringView text)
{
    if (text.size() > 1 && text.front() == QLatin1Char('0'))
        return std::nullopt;
    return digitsWithin(text, 0, 255);
}

} // namespace

QString AddressOctets::AddressPrefix() const
{
    return QStringLiteral("%1.%2.%3.").arg(IPOctet1).arg(IPOctet2).arg(IPOctet3);
}

QString AddressOctets::address() const
{
    return AddressPrefix() + QString::number(IPOctet4);
}

QString NameParts::NamingConvention() const
{
    return NamePart1 + NamePart2 + NamePart3 + NamePart4 + SeqCode;
}

bool isOctetValue(int value)
{
    return value >= 0 && value <= 255;
}

std::optional<int> workgroupOctet3(int Octet_3, int CityOffset)
{
    if (CityOffset == 0)
        return 0;
    const int sum = Octet_3 + CityOffset;
    if (!isOctetValue(sum))
        return std::nullopt;
    return sum;
}

QString octet3TooHighMessage(int value)
{
    return QStringLiteral("IP Octet 3 would be %1, above 255 ! Please correct the offset of the city or the "
                          "octet 3 of the work group in the IP settings.")
        .arg(value);
}

QString segmentNamePart(const QString& segmentText)
{
    if (segmentText.isEmpty())
        return {};
    return QStringLiteral("%1").arg(segmentText.toInt(), 2, 10, QLatin1Char('0'));
}

QString cityRangeItem(int StartIPRange, int ToIPRange)
{
    return IpRangeEntryPrefix + QStringLiteral("%1 to %2").arg(StartIPRange).arg(ToIPRange);
}

bool isPseudoEquipment(const QString& item)
{
    return item == SubnetMask252 || item.contains(IpRangeEntryPrefix);
}

int SeqNo(int IPOctet4, const Octet4Range& range, bool pseudoItem)
{
    return pseudoItem ? IPOctet4 : IPOctet4 - range.Octet4Start + 1;
}

QString SeqCode(int SeqNo)
{
    if (SeqNo < 10)
        return QStringLiteral("0%1").arg(SeqNo);
    if (SeqNo < 100)
        return QString::number(SeqNo);
    // One letter per block of ten from 100 on; "O" is left out so that it is never read as zero.
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNPQRSTUVWXYZ");
    const int block = (SeqNo - 100) / 10;
    if (block >= letters.size())
        return QString::number(SeqNo);
    return letters.at(block) + QString::number(SeqNo % 10);
}

FreeAddress nextFreeAddress(const QList<int>& usedOctets, const Octet4Range& range, bool pseudoItem)
{
    std::bitset<256> used;
    int top = -1;
    for (const int octet : usedOctets) {
        if (!range.contains(octet) || !isOctetValue(octet))
            continue;
        used.set(static_cast<size_t>(octet));
        top = std::max(top, octet);
    }

    FreeAddress free;
    free.UsedCount = static_cast<int>(used.count());
    free.FreeCount = range.RangeSize() - free.UsedCount;
    if (top < 0) {
        free.IPOctet4 = range.Octet4Start;
    } else if (top != range.Octet4End) {
        free.IPOctet4 = top + 1;
    } else {
        for (int octet = range.Octet4Start; octet <= range.Octet4End; ++octet) {
            if (!used.test(static_cast<size_t>(octet))) {
                free.IPOctet4 = octet;
                break;
            }
        }
    }
    if (free.rangeFull())
        return free;
    free.SeqNo = pseudoItem && top < 0 ? 1 : tarvo::SeqNo(*free.IPOctet4, range, pseudoItem);
    free.SeqCode = SeqCode(free.SeqNo);
    return free;
}

std::optional<int> typedOctet4(const QString& text)
{
    return digitsWithin(text, 0, 255);
}

std::optional<int> bulkCount(const QString& text)
{
    return digitsWithin(text, 1, MaxBulkCount);
}

std::optional<std::array<int, 4>> addressOctets(const QString& address)
{
    const QList<QStringView> parts = QStringView(address).split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    std::array<int, 4> octets{};
    for (int i = 0; i < 4; ++i) {
        const auto octet = plainOctet(parts.at(i));
        if (!octet)
            return std::nullopt;
        octets[static_cast<size_t>(i)] = *octet;
    }
    return octets;
}

bool isAddressPrefix(const QString& prefix)
{
    return prefix.endsWith(QLatin1Char('.')) && addressOctets(prefix + QLatin1Char('0')).has_value();
}

QString DateIssueText(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace tarvo
