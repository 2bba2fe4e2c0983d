#include "assign/IpRecordStore.h"

#include "core/DatabaseConnection.h"
#include "core/Sql.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <functional>

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

DbResult<SaveResult> IpRecordStore::save(IpRecord record,
                                         const std::function<DbOutcome(const QSqlDatabase&)>& alongside)
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
    if (alongside) {
        if (auto written = alongside(db); !written)
            return written.failure();
    }
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

namespace {

// A text value bound as a text, never as NULL (a null text would match nothing).
QVariant boundText(const QString& text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

// A LIKE pattern in which the user's text matches literally: the escape character (a backslash) goes
// before "%", "_" and itself.
QString likeLiteral(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped;
}

const QString LikeEscape = QStringLiteral(" ESCAPE '\\'");

// The list orders of the searches. Every order ends in the rowid, so that each row has its own place
// and a list can go on after any of its rows; an empty column sorts first. Each order, after the
// columns that a search compares for equality, is an index of IP_Info (the rowid ends every index), so
// that the first rows of a search are read from an index without sorting what it finds.
const QStringList Octet4Order{QStringLiteral("ifnull(IP_4, -1)"), QStringLiteral("rowid")};
const QStringList AddressOrder{QStringLiteral("ifnull(IP_Address, '') COLLATE NOCASE"),
                               QStringLiteral("ifnull(IP_4, -1)"), QStringLiteral("rowid")};
const QStringList RowOrder{QStringLiteral("rowid")};

// The condition, the values and the order of a search. A search whose condition no index serves
// together with its order is not served: its rows are found by examining the rows in list order.
struct SearchSql
{
    QString where;
    QVariantList values;
    QStringList order = Octet4Order;
    bool served = true;
    // Not served: the part of the condition that selects a superset of its rows through an index.
    QString range = {};
    QVariantList rangeValues = {};
};

DbResult<SearchSql> searchSql(const RecordSearch& search)
{
    using Kind = RecordSearch::Kind;
    const QString begins = likeLiteral(search.text) + QLatin1Char('%');
    const QString contains = QLatin1Char('%') + likeLiteral(search.text) + QLatin1Char('%');
    const QString addressBegins = QStringLiteral("IP_Address LIKE ?") + LikeEscape;
    switch (search.kind) {
    case Kind::None:
        return SearchSql{QStringLiteral("0"), {}};
    case Kind::Address:
        return SearchSql{QStringLiteral("IP_Address = ?"), {boundText(search.text)}};
    case Kind::AddressBegins:
        return SearchSql{addressBegins, {begins}, Octet4Order, false, addressBegins, {begins}};
    case Kind::Temporary:
        return SearchSql{QStringLiteral("Status = ?"), {StatusTemporary}};
    case Kind::TemporaryBegins:
        // The status through the rows of the address's range (the unary plus keeps the index of the
        // status, which would read every temporary row, unused; the column's letter case rule holds).
        return SearchSql{addressBegins + QStringLiteral(" AND +Status = ?"),
                         {begins, StatusTemporary},
                         Octet4Order,
                         false,
                         addressBegins,
                         {begins}};
    case Kind::StaffNo:
        return SearchSql{QStringLiteral("StaffNo = ?"), {boundText(search.text)}};
    case Kind::HostName:
        return SearchSql{QStringLiteral("Name = ?"), {boundText(search.text)}};
    case Kind::UsernameContains:
        return SearchSql{QStringLiteral("Username LIKE ?") + LikeEscape, {contains}, Octet4Order, false};
    case Kind::RemarksContains:
        return SearchSql{QStringLiteral("Remarks LIKE ?") + LikeEscape, {contains}, Octet4Order, false};
    case Kind::Prefix: {
        // At most the 256 rows of a /24, read through the index of IP_Address and sorted.
        auto bounds = prefixBounds(search.text);
        if (!bounds)
            return bounds.failure();
        return SearchSql{PrefixCondition, *bounds};
    }
    case Kind::AreaCity:
        return SearchSql{QStringLiteral("Region = ? AND CityOwner = ?"),
                         {boundText(search.text), boundText(search.city)},
                         AddressOrder};
    case Kind::Row:
        return SearchSql{QStringLiteral("rowid = ?"), {search.rowId}, RowOrder};
    }
    return SearchSql{QStringLiteral("0"), {}};
}

// At most this many values are bound to one statement.
constexpr qsizetype RowsPerStatement = 500;

QString placeholders(qsizetype count)
{
    QString marks = QStringLiteral("?");
    for (qsizetype i = 1; i < count; ++i)
        marks += QStringLiteral(", ?");
    return marks;
}

QVariantList idValues(const QList<qint64>& rowIds, qsizetype from, qsizetype count)
{
    QVariantList values;
    values.reserve(count);
    for (qsizetype i = from; i < from + count; ++i)
        values << rowIds[i];
    return values;
}

// The terms that select the rows after a row on the column i of a list order: equal to the row on the
// columns before that one, and greater on it.
std::pair<QStringList, QVariantList> afterTerms(const QStringList& order, const QVariantList& after,
                                                qsizetype i)
{
    std::pair<QStringList, QVariantList> terms;
    for (qsizetype j = 0; j < i; ++j) {
        terms.first << order[j] + QStringLiteral(" = ?");
        terms.second << after[j];
    }
    terms.first << order[i] + QStringLiteral(" > ?");
    terms.second << after[i];
    return terms;
}

// Reads rows in a list order, after the row at `after` (from the first row when it is empty), at most
// limit of them (no limit when negative). The rows after a row are read in one statement per column of
// the order: those equal to it on the columns before that one and greater on it, each a range over the
// index of the order, so that no statement sorts or skips what lies before the row. `columns` are
// selected after the rowid and the order's columns; `row` takes each row and returns false to stop.
// True when the rows ran out before the limit or the stop.
DbResult<bool> readInOrder(const QSqlDatabase& db, const QString& columns, const QVariantList& columnValues,
                           const QString& where, const QVariantList& values, const QStringList& order,
                           const QVariantList& after, qsizetype limit,
                           const std::function<bool(const QSqlQuery&)>& row)
{
    // One statement of the read: the terms it adds to the WHERE clause, their values, and its order.
    struct QueryPiece
    {
        QStringList terms;
        QVariantList values;
        QStringList order;
    };
    QList<QueryPiece> pieces;
    if (after.isEmpty()) {
        pieces.append({{}, {}, order});
    } else {
        for (qsizetype i = order.size() - 1; i >= 0; --i) {
            auto terms = afterTerms(order, after, i);
            pieces.append({terms.first, terms.second, order.mid(i)});
        }
    }
    qsizetype read = 0;
    for (const QueryPiece& piece : std::as_const(pieces)) {
        QString text = QStringLiteral("SELECT rowid, %1%2 FROM IP_Info WHERE (%3)")
                           .arg(order.join(QStringLiteral(", ")), columns, where);
        for (const QString& term : piece.terms)
            text += QStringLiteral(" AND ") + term;
        text += QStringLiteral(" ORDER BY ") + piece.order.join(QStringLiteral(", "));
        if (limit >= 0)
            text += QStringLiteral(" LIMIT %1").arg(limit - read);
        auto query = runSql(db, text, columnValues + values + piece.values);
        if (!query)
            return query.failure();
        while (query->next()) {
            ++read;
            if (!row(*query))
                return false;
        }
        // A statement that failed while stepping (interrupted, say) is no end of the rows.
        if (query->lastError().isValid())
            return DbOutcome::failure(databaseErrorText(query->lastError()));
        if (limit >= 0 && read >= limit)
            return false;
    }
    return true;
}

} // namespace

bool IpRecordStore::isServedByIndex(const RecordSearch& search)
{
    auto sql = searchSql(search);
    return !sql || sql->served;
}

DbResult<bool> IpRecordStore::findsFewerThan(const RecordSearch& search, qsizetype rows) const
{
    auto sql = searchSql(search);
    if (!sql)
        return sql.failure();
    if (sql->range.isEmpty())
        return false;
    // The rows of the index's range, which hold every row found.
    auto found =
        querySingleValue(m_database.handle(),
                         QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM IP_Info WHERE %1 LIMIT %2)")
                             .arg(sql->range)
                             .arg(rows),
                         sql->rangeValues);
    if (!found)
        return found.failure();
    return found->toLongLong() < rows;
}

