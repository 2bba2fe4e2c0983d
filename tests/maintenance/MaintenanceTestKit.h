#pragma once

#include "TestProgram.h"
#include "UserFolders.h"

#include "core/DatabaseConnection.h"
#include "core/Sql.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace tarvo::test {

// Bytes that differ from one position to the next, the same on every run.
inline QByteArray patternBytes(qint64 size, quint32 seed = 7)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(generator.generate() & 0xff);
    return bytes;
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The names of the files in a folder, sorted.
inline QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Adds IP records of some weight (addresses 10.x.y.z, names PCn, remarks of 400 characters).
inline DbOutcome addRecords(const QSqlDatabase& db, int count)
{
    return execSql(
        db,
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
                       "INSERT INTO IP_Info (IP_Address, Name, Remarks) SELECT '10.' || (i / 65536) || "
                       "'.' || (i / 256 % 256) || '.' || (i % 256), 'PC' || i, hex(zeroblob(200)) FROM n"),
        {count});
}

// What SQLite's check (pragma: "integrity_check" or "quick_check") reports on the database file at path;
// the reason when it could not run.
inline QString sqliteCheck(const QString& path, const QString& pragma)
{
    auto opened = openDatabaseFile(path);
    if (!opened)
        return opened.error();
    QString result;
    {
        auto check =
            querySingleValue(QSqlDatabase::database(*opened, false), QStringLiteral("PRAGMA ") + pragma);
        result = check ? check->toString() : check.error();
    }
    closeDatabaseFile(*opened);
    return result;
}

} // namespace tarvo::test
