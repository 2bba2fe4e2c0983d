#pragma once

#include "assign/AssignmentRules.h"
#include "assign/IpRecord.h"
#include "assign/RecordSearch.h"
#include "core/DbResult.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <functional>
#include <optional>

namespace tarvo {

class DatabaseConnection;

// Why a save stored nothing.
enum class SaveProblem
{
    None,
    MalformedAddress,  // the address is not four plain decimal octets
    DuplicateHostName, // another row holds the host name (letter case ignored)
    AddressTaken,      // another row holds the address (saved meanwhile by another workstation)
};

struct SaveResult
{
    SaveProblem problem = SaveProblem::None;
    qint64 rowId = 0;     // the new row, when saved
    QString clashAddress; // DuplicateHostName: the address of the first row holding the name

    bool saved() const { return problem == SaveProblem::None; }
};

// Order of the used-address list.
enum class UsedListOrder
{
    ByOctet4,        // fourth octet, as a proposal lists the range
    ByAddressLength, // shorter addresses first, then text order, as the list after a save
};

// The place that the reservation records of "Subnet Mask 252" belong to.
struct ReservationPlace
{
    QString AddressPrefix; // "o1.o2.o3."
    QString Region;
    QString Workgroup;  // the work-group detail box's text when the reservation runs
    QString StateOwner; // empty in a segment area: not stored
    QString CityOwner;
    QString DateIssue; // "dd/MM/yyyy"
    QString InputBy;
};

// A part of the rows a search finds.
struct FoundRows
{
    QList<qint64> rowIds;
    QVariantList last;     // where the rows after this part begin
    bool complete = false; // no row follows this part
};

// The table IP_Info: one row per recorded address. A place's rows are found by the address prefix
// "o1.o2.o3." through a range over the indexed IP_Address column, so the cost of a query follows the
// rows of that /24 (at most 256), never the size of the table. Text comparisons run in the database and
// ignore letter case. Every check and the write that depends on it run in one write transaction, so two
// workstations sharing the file never store one address twice.
class IpRecordStore
{
public:
    explicit IpRecordStore(const DatabaseConnection& database);

    DbResult<std::optional<IpRecord>> byRowId(qint64 rowId) const;
    DbResult<std::optional<IpRecord>> byAddress(const QString& address) const;
    // The first row (in stored order) holding the host name, letter case ignored.
    DbResult<std::optional<IpRecord>> byHostName(const QString& name) const;

    // The rows of the prefix whose fourth octet lies in the range.
    DbResult<QList<UsedAddress>> usedList(const QString& prefix, const Octet4Range& range,
                                          UsedListOrder order) const;
    // The distinct fourth octets recorded for the prefix inside the range, ascending.
    DbResult<QList<int>> usedOctets(const QString& prefix, const Octet4Range& range) const;
    // The number of rows of the prefix (of any range).
    DbResult<int> countOfPrefix(const QString& prefix) const;
    // The highest fourth octet recorded for the prefix inside the range; nothing when there is none.
    DbResult<std::optional<int>> maxOctet4(const QString& prefix,
                                           const Octet4Range& range = SubnetMask252Range) const;

    // Stores a new assignment after checking, under the write lock, that the address is well formed,
    // that no row holds the address (another workstation may have saved it since the proposal) and that
    // no row holds the host name, letter case ignored, whether proposed or typed. IP_4 is taken from the
    // address. Every field is written, empty texts included, except UnitDivision and StateOwner, which
    // are left unset when empty. What alongside writes (the record's assignment-log block) is written
    // in the same transaction once the row is in: both are stored, or neither.
    DbResult<SaveResult> save(IpRecord record,
                              const std::function<DbOutcome(const QSqlDatabase&)>& alongside = {});

    // On the pick of "Subnet Mask 252" for a /24 without any row: records the network and broadcast
    // addresses of its 64 four-address subnets (0 and 3, 4 and 7, ..., 252 and 255, in that order),
    // all 128 or none. Any other item, or a /24 that holds a row, writes nothing. True when written.
    DbResult<bool> ReserveSubnetAddresses(const QString& item, const ReservationPlace& place);

    // The rows a search finds, in its list order: by fourth octet (an area-and-city search by address),
    // rows of equal rank in stored order. Only the row ids are read, and with a limit only the first
    // rows, so that the first screen of a large result is quick; after a part, the rows that follow the
    // part's last row (FoundRows::last). The shown columns are read by listRows for the rows on screen.
    DbResult<FoundRows> find(const RecordSearch& search, const QVariantList& after = {},
                             qsizetype limit = -1) const;
    // The number of rows a search finds.
    DbResult<qint64> count(const RecordSearch& search) const;
    // The first row a search finds; nothing when it finds none.
    DbResult<std::optional<IpRecord>> firstFound(const RecordSearch& search) const;
    // The list columns of rows, in the order asked for; a row deleted meanwhile is left out.
    DbResult<QList<RecordListRow>> listRows(const QList<qint64>& rowIds) const;

    // Rewrites the row record.rowId as the detail window saves it: every field but IP_Address, IP_4 and
    // the owner place (Region, StateOwner, CityOwner), empty texts included, except that an empty
    // Status or UnitDivision leaves the stored value. False when the row is gone.
    DbResult<bool> rewrite(const IpRecord& record);
    // Deletes one row; false when it was gone already.
    DbResult<bool> remove(qint64 rowId);
    // Deletes rows in one transaction: all of them, or none when anything fails. Gives the number of
    // rows deleted (rows gone already are not counted).
    DbResult<qint64> removeRows(const QList<qint64>& rowIds);

private:
    DbResult<std::optional<IpRecord>> firstRecord(const QSqlDatabase& db, const QString& where,
                                                  const QVariantList& values) const;

    const DatabaseConnection& m_database;
};

// The message of a host name that another row holds, and its title.
QString duplicateHostNameMessage(const QString& name, const QString& clashAddress);
inline const QString DuplicateHostNameTitle = QStringLiteral("Duplicate Hostname");

// The message of an address that already has a row, and its title.
inline const QString AddressExistsMessage =
    QStringLiteral("Selected IP Address already exist in Tarvo database !");
inline const QString AddressExistsTitle = QStringLiteral("IP Already exist!");

} // namespace tarvo