DbResult<FoundRows> IpRecordStore::find(const RecordSearch& search, const QVariantList& after,
                                        qsizetype limit) const
{
    return readPart(search, after, limit, -1);
}

DbResult<FoundRows> IpRecordStore::scanInOrder(const RecordSearch& search, const QVariantList& after,
                                               qsizetype examine, qsizetype wanted) const
{
    return readPart(search, after, examine, wanted);
}

DbResult<FoundRows> IpRecordStore::readPart(const RecordSearch& search, const QVariantList& after,
                                            qsizetype limit, qsizetype wanted) const
{
    auto sql = searchSql(search);
    if (!sql)
        return sql.failure();
    // Examining: every row in list order, with the search's condition as a column, so that the order's
    // index is walked and each row examined once. Otherwise the condition selects the rows.
    const bool examining = wanted >= 0;
    const QString condition = QStringLiteral(", (%1)").arg(sql->where);
    FoundRows found;
    found.last = after.isEmpty() ? QVariantList(sql->order.size()) : after;
    const int orderColumns = static_cast<int>(sql->order.size());
    // Found rows are read one beyond the limit, so that a part that holds the last row says so.
    const bool oneMore = !examining && limit >= 0;
    bool more = false;
    auto ended = readInOrder(
        m_database.handle(), examining ? condition : QString(), examining ? sql->values : QVariantList(),
        examining ? QStringLiteral("1") : sql->where, examining ? QVariantList() : sql->values, sql->order,
        after, oneMore ? limit + 1 : limit, [&](const QSqlQuery& query) {
            if (oneMore && found.rowIds.size() == limit) {
                more = true;
                return false;
            }
            for (int i = 0; i < orderColumns; ++i)
                found.last[i] = query.value(i + 1);
            if (!examining || query.value(orderColumns + 1).toBool())
                found.rowIds << query.value(0).toLongLong();
            return !examining || found.rowIds.size() < wanted;
        });
    if (!ended)
        return ended.failure();
    found.complete = *ended || (oneMore && !more);
    return found;
}

