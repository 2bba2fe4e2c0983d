#pragma once

#include <QString>

namespace tarvo {

// One row of IP_Info: a recorded address with its host name, place, user, postal address, status, the
// date of the last save and the administrator who saved it. A null text stands for a column without a
// value (read back as null, so that a window copying a record can leave such a box as it was).
struct IpRecord
{
    qint64 rowId = 0; // SQLite rowid of the row; 0 for a record not stored yet

    QString IP_Address; // dotted decimal, no leading zeros or blanks
    int IP_4 = 0;       // the fourth octet of IP_Address
    QString Name;       // host name
    QString Type;       // equipment name, or the text of a pseudo item
    QString Region;     // owner area
    QString Workgroup;  // work-group name, or "Segment"
    QString Project;
    QString Remarks;
    QString Username;
    QString StaffNo;
    QString LANID;
    QString Status;       // "Permanent" or "Temporary"
    QString UnitDivision; // stored only when not empty
    QString Floor;
    QString Building;
    QString Roadname;
    QString Postcode;
    QString State; // state of the postal address
    QString City;  // city of the postal address
    QString TelNo;
    QString FaxNo;
    QString StateOwner; // owner state; stored only when not empty (a segment area has none)
    QString CityOwner;  // owner city
    QString DateIssue;  // "dd/MM/yyyy"
    QString InputBy;    // name of the administrator who saved the row
};

// A row of the used-address list of a range, as the assignment window's grid shows it.
struct UsedAddress
{
    qint64 rowId = 0;
    QString IP_Address;
    int IP_4 = 0;
    QString Name;
    QString Type;
    QString Project;
    QString Remarks;
};

// The status texts of a record.
inline const QString StatusPermanent = QStringLiteral("Permanent");
inline const QString StatusTemporary = QStringLiteral("Temporary");

} // namespace tarvo
