#pragma once

#include "TestProgram.h"
#include "WidgetDriver.h"

#include "accounts/UserStore.h"
#include "core/Sql.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTcpServer>
#include <QTest>

// Helpers the sign-in and account tests share: accounts added through the store and a loopback port
// that nothing listens on.
namespace tarvo::test {

inline qint64 addAccount(TestProgram& program, const QString& name, const QString& userId,
                         const QString& group, const QString& email = {}, const QString& area = {},
                         const QString& password = QStringLiteral("pw"))
{
    UserStore store(program.database);
    qint64 row = 0;
    const AccountFields fields{name,  userId, password,
                               email, group,  area.isEmpty() ? std::nullopt : std::optional<QString>(area)};
    if (!store.add(fields, &row) || row == 0)
        qFatal("cannot add a test account");
    return row;
}

inline UserAccount storedRow(TestProgram& program, qint64 rowId)
{
    return UserStore(program.database).byRowId(rowId)->value_or(UserAccount{});
}

// The first row of a column's value, 0 when there is none.
inline qint64 rowWhere(TestProgram& program, const QString& column, const QString& value)
{
    return querySingleValue(
               program.database.handle(),
               QStringLiteral("SELECT rowid FROM UserID WHERE %1 = ? ORDER BY rowid").arg(column), {value})
        ->toLongLong();
}

// The session's user ID, name, group and area, to compare at once.
inline QStringList sessionOf(const TestProgram& program)
{
    const Session& s = program.session;
    return {s.LoginUserID, s.LoginName, s.LoginGroup, s.LoginRegion};
}

// A loopback port that was free a moment ago: a connection to it is refused.
inline quint16 closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        qFatal("no free loopback port");
    return probe.serverPort();
}

} // namespace tarvo::test