DbResult<FoundRows> IpRecordStore::findSorted(const RecordSearch& search, const QVariantList& after,
                                              const std::function<bool()>& stop) const
{
    auto sql = searchSql(search);
    if (!sql)
        return sql.failure();
    // The order's columns behind a unary plus: no index of the order is used, so SQLite reads the rows
    // the condition selects (through its own index, or every row once in stored order) and sorts them.
    QStringList order;
    for (const QString& column : std::as_const(sql->order))
        order << QLatin1Char('+') + column;
    QString where = sql->where;
    QVariantList values = sql->values;
    if (!after.isEmpty()) {
        QStringList alternatives;
        for (qsizetype i = order.size() - 1; i >= 0; --i) {
            const auto [terms, termValues] = afterTerms(order, after, i);
            alternatives << terms.join(QStringLiteral(" AND "));
            values += termValues;
        }
        where = QStringLiteral("(%1) AND ((%2))").arg(where, alternatives.join(QStringLiteral(") OR (")));
    }
    auto query = runSql(m_database.handle(),
                        QStringLiteral("SELECT rowid, %1 FROM IP_Info WHERE %2 ORDER BY %1")
                            .arg(order.join(QStringLiteral(", ")), where),
                        values);
    if (!query)
        return query.failure();
    FoundRows found;
    found.last = after.isEmpty() ? QVariantList(order.size()) : after;
    const int orderColumns = static_cast<int>(order.size());
    while (query->next()) {
        if (stop && stop())
            return found;
        found.rowIds << query->value(0).toLongLong();
        for (int i = 0; i < orderColumns; ++i)
            found.last[i] = query->value(i + 1);
    }
    if (query->lastError().isValid())
        return DbOutcome::failure(databaseErrorText(query->lastError()));
    found.complete = true;
    return found;
}

DbResult<qint64> IpRecordStore::count(const RecordSearch& search) const
{
    auto sql = searchSql(search);
    if (!sql)
        return sql.failure();
    auto counted = querySingleValue(
        m_database.handle(), QStringLiteral("SELECT count(*) FROM IP_Info WHERE ") + sql->where, sql->values);
    if (!counted)
        return counted.failure();
    return counted->toLongLong();
}

DbResult<std::optional<IpRecord>> IpRecordStore::firstFound(const RecordSearch& search) const
{
    auto found = find(search, {}, 1);
    if (!found)
        return found.failure();
    if (found->rowIds.isEmpty())
        return std::optional<IpRecord>();
    return byRowId(found->rowIds.first());
}

