#pragma once

#include "core/DbResult.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

namespace tarvo {

class DatabaseConnection;
struct Session;

// One row of the table UserID, with the rowid that identifies it: names and user IDs may repeat, so
// rows are changed and deleted through the rowid of the row a window shows.
struct UserAccount
{
    qint64 rowId = 0;
    QString UserID;
    QString Name;
    QString Password;
    QString Email;  // empty when the column is empty or null
    QString Group;  // "Sistem", "HQ", "Kawasan", or empty when none was chosen
    QString Tadbir; // administered area; empty when the column is empty or null
};

// Whether a stored group is the named one. Group names, as every text of the table, compare without
// letter case.
bool isGroup(const QString& stored, const QString& group);

// Puts a signed-in account into the session. The administered area limits what an area administrator
// ("Kawasan") sees; an account of another group keeps any area it once had in the table but sees every
// area.
void signInSession(Session& session, const UserAccount& account);

// A name in the account list and the row it stands for.
struct UserListEntry
{
    qint64 rowId = 0;
    QString Name;
};

// What a save writes. Group and Tadbir are written only when given: an account saved with no group
// keeps (or, when added, lacks) its group, and the area is written only for the group "Kawasan".
struct AccountFields
{
    QString Name;
    QString UserID;
    QString Password;
    QString Email;
    std::optional<QString> Group;
    std::optional<QString> Tadbir;
};

// Why a save or a delete was refused.
enum class AccountProblem
{
    None,
    UserIdExists,            // another row holds the user ID (letter case ignored)
    LastSystemAdministrator, // the only "Sistem" account would be deleted or demoted
    RowGone,                 // the row was deleted meanwhile (by another workstation)
};

// The table UserID: sign-in, the account list, account edits, and the look-ups of the password
// dialogs. Text comparisons run in the database and ignore letter case. A check and the write that
// depends on it run in one write transaction.
class UserStore
{
public:
    explicit UserStore(const DatabaseConnection& database);

    // The first account (in stored order) whose user ID and password match, letter case ignored.
    DbResult<std::optional<UserAccount>> findForSignIn(const QString& userId, const QString& password) const;

    // Every account's name, ordered by name.
    DbResult<QList<UserListEntry>> names() const;

    DbResult<std::optional<UserAccount>> byRowId(qint64 rowId) const;
    // The first account with this user ID and name (the signed-in user's own row).
    DbResult<std::optional<UserAccount>> byUserIdAndName(const QString& userId, const QString& name) const;
    // The first account with this e-mail address.
    DbResult<std::optional<UserAccount>> byEmail(const QString& email) const;

    // The area names an area administrator can be given, in order.
    DbResult<QStringList> areaNames() const;

    // What would refuse a save: a new or changed user ID held by another row, or the demotion of the
    // last "Sistem" account. rowId 0 checks an addition.
    DbResult<AccountProblem> checkSave(qint64 rowId, const AccountFields& fields) const;
    // What would refuse deleting the row: it is the last "Sistem" account, or it is gone.
    DbResult<AccountProblem> checkDelete(qint64 rowId) const;

    // Adds an account after checking it again; *newRowId receives its rowid.
    DbResult<AccountProblem> add(const AccountFields& fields, qint64* newRowId = nullptr);
    // Changes the row after checking it again.
    DbResult<AccountProblem> update(qint64 rowId, const AccountFields& fields);
    // Deletes the row after checking it again.
    DbResult<AccountProblem> remove(qint64 rowId);

    // Writes a new password into the row; false when the row is gone.
    DbResult<bool> setPassword(qint64 rowId, const QString& password);

private:
    DbResult<std::optional<UserAccount>> firstAccount(const QString& where, const QVariantList& values) const;
    DbResult<AccountProblem> checkSaveIn(const QSqlDatabase& db, qint64 rowId,
                                         const AccountFields& fields) const;
    DbResult<AccountProblem> checkDeleteIn(const QSqlDatabase& db, qint64 rowId) const;

    const DatabaseConnection& m_database;
};

} // namespace tarvo
