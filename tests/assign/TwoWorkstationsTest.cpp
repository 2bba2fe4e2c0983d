#include "LogBlocks.h"

#include "assign/IpRecordStore.h"
#include "core/AppState.h"
#include "core/DatabaseConnection.h"
#include "core/DeliveredDatabase.h"
#include "core/Sql.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tarvo;

// Two workstations assigning into one database file at the same moment never store one address twice
// and lose no saved row; sharing one program folder, their assignment log holds whole blocks, one for
// each saved address.
class TwoWorkstationsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void neverTheSameAddressTwice()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tarvodb.mdb"));
        QVERIFY(createDeliveredDatabase(path).ok());

        constexpr int Each = 80;
        const QStringList names{QStringLiteral("first"), QStringLiteral("second")};
        std::vector<std::unique_ptr<QProcess>> workstations;
        for (const QString& name : names) {
            auto process = std::make_unique<QProcess>();
            process->start(QStringLiteral(WORKSTATION_PROGRAM),
                           {path, QString::number(Each), name, dir.path()});
            workstations.push_back(std::move(process));
        }
        QHash<QString, QString> savedBy; // address -> workstation
        for (size_t i = 0; i < workstations.size(); ++i) {
            QProcess& process = *workstations[i];
            QVERIFY(process.waitForFinished(90000));
            QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
                     process.readAllStandardError().constData());
            const QStringList lines = QString::fromUtf8(process.readAllStandardOutput())
                                          .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), Each);
            for (const QString& address : lines) {
                QVERIFY2(!savedBy.contains(address), qPrintable(address + QStringLiteral(" saved twice")));
                savedBy.insert(address, names.at(static_cast<qsizetype>(i)));
            }
        }

        DatabaseConnection connection;
        QVERIFY(connection.open(path).ok());
        auto rows = runSql(connection.handle(), QStringLiteral("SELECT IP_Address, InputBy FROM IP_Info"));
        QVERIFY(rows.ok());
        QHash<QString, QString> stored;
        while (rows->next())
            stored.insert(rows->value(0).toString(), rows->value(1).toString());
        QCOMPARE(stored.size(), 2 * Each);
        QCOMPARE(stored, savedBy);

        QFile log(dir.filePath(AssignLogFileName));
        QVERIFY(log.open(QIODevice::ReadOnly));
        qsizetype brokenAt = 0;
        QStringList logged = test::loggedAddresses(log.readAll(), &brokenAt);
        QCOMPARE(brokenAt, -1);
        QStringList saved = savedBy.keys();
        logged.sort();
        saved.sort();
        QCOMPARE(logged, saved);
    }
};

QTEST_GUILESS_MAIN(TwoWorkstationsTest)
#include "TwoWorkstationsTest.moc"
