#include "assign/IpRecordStore.h"

#include "core/DatabaseConnection.h"
#include "core/Sql.h"

#include <QSqlQuery>

namespace tarvo {

namespace {

// The text columns after IP_Address and IP_4, in the order in which a new row is written.
struct TextColumn
{
    const char* name;
    QString IpRecord::*member;
};

const TextColumn TextColumns[] = {
    {"Name", &IpRecord::Name},
    {"Type", &IpRecord::Type},
    {"Region", &IpRecord::Region},
    {"Workgroup", &IpRecord::Workgroup},
    {"Project", &IpRecord::Project},
    {"Remarks", &IpRecord::Remarks},
    {"Username", &IpRecord::Username},
    {"StaffNo", &IpRecord::StaffNo},
    {"LANID", &IpRecord::LANID},
    {"Status", &IpRecord::Status},
    {"UnitDivision", &IpRecord::UnitDivision},
    {"Floor", &IpRecord::Floor},
    {"Building", &IpRecord::Building},
    {"Roadname", &IpRecord::Roadname},
    {"Postcode", &IpRecord::Postcode},
    {"State", &IpRecord::State},
    {"City", &IpRecord::City},
    {"TelNo", &IpRecord::TelNo},
    {"FaxNo", &IpRecord::FaxNo},
    {"StateOwner", &IpRecord::StateOwner},
    {"CityOwner", &IpRecord::CityOwner},
    {"DateIssue", &IpRecord::DateIssue},
    {"InputBy", &IpRecord::InputBy},
};

QString columnList()
{
    QStringList names{QStringLiteral("IP_Address"), QStringLiteral("IP_4")};
    for (const TextColumn& column : TextColumns)
        names << QString::fromLatin1(column.name);
    return names.join(QLatin1String(", "));
}

const QString RecordSelect =
    QStringLiteral("SELECT rowid, ") + columnList() + QStringLiteral(" FROM IP_Info");

IpRecord recordFrom(const QSqlQuery& query)
{
    IpRecord record;
    record.rowId = query.value(0).toLongLong();
    record.IP_Address = query.value(1).toString();
    record.IP_4 = query.value(2).toInt();
    int index = 3;
    for (const TextColumn& column : TextColumns)
        record.*column.member = query.value(index++).toString();
    return record;
}

// A null text is bound as NULL: the column is left unset.
QVariant bound(const QString& value)
{
    return value.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(value);
}

DbResult<qint64> insertRow(const QSqlDatabase& db, const IpRecord& record)
{
    static const QString sql = [] {
        QString marks = QStringLiteral("?, ?");
        for (size_t i = 0; i < std::size(TextColumns); ++i)
            marks += QStringLiteral(", ?");
        return QStringLiteral("INSERT INTO IP_Info (%1) VALUES (%2)").arg(columnList(), marks);
    }();
    QVariantList values{bound(record.IP_Address), record.IP_4};
    for (const TextColumn& column : TextColumns)
        values << bound(record.*column.member);
    auto query = runSql(db, sql, values);
    if (!query)
        return query.failure();
    return query->lastInsertId().toLongLong();
}

// The bounds of the addresses that begin with a prefix "o1.o2.o3.": from the prefix itself up to the
// text in which its trailing dot becomes the next character, "/". A range over the index of IP_Address,
// where LIKE 'prefix%' would read every row.
DbResult<QVariantList> prefixBounds(const QString& prefix)
{
    if (!isAddressPrefix(prefix))
        return DbOutcome::failure(QStringLiteral("\"%1\" is not an address prefix.").arg(prefix));
    return QVariantList{prefix, prefix.chopped(1) + QLatin1Char('/')};
}

const QString PrefixCondition = QStringLiteral("IP_Address >= ? AND IP_Address < ?");
const QString RangeCondition = PrefixCondition + QStringLiteral(" AND IP_4 BETWEEN ? AND ?");

DbResult<int> prefixCount(const QSqlDatabase& db, const QVariantList& bounds)
{
    auto count =
        querySingleValue(db, QStringLiteral("SELECT count(*) FROM IP_Info WHERE ") + PrefixCondition, bounds);
    if (!count)
        return count.failure();
    return count->toInt();
}

DbResult<QVariantList> rangeValues(const QString& prefix, const Octet4Range& range)
{
    auto values = prefixBounds(prefix);
    if (values)
        *values << range.Octet4Start << range.Octet4End;
    return values;
}

// Every column but UnitDivision and StateOwner is written, empty texts included; those two are left
// unset when empty.
void prepareForSave(IpRecord& record)
{
    for (const TextColumn& column : TextColumns) {
        QString& value = record.*column.member;
        const bool optional =
            column.member == &IpRecord::UnitDivision || column.member == &IpRecord::StateOwner;
        if (optional && value.isEmpty())
            value = QString();
        else if (!optional && value.isNull())
            value = QStringLiteral("");
    }
}

} // namespace

IpRecordStore::IpRecordStore(const DatabaseConnection& database) : m_database(database) {}

DbResult<std::optional<IpRecord>> IpRecordStore::firstRecord(const QSqlDatabase& db, const QString& where,
                                                             const QVariantList& values) const
{
    auto query = runSql(
        db, RecordSelect + QStringLiteral(" WHERE ") + where + QStringLiteral(" ORDER BY rowid LIMIT 1"),
        values);
    if (!query)
        return query.failure();
    if (!query->next())
        return std::optional<IpRecord>();
    return std::optional<IpRecord>(recordFrom(*query));
}

DbResult<std::optional<IpRecord>> IpRecordStore::byRowId(qint64 rowId) const
{
    return firstRecord(m_database.handle(), QStringLiteral("rowid = ?"), {rowId});
}

DbResult<std::optional<IpRecord>> IpRecordStore::byAddress(const QString& address) const
{
    return firstRecord(m_database.handle(), QStringLiteral("IP_Address = ?"), {address});
}

DbResult<std::optional<IpRecord>> IpRecordStore::byHostName(const QString& name) const
{
    return firstRecord(m_database.handle(), QStringLiteral("Name = ?"), {name});
}

DbResult<QList<UsedAddress>> IpRecordStore::usedList(const QString& prefix, const Octet4Range& range,
                                                     UsedListOrder order) const
{
    auto values = rangeValues(prefix, range);
    if (!values)
        return values.failure();
    const QString orderBy = order == UsedListOrder::ByOctet4
                                ? QStringLiteral("IP_4, rowid")
                                : QStringLiteral("length(IP_Address), IP_Address, rowid");
    auto query =
        runSql(m_database.handle(),
               QStringLiteral("SELECT rowid, IP_Address, IP_4, Name, Type, Project, Remarks FROM IP_Info "
                              "WHERE ") +
                   RangeCondition + QStringLiteral(" ORDER BY ") + orderBy,
               *values);
    if (!query)
        return query.failure();
    QList<UsedAddress> rows;
    while (query->next())
        rows.append({query->value(0).toLongLong(), query->value(1).toString(), query->value(2).toInt(),
                     query->value(3).toString(), query->value(4).toString(), query->value(5).toString(),
                     query->value(6).toString()});
    return rows;
}

DbResult<QList<int>> IpRecordStore::usedOctets(const QString& prefix, const Octet4Range& range) const
{
    auto values = rangeValues(prefix, range);
    if (!values)
        return values.failure();
    auto query = runSql(m_database.handle(),
                        QStringLiteral("SELECT DISTINCT IP_4 FROM IP_Info WHERE ") + RangeCondition +
                            QStringLiteral(" ORDER BY IP_4"),
                        *values);
    if (!query)
        return query.failure();
    QList<int> octets;
    while (query->next())
        octets << query->value(0).toInt();
    return octets;
}

DbResult<int> IpRecordStore::countOfPrefix(const QString& prefix) const
{
    auto values = prefixBounds(prefix);
    if (!values)
        return values.failure();
    return prefixCount(m_database.handle(), *values);
}

DbResult<std::optional<int>> IpRecordStore::maxOctet4(const QString& prefix, const Octet4Range& range) const
{
    auto values = rangeValues(prefix, range);
    if (!values)
        return values.failure();
    auto top =
        querySingleValue(m_database.handle(),
                         QStringLiteral("SELECT max(IP_4) FROM IP_Info WHERE ") + RangeCondition, *values);
    if (!top)
        return top.failure();
    if (top->isNull())
        return std::optional<int>();
    return std::optional<int>(top->toInt());
}

DbResult<SaveResult> IpRecordStore::save(IpRecord record)
{
    const auto octets = addressOctets(record.IP_Address);
    if (!octets)
        return SaveResult{SaveProblem::MalformedAddress, 0, {}};
    record.IP_4 = (*octets)[3];
    prepareForSave(record);

    const QSqlDatabase db = m_database.handle();
    WriteTransaction transaction(db);
    if (auto begun = transaction.begin(); !begun)
        return begun.failure();
    auto taken = firstRecord(db, QStringLiteral("IP_Address = ?"), {record.IP_Address});
    if (!taken)
        return taken.failure();
    if (*taken)
        return SaveResult{SaveProblem::AddressTaken, 0, {}};
    auto holder = firstRecord(db, QStringLiteral("Name = ?"), {record.Name});
    if (!holder)
        return holder.failure();
    if (*holder)
        return SaveResult{SaveProblem::DuplicateHostName, 0, (*holder)->IP_Address};
    auto rowId = insertRow(db, record);
    if (!rowId)
        return rowId.failure();
    if (auto committed = transaction.commit(); !committed)
        return committed.failure();
    return SaveResult{SaveProblem::None, *rowId, {}};
}

DbResult<bool> IpRecordStore::ReserveSubnetAddresses(const QString& item, const ReservationPlace& place)
{
    if (item != SubnetMask252)
        return false;
    auto bounds = prefixBounds(place.AddressPrefix);
    if (!bounds)
        return bounds.failure();

    const QSqlDatabase db = m_database.handle();
    WriteTransaction transaction(db);
    if (auto begun = transaction.begin(); !begun)
        return begun.failure();
    auto count = prefixCount(db, *bounds);
    if (!count)
        return count.failure();
    if (*count != 0)
        return false;

    IpRecord record;
    record.Type = item;
    record.Region = place.Region;
    record.Workgroup = place.Workgroup.isNull() ? QStringLiteral("") : place.Workgroup;
    record.Status = StatusPermanent;
    record.StateOwner = place.StateOwner.isEmpty() ? QString() : place.StateOwner;
    record.CityOwner = place.CityOwner;
    record.DateIssue = place.DateIssue;
    record.InputBy = place.InputBy;
    for (int network = 0; network <= 252; network += 4) {
        for (const bool broadcast : {false, true}) {
            record.IP_4 = broadcast ? network + 3 : network;
            record.IP_Address = place.AddressPrefix + QString::number(record.IP_4);
            record.Name = broadcast ? QStringLiteral("BroadcastIP") : QStringLiteral("NetworkIP");
            record.Remarks = broadcast ? QStringLiteral("Broadcast IP") : QStringLiteral("Network IP");
            if (auto inserted = insertRow(db, record); !inserted)
                return inserted.failure();
        }
    }
    if (auto committed = transaction.commit(); !committed)
        return committed.failure();
    return true;
}

QString duplicateHostNameMessage(const QString& name, const QString& clashAddress)
{
    return name + QStringLiteral(" - Duplicate hostname with IP ") + clashAddress + QLatin1Char('!');
}

} // namespace tarvo
