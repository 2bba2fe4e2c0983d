#pragma once

#include "assign/AssignmentRules.h"
#include "assign/BulkRun.h"
#include "plan/PlanRows.h"

#include <QString>

#include <optional>

namespace tarvo {

// The octet-4 range of the proposal and where it comes from, shared by the assignment window and its
// range-full dialog: normally the picked equipment's own range; after a choice in the range-full
// dialog, that equipment's range for the one proposal made from it.
struct RangeHandOver
{
    int Octet4Start = 0;
    int Octet4End = 0;
    bool UseEquipmentRange = true; // false: keep the range the range-full dialog chose
    QString CurrentEquipment;      // the equipment of the range in use; "NW" for a pseudo item

    Octet4Range range() const { return {Octet4Start, Octet4End}; }
};

// Where the network scan stands in its walk of a range. The scan controller reads and writes these;
// Cancel and the opening reset them.
struct ScanMembers
{
    int ScanPosition = 0;     // next fourth octet to examine; 0 = no scan under way
    int ScanPhase = 999;      // 999: the big-scan question is still to be asked
    bool ScanStopped = false; // the user pressed "Stop"
};

inline constexpr int ScanPhaseAskAgain = 999;

// The members of the assignment window that its parts share: the mode fixed at opening, the address
// and the host name being built, the place chosen in the cascade, the range in use and the proposal.
struct AssignmentState
{
    AssignMode mode = AssignMode::New;

    AddressOctets octets;
    NameParts names;
    int CityOffset = 0;          // City.Offset of the chosen city of an area with states
    bool SegmentMode = false;    // the chosen area is segmented
    QString SegmentCode;         // Region.Abbr_segment of the chosen area
    std::optional<CityRow> city; // the chosen city's row

    RangeHandOver range;
    QString ChosenEquipment; // the equipment item of the last pick that read a range
    QString SavedEquipment;  // the equipment whose range was found full, for the proposal made instead
    int RangeSize = 0;
    int FreeCount = 0;
    int SeqNo = 0;

    QString ProposedAddress;
    QString ProposedHostName; // the host name of the last New-mode proposal
    bool AddressAnswered = false;

    ScanMembers scan;

    bool dedicated() const { return mode == AssignMode::Dedicated; }
    // The city's own fourth-octet range item, for a city of a segmented area that has one.
    std::optional<QString> cityRangeEntry() const
    {
        if (!SegmentMode || !city || city->StartIPRange == 0 || city->ToIPRange == 0)
            return std::nullopt;
        return cityRangeItem(city->StartIPRange, city->ToIPRange);
    }
};

} // namespace tarvo
