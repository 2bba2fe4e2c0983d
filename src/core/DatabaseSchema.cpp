#include "core/DatabaseSchema.h"

#include "core/Sql.h"

namespace tarvo {

namespace {

// Text columns compare without regard to letter case, as the address-plan rules and the searches
// expect.
constexpr const char* Text = "TEXT COLLATE NOCASE";

struct Column
{
    const char* name;
    const char* type;
};

struct Table
{
    const char* name;
    std::initializer_list<Column> columns;
};

const Table Tables[] = {
    {"IP_Info", {{"IP_Address", Text},   {"IP_4", "SMALLINT"}, {"Name", Text},
                 {"Type", Text},         {"Region", Text},     {"Workgroup", Text},
                 {"Project", Text},      {"Remarks", Text},    {"Username", Text},
                 {"StaffNo", Text},      {"LANID", Text},      {"Status", "VARCHAR(10) COLLATE NOCASE"},
                 {"UnitDivision", Text}, {"Floor", Text},      {"Building", Text},
                 {"Roadname", Text},     {"Postcode", Text},   {"City", Text},
                 {"State", Text},        {"TelNo", Text},      {"FaxNo", Text},
                 {"StateOwner", Text},   {"CityOwner", Text},  {"DateIssue", Text},
                 {"InputBy", Text}}},
    {"Region",
     {{"Region", Text}, {"AssignIP", "SMALLINT"}, {"Segment_ip", "BOOLEAN"}, {"Abbr_segment", Text}}},
    {"State", {{"State_name", Text}, {"Abbr_state", Text}, {"Region", Text}}},
    {"City",
     {{"City_name", Text},
      {"Abbr_city", Text},
      {"IP_octet2", "SMALLINT"},
      {"Offset", "SMALLINT"},
      {"StartIPRange", "SMALLINT"},
      {"ToIPRange", "SMALLINT"},
      {"Abbr_state", Text},
      {"Region", Text}}},
    {"Workgroup", {{"Workgroup_name", Text}, {"Workgroup_code", Text}, {"Octet_3", "SMALLINT"}}},
    {"Equipment",
     {{"Eqp_name", Text}, {"Eqp_code", Text}, {"Octet4_start", "SMALLINT"}, {"Octet4_end", "SMALLINT"}}},
    {"UnitDivision",
     {{"UnitDivision", Text},
      {"Floor", Text},
      {"Building", Text},
      {"Roadname", Text},
      {"Postcode", Text},
      {"City", Text},
      {"State", Text},
      {"RegionOwner", Text},
      {"StateOwner", Text},
      {"CityOwner", Text}}},
    {"UserID",
     {{"UserID", Text},
      {"Name", Text},
      {"Password", Text},
      {"Email", Text},
      {"Group", Text},
      {"Tadbir", Text}}},
};

// Indexes on the columns that the windows search and order by. IP_Address is unique: one record per
// address.
const char* const Indexes[] = {
    "CREATE UNIQUE INDEX \"IP_Info_IP_Address\" ON \"IP_Info\" (\"IP_Address\")",
    "CREATE INDEX \"IP_Info_Name\" ON \"IP_Info\" (\"Name\")",
    "CREATE INDEX \"IP_Info_StaffNo\" ON \"IP_Info\" (\"StaffNo\")",
    "CREATE INDEX \"IP_Info_Username\" ON \"IP_Info\" (\"Username\")",
    "CREATE INDEX \"IP_Info_Region\" ON \"IP_Info\" (\"Region\", \"CityOwner\")",
    "CREATE INDEX \"IP_Info_DateIssue\" ON \"IP_Info\" (\"DateIssue\")",
    // The list orders of the searches (by fourth octet, or by address within a place) after the
    // columns they compare, so that a search reads its first rows without sorting every row it finds.
    "CREATE INDEX \"IP_Info_Octet4\" ON \"IP_Info\" (ifnull(\"IP_4\", -1))",
    "CREATE INDEX \"IP_Info_Status_Octet4\" ON \"IP_Info\" (\"Status\", ifnull(\"IP_4\", -1))",
    "CREATE INDEX \"IP_Info_StaffNo_Octet4\" ON \"IP_Info\" (\"StaffNo\", ifnull(\"IP_4\", -1))",
    "CREATE INDEX \"IP_Info_Name_Octet4\" ON \"IP_Info\" (\"Name\", ifnull(\"IP_4\", -1))",
    // One statement over two lines: the parentheses tell the compiler the joined literals are meant.
    ("CREATE INDEX \"IP_Info_Place_Address\" ON \"IP_Info\" "
     "(\"Region\", \"CityOwner\", ifnull(\"IP_Address\", '') COLLATE NOCASE, ifnull(\"IP_4\", -1))"),
    "CREATE INDEX \"Region_Region\" ON \"Region\" (\"Region\")",
    "CREATE INDEX \"State_Region\" ON \"State\" (\"Region\", \"State_name\")",
    "CREATE INDEX \"City_Region\" ON \"City\" (\"Region\", \"City_name\")",
    "CREATE INDEX \"City_Octet2\" ON \"City\" (\"IP_octet2\")",
    "CREATE INDEX \"Workgroup_Name\" ON \"Workgroup\" (\"Workgroup_name\")",
    "CREATE INDEX \"Equipment_Name\" ON \"Equipment\" (\"Eqp_name\")",
    "CREATE INDEX \"UnitDivision_Owner\" ON \"UnitDivision\" (\"RegionOwner\", \"CityOwner\")",
    "CREATE INDEX \"UserID_UserID\" ON \"UserID\" (\"UserID\")",
    "CREATE INDEX \"UserID_Email\" ON \"UserID\" (\"Email\")",
};

// The table of the assignment-log blocks whose records are saved but which are not yet known to be whole
// in their log (assign/AssignLog.h), and its index; an older database gets both from the upgrade. A log
// is the workstation's and the path's: the path compares exactly (folders whose names differ in letter
// case are different folders).
const char* const PendingLogTable = "AssignLogPending";
const char* const PendingLogStatements[] = {
    "CREATE TABLE \"AssignLogPending\" (\"Id\" INTEGER PRIMARY KEY, \"Workstation\" TEXT NOT NULL, "
    "\"LogPath\" TEXT NOT NULL, \"Block\" BLOB NOT NULL, \"Offset\" INTEGER)",
    "CREATE INDEX \"AssignLogPending_Log\" ON \"AssignLogPending\" (\"Workstation\", \"LogPath\", \"Id\")",
};

QString quoted(const QString& identifier)
{
    QString text = identifier;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// The stored name of a table, matched in any letter case; empty when there is none.
DbResult<QString> storedTableName(const QSqlDatabase& db, const QString& table)
{
    auto name = querySingleValue(
        db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
        {table});
    if (!name)
        return name.failure();
    return name->toString();
}

DbResult<bool> hasColumn(const QSqlDatabase& db, const QString& table, const QString& column)
{
    auto found = querySingleValue(
        db, QStringLiteral("SELECT count(*) FROM pragma_table_info(?) WHERE name = ? COLLATE NOCASE"),
        {table, column});
    if (!found)
        return found.failure();
    return found->toInt() > 0;
}

// The statements that add the columns a database lacks: City.StartIPRange, City.ToIPRange and
// IP_Info.Status, each on its own.
DbResult<QStringList> missingColumnStatements(const QSqlDatabase& db)
{
    struct Addition
    {
        const char* table;
        const char* column;
        const char* type;
    };
    static const Addition additions[] = {
        {"City", "StartIPRange", "SMALLINT"},
        {"City", "ToIPRange", "SMALLINT"},
        {"IP_Info", "Status", "VARCHAR(10) COLLATE NOCASE"},
    };

    QStringList statements;
    for (const Addition& addition : additions) {
        auto table = storedTableName(db, QString::fromLatin1(addition.table));
        if (!table)
            return table.failure();
        if (table->isEmpty())
            continue;
        auto present = hasColumn(db, *table, QString::fromLatin1(addition.column));
        if (!present)
            return present.failure();
        if (!*present)
            statements << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                              .arg(quoted(*table), quoted(QString::fromLatin1(addition.column)),
                                   QString::fromLatin1(addition.type));
    }
    return statements;
}

// The index statements of Indexes whose index the database lacks (names match in any letter case).
DbResult<QStringList> missingIndexStatements(const QSqlDatabase& db)
{
    QStringList statements;
    for (const char* index : Indexes) {
        const QString sql = QString::fromLatin1(index);
        const QString name = sql.section(QLatin1Char('"'), 1, 1);
        auto found = querySingleValue(
            db,
            QStringLiteral(
                "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = ? COLLATE NOCASE"),
            {name});
        if (!found)
            return found.failure();
        if (found->toInt() == 0)
            statements << sql;
    }
    return statements;
}

// The addresses that more than one IP record holds (at most ten), which keep the unique index of
// IP_Info.IP_Address from being made.
DbResult<QStringList> repeatedAddresses(const QSqlDatabase& db)
{
    auto query = runSql(db, QStringLiteral("SELECT IP_Address FROM IP_Info GROUP BY IP_Address "
                                           "HAVING count(*) > 1 ORDER BY IP_Address LIMIT 10"));
    if (!query)
        return query.failure();
    QStringList addresses;
    while (query->next())
        addresses << query->value(0).toString();
    return addresses;
}

// The statements of the pending-log table when the database lacks it.
DbResult<QStringList> missingPendingLogStatements(const QSqlDatabase& db)
{
    auto table = storedTableName(db, QString::fromLatin1(PendingLogTable));
    if (!table)
        return table.failure();
    QStringList statements;
    if (table->isEmpty()) {
        for (const char* sql : PendingLogStatements)
            statements << QString::fromLatin1(sql);
    }
    return statements;
}

// Everything an older database lacks: the columns of missingColumnStatements, the indexes, then the
// pending-log table.
DbResult<QStringList> upgradeStatements(const QSqlDatabase& db)
{
    auto columns = missingColumnStatements(db);
    if (!columns)
        return columns;
    auto indexes = missingIndexStatements(db);
    if (!indexes)
        return indexes;
    auto pendingLog = missingPendingLogStatements(db);
    if (!pendingLog)
        return pendingLog;
    return *columns + *indexes + *pendingLog;
}

} // namespace

const QStringList& requiredTables()
{
    static const QStringList names = [] {
        QStringList list;
        for (const Table& table : Tables)
            list << QString::fromLatin1(table.name);
        return list;
    }();
    return names;
}

DbOutcome createSchema(const QSqlDatabase& db)
{
    WriteTransaction transaction(db);
    if (auto begun = transaction.begin(); !begun)
        return begun;
    for (const Table& table : Tables) {
        QStringList columns;
        for (const Column& column : table.columns)
            columns << quoted(QString::fromLatin1(column.name)) + QLatin1Char(' ') +
                           QString::fromLatin1(column.type);
        const QString sql =
            QStringLiteral("CREATE TABLE %1 (%2)")
                .arg(quoted(QString::fromLatin1(table.name)), columns.join(QLatin1String(", ")));
        if (auto created = execSql(db, sql); !created)
            return created;
    }
    for (const char* index : Indexes) {
        if (auto created = execSql(db, QString::fromLatin1(index)); !created)
            return created;
    }
    for (const char* sql : PendingLogStatements) {
        if (auto created = execSql(db, QString::fromLatin1(sql)); !created)
            return created;
    }
    return transaction.commit();
}

DbResult<QStringList> missingTables(const QSqlDatabase& db)
{
    QStringList missing;
    for (const QString& table : requiredTables()) {
        auto stored = storedTableName(db, table);
        if (!stored)
            return stored.failure();
        if (stored->isEmpty())
            missing << table;
    }
    return missing;
}

DbResult<bool> schemaIsCurrent(const QSqlDatabase& db)
{
    auto needed = upgradeStatements(db);
    if (!needed)
        return needed.failure();
    return needed->isEmpty();
}

DbOutcome SchemaUpgrade(const QSqlDatabase& db)
{
    // A database that is up to date is not written at all (it may be read-only).
    auto needed = upgradeStatements(db);
    if (!needed)
        return needed.outcome();
    if (needed->isEmpty())
        return DbOutcome::success();

    WriteTransaction transaction(db);
    if (auto begun = transaction.begin(); !begun)
        return begun;
    // Another workstation may have upgraded the file meanwhile: look again under the write lock.
    needed = upgradeStatements(db);
    if (!needed)
        return needed.outcome();
    for (const QString& sql : std::as_const(*needed)) {
        if (sql.startsWith(QLatin1String("CREATE UNIQUE INDEX"))) {
            auto repeated = repeatedAddresses(db);
            if (!repeated)
                return repeated.outcome();
            if (!repeated->isEmpty())
                return DbOutcome::failure(
                    QStringLiteral("more than one IP record holds the address %1; each address may be "
                                   "recorded once. ")
                        .arg(repeated->join(QLatin1String(", "))) +
                    DatabaseUnchanged);
        }
        if (auto added = execSql(db, sql); !added)
            return added;
    }
    return transaction.commit();
}

} // namespace tarvo
