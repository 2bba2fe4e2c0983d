#pragma once

#include "assign/RecordSearch.h"
#include "core/DbResult.h"
#include "plan/PlanStore.h"

#include <QStringList>

#include <optional>

namespace tarvo {

// The location cascade of the search window without its widgets: area, then state (none in a segment
// area), then city, then work group or typed segment. Each step reads the address plan, keeps the
// octets of the address prefix by the system's octet rule and gives the next list. Unlike the
// assignment window's cascade it builds no host name, and in a segment area the third octet is always
// the typed segment (the city's offset and own range are not used).
class LocationSearch
{
public:
    explicit LocationSearch(const DatabaseConnection& database);

    // The lists an area pick gives: its states (a state area) or its cities (a segment area).
    struct AreaLists
    {
        QStringList states;
        QStringList cities;
    };

    // The area list: an area administrator's own area only, else every area by name.
    DbResult<QStringList> areas(const QString& loginRegion) const;
    // Reads the area. A state area lists its states (every state when it has none); a segment area
    // lists its cities at once. No area: every state.
    DbResult<AreaLists> pickArea(const QString& area);
    // The cities of a state of the area.
    DbResult<QStringList> pickState(const QString& state, const QString& area);
    // Reads the city: its second octet and, in a state area, its offset (an empty offset counts as 0).
    DbOutcome readCity(const QString& city, const QString& area);
    DbResult<QStringList> workgroups() const;
    // Reads the work group: octet 3 is its digit plus the city's offset, or 0 when the offset is 0.
    // Nothing chosen leaves octet 3 as it was.
    DbOutcome pickWorkgroup(const QString& workgroup);
    // The typed segment in a segment area: octet 3.
    void setSegment(int segment) { IPOctet3 = segment; }

    // "o1.o2.o3." with its trailing dot.
    QString AddressPrefix() const;
    // The search of the place's addresses; nothing when octet 3 lies above 255.
    std::optional<RecordSearch> prefixSearch() const;

    bool SegmentMode = false;
    QString SegmentCode; // the segment area's code, which stands as the state code of its cities
    QString StateCode;   // the chosen state's code
    int IPOctet1 = 0;
    int IPOctet2 = 0;
    int IPOctet3 = 0;
    int CityOffset = 0;

private:
    PlanStore m_plan;
};

} // namespace tarvo
