#pragma once

#include <QString>

namespace tarvo {

// A search over the IP records: what it looks for and the values it runs with. The values are bound
// when it runs, and texts match literally: "%", "_", "\" and quotes in them match themselves. Text
// comparisons ignore letter case, as the database compares text. A search is kept as a value so that
// it can be run again (after a save or a delete) or handed to another window.
struct RecordSearch
{
    enum class Kind
    {
        None,             // finds nothing
        Address,          // IP_Address equal to text
        AddressBegins,    // IP_Address beginning with text
        Temporary,        // every record with the status "Temporary"
        TemporaryBegins,  // status "Temporary" and IP_Address beginning with text
        StaffNo,          // StaffNo equal to text
        HostName,         // Name equal to text
        UsernameContains, // Username containing text
        RemarksContains,  // Remarks containing text
        Prefix,           // the addresses of the prefix "o1.o2.o3." in text
        AreaCity,         // Region equal to text and CityOwner equal to city
        Row,              // the row rowId
    };

    Kind kind = Kind::None;
    QString text;
    QString city;
    qint64 rowId = 0;

    static RecordSearch of(Kind kind, const QString& text = {}, const QString& city = {})
    {
        return {kind, text, city, 0};
    }
    static RecordSearch row(qint64 rowId) { return {Kind::Row, {}, {}, rowId}; }

    bool operator==(const RecordSearch&) const = default;
};

// A row of a search's result list: the columns the search window shows.
struct RecordListRow
{
    qint64 rowId = 0;
    QString IP_Address;
    QString Name;
    QString Type;
    QString Username;
    QString StaffNo;
    QString Remarks;
};

} // namespace tarvo
