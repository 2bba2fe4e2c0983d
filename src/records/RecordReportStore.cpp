#include "records/RecordReportStore.h"

#include "assign/AssignmentRules.h"
#include "core/DatabaseConnection.h"
#include "core/Sql.h"

#include <QSqlQuery>

#include <algorithm>
#include <vector>

namespace tarvo {

namespace {

const QStringList ReportFields{
    QStringLiteral("IP_Address"),   QStringLiteral("Name"),    QStringLiteral("Type"),
    QStringLiteral("Username"),     QStringLiteral("Project"), QStringLiteral("StaffNo"),
    QStringLiteral("UnitDivision"), QStringLiteral("Remarks"), QStringLiteral("DateIssue")};

const QString ReportSelect =
    QStringLiteral("SELECT ") + ReportFields.join(QLatin1String(", ")) + QStringLiteral(" FROM IP_Info ");

// The date of issue "dd/MM/yyyy" as the key "yyyyMMdd", which sorts and compares as the dates do.
const QString IssueKey =
    QStringLiteral("substr(DateIssue, 7, 4) || substr(DateIssue, 4, 2) || substr(DateIssue, 1, 2)");
const QString IssueDateShape = QStringLiteral("'[0-9][0-9]/[0-9][0-9]/[0-9][0-9][0-9][0-9]'");

QString issueKey(const QDate& date)
{
    return date.toString(QStringLiteral("yyyyMMdd"));
}

QStringList rowValues(const QSqlQuery& query)
{
    QStringList values;
    values.reserve(ReportFields.size());
    for (int i = 0; i < ReportFields.size(); ++i)
        values << query.value(i).toString();
    return values;
}

// The address as one number, octet by octet; an address that is not four octets sorts after them all.
quint64 addressOrder(const QString& address)
{
    const auto octets = addressOctets(address);
    if (!octets)
        return quint64(1) << 32;
    return (quint64((*octets)[0]) << 24) | (quint64((*octets)[1]) << 16) | (quint64((*octets)[2]) << 8) |
           quint64((*octets)[3]);
}

} // namespace

RecordReportStore::RecordReportStore(const DatabaseConnection& database) : m_database(database) {}

DbResult<int> RecordReportStore::recordCount() const
{
    auto count = querySingleValue(m_database.handle(), QStringLiteral("SELECT count(*) FROM IP_Info"));
    if (!count)
        return count.failure();
    return count->toInt();
}

DbResult<std::shared_ptr<TableRows>> RecordReportStore::placeRows(const QString& prefix,
                                                                  const std::optional<QString>& type) const
{
    if (!prefix.endsWith(QLatin1Char('.')))
        return DbOutcome::failure(QStringLiteral("\"%1\" is not an address prefix.").arg(prefix));
    // From the prefix itself up to the text in which its trailing dot becomes the next character, "/":
    // a range over the index of IP_Address.
    QString sql = ReportSelect + QStringLiteral("WHERE IP_Address >= ? AND IP_Address < ?");
    QVariantList values{prefix, prefix.chopped(1) + QLatin1Char('/')};
    if (type) {
        sql += QStringLiteral(" AND Type = ?");
        values << *type;
    }
    auto query = runSql(m_database.handle(), sql + QStringLiteral(" ORDER BY IP_4, rowid"), values);
    if (!query)
        return query.failure();
    auto rows = std::make_shared<TableRows>(ReportFields);
    while (query->next())
        rows->append(rowValues(*query));
    return rows;
}

DbResult<std::shared_ptr<TableRows>> RecordReportStore::rowsIssuedBetween(const QDate& first,
                                                                          const QDate& last) const
{
    // The key comes after the report's fields, so that the rows are sorted by the one key compared.
    auto query = runSql(m_database.handle(),
                        QStringLiteral("SELECT %1, %2 FROM IP_Info WHERE DateIssue GLOB %3 AND %2 BETWEEN ? "
                                       "AND ? ORDER BY rowid")
                            .arg(ReportFields.join(QLatin1String(", ")), IssueKey, IssueDateShape),
                        {issueKey(first), issueKey(last)});
    if (!query)
        return query.failure();
    struct Row
    {
        QString issued;
        quint64 address;
        QStringList values;
    };
    std::vector<Row> found;
    while (query->next()) {
        QStringList values = rowValues(*query);
        found.push_back(
            {query->value(ReportFields.size()).toString(), addressOrder(values.first()), std::move(values)});
    }
    std::stable_sort(found.begin(), found.end(), [](const Row& a, const Row& b) {
        return a.issued != b.issued ? a.issued < b.issued : a.address < b.address;
    });
    auto rows = std::make_shared<TableRows>(ReportFields);
    rows->reserve(static_cast<int>(found.size()));
    for (Row& row : found)
        rows->append(std::move(row.values));
    return rows;
}

} // namespace tarvo
