#include "core/DeliveredDatabase.h"

#include "core/DatabaseSchema.h"
#include "core/ReplacingFile.h"
#include "core/Sql.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUuid>

namespace tarvo {

namespace {

DbOutcome insertStartingRows(const QSqlDatabase& db)
{
    struct Row
    {
        const char* sql;
        QVariantList values;
    };
    const Row rows[] = {
        {"INSERT INTO UserID (UserID, Name, Password, Email, [Group], Tadbir) VALUES (?, ?, ?, ?, ?, ?)",
         {QStringLiteral("admin"), QStringLiteral("Administrator"), QStringLiteral("admin"), QString(),
          QStringLiteral("Sistem"), QString()}},
        {"INSERT INTO Region (Region, AssignIP, Segment_ip, Abbr_segment) VALUES (?, ?, ?, ?)",
         {QStringLiteral("Headquarters"), 10, true, QStringLiteral("HQ")}},
        {"INSERT INTO City (City_name, Abbr_city, IP_octet2, StartIPRange, ToIPRange, Abbr_state, Region) "
         "VALUES (?, ?, ?, ?, ?, ?, ?)",
         {QStringLiteral("IT Division"), QStringLiteral("ITD"), 100, 0, 0, QStringLiteral("HQ"),
          QStringLiteral("Headquarters")}},
        {"INSERT INTO Equipment (Eqp_name, Eqp_code, Octet4_start, Octet4_end) VALUES (?, ?, ?, ?)",
         {QStringLiteral("PC"), QStringLiteral("PC"), 71, 240}},
    };
    WriteTransaction transaction(db);
    if (auto begun = transaction.begin(); !begun)
        return begun;
    for (const Row& row : rows) {
        if (auto inserted = execSql(db, QString::fromLatin1(row.sql), row.values); !inserted)
            return inserted;
    }
    return transaction.commit();
}

} // namespace

DbOutcome createDeliveredDatabase(const QString& path)
{
    if (QFileInfo::exists(path))
        return DbOutcome::failure(QStringLiteral("\"%1\" already exists; it was left as it is.").arg(path));

    // Built under a temporary name that the program recognises and renamed into place, so that a failure
    // leaves nothing behind, nobody opens a half-built file, and what a killed run leaves is removed later.
    const QString building = ReplacingFile::newTemporaryPath(path);
    const QString name = QStringLiteral("tarvo-build-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    DbOutcome outcome = DbOutcome::success();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(building);
        if (!db.open()) {
            outcome = DbOutcome::failure(
                QStringLiteral("Cannot create \"%1\": %2").arg(path, databaseErrorText(db.lastError())));
        } else {
            outcome = execSql(db, QStringLiteral("PRAGMA journal_mode=DELETE"));
            if (outcome)
                outcome = createSchema(db);
            if (outcome)
                outcome = insertStartingRows(db);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (outcome && !QFile::rename(building, path))
        outcome = DbOutcome::failure(QStringLiteral("Cannot create \"%1\".").arg(path));
    if (!outcome) {
        QFile::remove(building);
        QFile::remove(building + QStringLiteral("-journal"));
    }
    return outcome;
}

QString deliveredIniText()
{
    return QStringLiteral("; Tarvo settings. DatabaseLocation names the folder of Tarvodb.mdb;\n"
                          "; empty means the program folder.\n"
                          "[Database]\n"
                          "DatabaseLocation=\n"
                          "\n"
                          "[Web]\n"
                          "IntraURL=\n"
                          "MainURL=\n"
                          "UpdateURL=\n"
                          "\n"
                          "[Version]\n"
                          "Version=\n"
                          "\n"
                          "[Network]\n"
                          "SMTP=\n"
                          "Port=25\n"
                          "\n"
                          "[Backup]\n"
                          "BackupLocation=\n");
}

} // namespace tarvo
