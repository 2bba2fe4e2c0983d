#pragma once

#include <QString>

#include <optional>

namespace tarvo {

// The rows of the address-plan tables, each with the SQLite rowid of the row it was read from. Rows
// refer to each other by text only (area name, state or segment code, owner names); names may repeat
// in data made outside Tarvo, so a window changes and deletes a row through its rowId. Empty columns
// read as empty texts and 0, except City.Offset, where "no value" has a meaning of its own.

// An area (table Region).
struct AreaRow
{
    qint64 rowId = 0;
    QString Region;          // area name
    int AssignIP = 0;        // first octet of the area's addresses
    bool Segment_ip = false; // true: a segmented area, which has no states
    QString Abbr_segment;    // segment code: the state code of a segmented area's cities
};

// A state of an area that is not segmented (table State).
struct StateRow
{
    qint64 rowId = 0;
    QString State_name;
    QString Abbr_state; // one character
    QString Region;     // the area's name
};

// A city or site (table City).
struct CityRow
{
    qint64 rowId = 0;
    QString City_name;
    QString Abbr_city;         // city or building code
    int IP_octet2 = 0;         // second octet
    std::optional<int> Offset; // third-octet offset (states), or a fixed third octet (segmented area)
    int StartIPRange = 0;      // the city's own fourth-octet range; both 0 when it has none
    int ToIPRange = 0;
    QString Abbr_state; // the state's code, or the area's segment code
    QString Region;     // the area's name

    bool hasRange() const { return StartIPRange != 0 || ToIPRange != 0; }
};

// A work group (table Workgroup): one list for the whole organisation.
struct WorkgroupRow
{
    qint64 rowId = 0;
    QString Workgroup_name;
    QString Workgroup_code; // one character
    int Octet_3 = 0;        // digit 0 to 9 added to the city's offset
};

// An equipment type (table Equipment): one list for the whole organisation.
struct EquipmentRow
{
    qint64 rowId = 0;
    QString Eqp_name;
    QString Eqp_code; // at most three characters, the first part of a host name
    int Octet4_start = 0;
    int Octet4_end = 0;
};

// The entries the assignment window adds to its equipment list beside the equipment types: the
// /30 subnet reservation and a city's own range ("IP Range 200 to 220"). No equipment type may be
// named like them.
inline const QString SubnetMaskEntry = QStringLiteral("Subnet Mask 252");
inline const QString IpRangeEntryPrefix = QStringLiteral("IP Range ");

inline bool isReservedEquipmentName(const QString& name)
{
    return name.compare(SubnetMaskEntry, Qt::CaseInsensitive) == 0 ||
           name.contains(IpRangeEntryPrefix, Qt::CaseInsensitive);
}

// A unit or division with its postal address and the place that owns it (table UnitDivision).
struct UnitDivisionRow
{
    qint64 rowId = 0;
    QString UnitDivision;
    QString Floor;
    QString Building;
    QString Roadname;
    QString Postcode;
    QString City;
    QString State;
    QString RegionOwner;
    QString StateOwner; // empty for a place in a segmented area
    QString CityOwner;
};

// The place that owns units and divisions. A place in a segmented area has no state: with no state the
// owner state is not looked at.
struct UnitOwner
{
    QString region;
    std::optional<QString> state;
    QString city;
};

} // namespace tarvo
