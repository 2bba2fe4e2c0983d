#include "subnetcalc/SubnetCalculation.h"
#include "subnetcalc/SubnetListModel.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>

using namespace tarvo;

// Compares the calculator with a reference table written by Python's ipaddress module
// (tools/subnet_oracle.py; its header describes the columns).
class OracleTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void matchesReferenceTable_data()
    {
        QTest::addColumn<QStringList>("fields");
        QFile file(QStringLiteral(":/subnetcalc/data/subnet_oracle.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        int pairs = 0;
        int refused = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList fields = line.split(QLatin1Char('\t'));
            QVERIFY2(fields.size() == 3 || fields.size() == 12, qPrintable(line));
            refused += fields[2] == QLatin1String("refused") ? 1 : 0;
            ++pairs;
            QTest::addRow("%s/%s", qPrintable(fields[0]), qPrintable(fields[1])) << fields;
        }
        // The table must really be there: every prefix length and a set of gapped masks.
        QVERIFY(pairs >= 500);
        QVERIFY(refused >= 30);
    }
    void matchesReferenceTable()
    {
        QFETCH(QStringList, fields);
        const QStringList address = fields[0].split(QLatin1Char('.'));
        const QStringList mask = fields[1].split(QLatin1Char('.'));
        const SubnetCalculation calculation = calculateSubnet(
            {address[0], address[1], address[2], address[3]}, {mask[0], mask[1], mask[2], mask[3]});
        if (fields[2] == QLatin1String("refused")) {
            QCOMPARE(calculation.problem, EntryProblem::MaskNotContiguous);
            return;
        }
        QVERIFY(calculation.ok());
        const SubnetResult& result = calculation.result;
        QCOMPARE(dottedAddress(result.network), fields[3]);
        QCOMPARE(dottedAddress(result.broadcast), fields[4]);
        QCOMPARE(QString::number(result.prefix), fields[5]);
        QCOMPARE(QString::number(result.hostCount), fields[6]);

        // The list as the window's model shows it.
        SubnetListModel model;
        model.setSubnets(result.subnets);
        QCOMPARE(QString::number(model.rowCount()), fields[7]);
        QCryptographicHash digest(QCryptographicHash::Sha256);
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QStringList columns =
                model.index(row).data().toString().split(QLatin1Char('\t'), Qt::SkipEmptyParts);
            QCOMPARE(columns.size(), 2);
            rows << columns.join(QLatin1Char('-'));
            digest.addData((columns.join(QLatin1Char(' ')) + QLatin1Char('\n')).toUtf8());
        }
        QCOMPARE(rows.first(), fields[8]);
        QCOMPARE(rows.last(), fields[9]);
        QCOMPARE(QString::number(result.selectedRow), fields[10]);
        QCOMPARE(QString::fromLatin1(digest.result().toHex()), fields[11]);
    }
};

QTEST_GUILESS_MAIN(OracleTest)
#include "OracleTest.moc"
