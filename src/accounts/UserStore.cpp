#include "accounts/UserStore.h"

#include "core/AppState.h"
#include "core/DatabaseConnection.h"
#include "core/Sql.h"

namespace tarvo {

bool isGroup(const QString& stored, const QString& group)
{
    return stored.compare(group, Qt::CaseInsensitive) == 0;
}

void signInSession(Session& session, const UserAccount& account)
{
    session.LoginName = account.Name;
    session.LoginUserID = account.UserID;
    session.LoginGroup = account.Group;
    session.LoginRegion = isGroup(account.Group, GroupKawasan) ? account.Tadbir : QString();
}

namespace {

const QString AccountColumns =
    QStringLiteral("rowid, UserID, Name, Password, Email, [Group], Tadbir FROM UserID");

UserAccount accountFrom(const QSqlQuery& query)
{
    UserAccount account;
    account.rowId = query.value(0).toLongLong();
    account.UserID = query.value(1).toString();
    account.Name = query.value(2).toString();
    account.Password = query.value(3).toString();
    account.Email = query.value(4).toString();
    account.Group = query.value(5).toString();
    account.Tadbir = query.value(6).toString();
    return account;
}

DbResult<int> countOf(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    auto count = querySingleValue(db, sql, values);
    if (!count)
        return count.failure();
    return count->toInt();
}

// The value bound for a text column: an empty text is stored as an empty text, never as null.
QVariant text(const QString& value)
{
    return value.isNull() ? QString(QLatin1String("")) : value;
}

} // namespace

UserStore::UserStore(const DatabaseConnection& database) : m_database(database) {}

DbResult<std::optional<UserAccount>> UserStore::firstAccount(const QString& where,
                                                             const QVariantList& values) const
{
    auto query = runSql(m_database.handle(),
                        QStringLiteral("SELECT ") + AccountColumns + QStringLiteral(" WHERE ") + where +
                            QStringLiteral(" ORDER BY rowid LIMIT 1"),
                        values);
    if (!query)
        return query.failure();
    if (!query->next())
        return std::optional<UserAccount>();
    return std::optional<UserAccount>(accountFrom(*query));
}

DbResult<std::optional<UserAccount>> UserStore::findForSignIn(const QString& userId,
                                                              const QString& password) const
{
    return firstAccount(QStringLiteral("UserID = ? AND Password = ?"), {text(userId), text(password)});
}

DbResult<std::optional<UserAccount>> UserStore::byRowId(qint64 rowId) const
{
    return firstAccount(QStringLiteral("rowid = ?"), {rowId});
}

DbResult<std::optional<UserAccount>> UserStore::byUserIdAndName(const QString& userId,
                                                                const QString& name) const
{
    return firstAccount(QStringLiteral("UserID = ? AND Name = ?"), {text(userId), text(name)});
}

DbResult<std::optional<UserAccount>> UserStore::byEmail(const QString& email) const
{
    return firstAccount(QStringLiteral("Email = ?"), {text(email)});
}

DbResult<QList<UserListEntry>> UserStore::names() const
{
    auto query =
        runSql(m_database.handle(), QStringLiteral("SELECT rowid, Name FROM UserID ORDER BY Name, rowid"));
    if (!query)
        return query.failure();
    QList<UserListEntry> list;
    while (query->next())
        list.append({query->value(0).toLongLong(), query->value(1).toString()});
    return list;
}

DbResult<QStringList> UserStore::areaNames() const
{
    auto query = runSql(m_database.handle(), QStringLiteral("SELECT Region FROM Region ORDER BY Region ASC"));
    if (!query)
        return query.failure();
    QStringList list;
    while (query->next())
        list << query->value(0).toString();
    return list;
}

DbResult<AccountProblem> UserStore::checkSaveIn(const QSqlDatabase& db, qint64 rowId,
                                                const AccountFields& fields) const
{
    std::optional<UserAccount> stored;
    if (rowId != 0) {
        auto found = byRowId(rowId);
        if (!found)
            return found.failure();
        if (!found->has_value())
            return AccountProblem::RowGone;
        stored = **found;
    }

    // A user ID kept as it was is not tested again: an older database may hold it twice already.
    if (!stored || fields.UserID != stored->UserID) {
        auto clashes =
            countOf(db, QStringLiteral("SELECT count(*) FROM UserID WHERE UserID = ? AND rowid <> ?"),
                    {text(fields.UserID), rowId});
        if (!clashes)
            return clashes.failure();
        if (*clashes > 0)
            return AccountProblem::UserIdExists;
    }

    const bool demotion =
        stored && isGroup(stored->Group, GroupSistem) && fields.Group && !isGroup(*fields.Group, GroupSistem);
    if (demotion) {
        auto administrators =
            countOf(db, QStringLiteral("SELECT count(*) FROM UserID WHERE [Group] = ?"), {GroupSistem});
        if (!administrators)
            return administrators.failure();
        if (*administrators <= 1)
            return AccountProblem::LastSystemAdministrator;
    }
    return AccountProblem::None;
}

DbResult<AccountProblem> UserStore::checkDeleteIn(const QSqlDatabase& db, qint64 rowId) const
{
    auto found = byRowId(rowId);
    if (!found)
        return found.failure();
    if (!found->has_value())
        return AccountProblem::RowGone;
    if (isGroup((*found)->Group, GroupSistem)) {
        auto administrators =
            countOf(db, QStringLiteral("SELECT count(*) FROM UserID WHERE [Group] = ?"), {GroupSistem});
        if (!administrators)
            return administrators.failure();
        if (*administrators == 1)
            return AccountProblem::LastSystemAdministrator;
    }
    return AccountProblem::None;
}

DbResult<AccountProblem> UserStore::checkSave(qint64 rowId, const AccountFields& fields) const
{
    return checkSaveIn(m_database.handle(), rowId, fields);
}

DbResult<AccountProblem> UserStore::checkDelete(qint64 rowId) const
{
    return checkDeleteIn(m_database.handle(), rowId);
}

DbResult<AccountProblem> UserStore::add(const AccountFields& fields, qint64* newRowId)
{
    const QSqlDatabase db = m_database.handle();
    WriteTransaction transaction(db);
    if (auto begun = transaction.begin(); !begun)
        return begun.failure();
    auto problem = checkSaveIn(db, 0, fields);
    if (!problem || *problem != AccountProblem::None)
        return problem;
    auto inserted =
        runSql(db,
               QStringLiteral("INSERT INTO UserID (Name, UserID, Password, Email, [Group], Tadbir) "
                              "VALUES (?, ?, ?, ?, ?, ?)"),
               {text(fields.Name), text(fields.UserID), text(fields.Password), text(fields.Email),
                fields.Group ? QVariant(text(*fields.Group)) : QVariant(QMetaType(QMetaType::QString)),
                fields.Tadbir ? QVariant(text(*fields.Tadbir)) : QVariant(QMetaType(QMetaType::QString))});
    if (!inserted)
        return inserted.failure();
    const qint64 rowId = inserted->lastInsertId().toLongLong();
    if (auto committed = transaction.commit(); !committed)
        return committed.failure();
    if (newRowId)
        *newRowId = rowId;
    return AccountProblem::None;
}

DbResult<AccountProblem> UserStore::update(qint64 rowId, const AccountFields& fields)
{
    const QSqlDatabase db = m_database.handle();
    WriteTransaction transaction(db);
    if (auto begun = transaction.begin(); !begun)
        return begun.failure();
    auto problem = checkSaveIn(db, rowId, fields);
    if (!problem || *problem != AccountProblem::None)
        return problem;

    QString sql = QStringLiteral("UPDATE UserID SET Name = ?, UserID = ?, Password = ?, Email = ?");
    QVariantList values{text(fields.Name), text(fields.UserID), text(fields.Password), text(fields.Email)};
    if (fields.Group) {
        sql += QStringLiteral(", [Group] = ?");
        values << text(*fields.Group);
    }
    if (fields.Tadbir) {
        sql += QStringLiteral(", Tadbir = ?");
        values << text(*fields.Tadbir);
    }
    sql += QStringLiteral(" WHERE rowid = ?");
    values << rowId;
    if (auto updated = execSql(db, sql, values); !updated)
        return updated.failure();
    if (auto committed = transaction.commit(); !committed)
        return committed.failure();
    return AccountProblem::None;
}

DbResult<AccountProblem> UserStore::remove(qint64 rowId)
{
    const QSqlDatabase db = m_database.handle();
    WriteTransaction transaction(db);
    if (auto begun = transaction.begin(); !begun)
        return begun.failure();
    auto problem = checkDeleteIn(db, rowId);
    if (!problem || *problem != AccountProblem::None)
        return problem;
    if (auto deleted = execSql(db, QStringLiteral("DELETE FROM UserID WHERE rowid = ?"), {rowId}); !deleted)
        return deleted.failure();
    if (auto committed = transaction.commit(); !committed)
        return committed.failure();
    return AccountProblem::None;
}

DbResult<bool> UserStore::setPassword(qint64 rowId, const QString& password)
{
    auto updated =
        runSql(m_database.handle(), QStringLiteral("UPDATE UserID SET Password = ? WHERE rowid = ?"),
               {text(password), rowId});
    if (!updated)
        return updated.failure();
    return updated->numRowsAffected() > 0;
}

} // namespace tarvo
