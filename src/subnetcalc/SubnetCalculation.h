#pragma once

#include "subnetcalc/SubnetMath.h"

#include <QString>

#include <array>

namespace tarvo {

// The four box texts of an address or a mask typed octet by octet, first octet first.
using OctetTexts = std::array<QString, 4>;

// The value of an octet box: its digits as a number, an empty box as 0, and -1 for any other text.
int octetValue(const QString& text);

// Why typed octets cannot be calculated; each names the box that needs the user's attention.
enum class EntryProblem
{
    None,
    NoAddress,              // every address octet is 0 (address box 0)
    AddressOctetOutOfRange, // an address octet is not a number from 0 to 255
    InvalidMaskOctet,       // a mask octet is not one of MaskOctetValues
    MaskNotContiguous,      // the mask's one bits have a gap (255.0.255.0): the first box past the gap
};

// Everything the calculator shows for an address and a mask.
struct SubnetResult
{
    quint32 address = 0;
    quint32 mask = 0;
    quint32 network = 0;
    quint32 broadcast = 0;
    int prefix = 0;
    AddressClass addressClass; // of the network identifier, not of the typed address
    quint64 hostCount = 0;
    SubnetList subnets;
    qint64 selectedRow = -1; // the network's row of subnets

    // The network identifier with its prefix length, for example "192.168.1.128/26".
    QString networkIdText() const;
};

struct SubnetCalculation
{
    EntryProblem problem = EntryProblem::None;
    int problemBox = -1; // 0..3: the address box (NoAddress, AddressOctetOutOfRange) or mask box at fault
    SubnetResult result; // valid when ok()

    bool ok() const { return problem == EntryProblem::None; }
};

// Checks the typed octets in the order the user meets the problems (address, then mask) and, when
// they are sound, calculates the subnet.
SubnetCalculation calculateSubnet(const OctetTexts& address, const OctetTexts& mask);

} // namespace tarvo
