#pragma once

#include "plan/PlanRows.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace tarvo {

// The rules by which an address and a host name are built from the address plan. Plain functions and
// values: the assignment window keeps the members, these compute from them.

// The octets of the address being built. Octet 1 comes from the area, octet 2 from the city, octet 3
// from the work group and the city's offset (or the segment), octet 4 from the range.
struct AddressOctets
{
    int IPOctet1 = 0;
    int IPOctet2 = 0;
    int IPOctet3 = 0;
    int IPOctet4 = 0;

    // "o1.o2.o3." with its trailing dot, which keeps 10.1.1. from matching 10.1.10.5.
    QString AddressPrefix() const;
    // The address preview "o1.o2.o3.o4".
    QString address() const;
};

// The parts of a host name: equipment code, state code (or the segment in two digits), work-group code
// (empty in a segment area), city code and the sequence code. A part not chosen yet reads "_" (parts 1
// to 3) or "___" (part 4); the sequence code reads "0" until an address is proposed.
struct NameParts
{
    QString NamePart1 = QStringLiteral("_");
    QString NamePart2 = QStringLiteral("_");
    QString NamePart3 = QStringLiteral("_");
    QString NamePart4 = QStringLiteral("___");
    QString SeqCode = QStringLiteral("0");

    // The name preview: the five parts joined without separators (PC + K + L + AMS + 10 = PCKLAMS10).
    QString NamingConvention() const;
};

// An octet value: 0 to 255.
bool isOctetValue(int value);

// Octet 3 in an area with states: the work group's digit plus the city's offset, or 0 when the city's
// offset is 0 (the digit is then dropped). Nothing when the sum is above 255: no such address exists.
std::optional<int> workgroupOctet3(int Octet_3, int CityOffset);

// The message for an octet 3 above 255 (a city offset or a work-group digit too large).
QString octet3TooHighMessage(int value);

// Host-name part 2 in a segment area: the typed segment with at least two digits ("7" gives "07", "12"
// stays "12"); an empty text stays empty.
QString segmentNamePart(const QString& segmentText);

// The equipment list's entries that stand for no Equipment row, and the equipment code they give.
inline const QString& SubnetMask252 = SubnetMaskEntry;
inline const QString PseudoEquipmentCode = QStringLiteral("NW");
// "IP Range " + start + " to " + end: the entry of a city's own range.
QString cityRangeItem(int StartIPRange, int ToIPRange);
// True for "Subnet Mask 252" and for every text containing "IP Range ".
bool isPseudoEquipment(const QString& item);

// A range of fourth octets, both ends included.
struct Octet4Range
{
    int Octet4Start = 0;
    int Octet4End = 0;

    int RangeSize() const { return Octet4End - Octet4Start + 1; }
    bool contains(int octet4) const { return octet4 >= Octet4Start && octet4 <= Octet4End; }
};

// The range of "Subnet Mask 252".
inline constexpr Octet4Range SubnetMask252Range{0, 255};

// The sequence number of an address in its range: octet 4 - range start + 1 for an equipment range, so
// that every address of the range has its own number also when the range starts at 0; octet 4 itself
// for a pseudo item.
int SeqNo(int IPOctet4, const Octet4Range& range, bool pseudoItem);

// The two-character sequence code of a host name: 01 to 99, then a letter per block of ten with the
// last digit (A0 = 100 ... N9 = 239, P0 = 240 ... Q4 = 254; no "O"). 255 and 256 continue as Q5 and Q6.
QString SeqCode(int SeqNo);

// The next free address of a range.
struct FreeAddress
{
    std::optional<int> IPOctet4; // nothing: every address of the range is recorded
    int SeqNo = 0;
    QString SeqCode;
    int UsedCount = 0; // distinct recorded fourth octets inside the range
    int FreeCount = 0; // RangeSize - UsedCount

    bool rangeFull() const { return !IPOctet4.has_value(); }
};

// Finds the next free fourth octet from the recorded ones (any order; repeats and values outside the
// range are ignored). With none recorded: the range start. Otherwise, while the top of the range is
// free, the value after the highest recorded one (gaps below it stay free); once the top is recorded,
// the lowest value of the range without a record. A pseudo item's empty range gives sequence number 1.
FreeAddress nextFreeAddress(const QList<int>& usedOctets, const Octet4Range& range, bool pseudoItem);

// A typed fourth octet (dedicated assignment): plain digits with the value 0 to 255, leading zeros
// allowed and dropped ("007" is 7). Nothing for any other text.
std::optional<int> typedOctet4(const QString& text);

// The number of addresses of a run: plain digits with the value 1 to 256. Nothing for any other text
// (an empty box or "0" cannot start a run).
std::optional<int> bulkCount(const QString& text);
inline constexpr int MaxBulkCount = 256;

// The octets of a stored address: four plain decimal numbers 0 to 255 joined by dots, without blanks
// or leading zeros. Nothing for any other text.
std::optional<std::array<int, 4>> addressOctets(const QString& address);

// True for "o1.o2.o3." with three octets in plain decimal and the trailing dot.
bool isAddressPrefix(const QString& prefix);

// The date of a save as IP_Info.DateIssue stores it: "dd/MM/yyyy".
QString DateIssueText(const QDate& date);

} // namespace tarvo