DbResult<QList<RecordListRow>> IpRecordStore::listRows(const QList<qint64>& rowIds) const
{
    const QSqlDatabase db = m_database.handle();
    QHash<qint64, RecordListRow> found;
    for (qsizetype from = 0; from < rowIds.size(); from += RowsPerStatement) {
        const qsizetype count = qMin(RowsPerStatement, rowIds.size() - from);
        auto query = runSql(db,
                            QStringLiteral("SELECT rowid, IP_Address, Name, Type, Username, StaffNo, Remarks "
                                           "FROM IP_Info WHERE rowid IN (%1)")
                                .arg(placeholders(count)),
                            idValues(rowIds, from, count));
        if (!query)
            return query.failure();
        while (query->next()) {
            const qint64 rowId = query->value(0).toLongLong();
            found.insert(rowId, {rowId, query->value(1).toString(), query->value(2).toString(),
                                 query->value(3).toString(), query->value(4).toString(),
                                 query->value(5).toString(), query->value(6).toString()});
        }
    }
    QList<RecordListRow> rows;
    rows.reserve(found.size());
    for (const qint64 rowId : rowIds) {
        if (const auto it = found.constFind(rowId); it != found.constEnd())
            rows << *it;
    }
    return rows;
}

DbResult<bool> IpRecordStore::rewrite(const IpRecord& record)
{
    // The fields the detail window shows, in the order it writes them; Status and UnitDivision only
    // when chosen.
    const std::pair<const char*, const QString*> fields[] = {
        {"Name", &record.Name},           {"Type", &record.Type},
        {"Workgroup", &record.Workgroup}, {"Project", &record.Project},
        {"Remarks", &record.Remarks},     {"Status", &record.Status},
        {"Username", &record.Username},   {"StaffNo", &record.StaffNo},
        {"LANID", &record.LANID},         {"UnitDivision", &record.UnitDivision},
        {"Floor", &record.Floor},         {"Building", &record.Building},
        {"Roadname", &record.Roadname},   {"Postcode", &record.Postcode},
        {"City", &record.City},           {"State", &record.State},
        {"TelNo", &record.TelNo},         {"FaxNo", &record.FaxNo},
        {"DateIssue", &record.DateIssue}, {"InputBy", &record.InputBy},
    };
    QStringList assignments;
    QVariantList values;
    for (const auto& [column, value] : fields) {
        const bool optional = value == &record.Status || value == &record.UnitDivision;
        if (optional && value->isEmpty())
            continue;
        assignments << QString::fromLatin1(column) + QStringLiteral(" = ?");
        values << boundText(*value);
    }
    values << record.rowId;
    auto query = runSql(m_database.handle(),
                        QStringLiteral("UPDATE IP_Info SET ") + assignments.join(QStringLiteral(", ")) +
                            QStringLiteral(" WHERE rowid = ?"),
                        values);
    if (!query)
        return query.failure();
    return query->numRowsAffected() > 0;
}

DbResult<bool> IpRecordStore::remove(qint64 rowId)
{
    auto deleted = removeRows({rowId});
    if (!deleted)
        return deleted.failure();
    return *deleted > 0;
}

DbResult<qint64> IpRecordStore::removeRows(const QList<qint64>& rowIds)
{
    const QSqlDatabase db = m_database.handle();
    WriteTransaction transaction(db);
    if (auto begun = transaction.begin(); !begun)
        return begun.failure();
    qint64 deleted = 0;
    for (qsizetype from = 0; from < rowIds.size(); from += RowsPerStatement) {
        const qsizetype count = qMin(RowsPerStatement, rowIds.size() - from);
        auto query =
            runSql(db, QStringLiteral("DELETE FROM IP_Info WHERE rowid IN (%1)").arg(placeholders(count)),
                   idValues(rowIds, from, count));
        if (!query)
            return query.failure();
        deleted += query->numRowsAffected();
    }
    if (auto committed = transaction.commit(); !committed)
        return committed.failure();
    return deleted;
}

QString duplicateHostNameMessage(const QString& name, const QString& clashAddress)
{
    return name + QStringLiteral(" - Duplicate hostname with IP ") + clashAddress + QLatin1Char('!');
}

} // namespace tarvo
