#include "subnetcalc/SubnetCalculation.h"
#include "subnetcalc/SubnetListModel.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>

using namespace tarvo;

namespace {

OctetTexts octets(const QString& dotted)
{
    const QStringList parts = dotted.split(QLatin1Char('.'));
    return {parts.value(0), parts.value(1), parts.value(2), parts.value(3)};
}

} // namespace

// The arithmetic against a reference table written by Python's ipaddress module (tools/subnet_oracle.py;
// its header describes the columns), and the cases that the table does not hold: class and type, the
// grouped host count, octets written with leading zeros, and the Tab run of a list row. The refusals are
// tested through the window.
class SubnetCalculationTest : public QObject
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
        const SubnetCalculation calculation = calculateSubnet(octets(fields[0]), octets(fields[1]));
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
        // Every row, as the digest of its "network mask" lines (fields 8 and 9 name the first and last).
        QCryptographicHash digest(QCryptographicHash::Sha256);
        for (int row = 0; row < model.rowCount(); ++row) {
            const QStringList columns =
                model.index(row).data().toString().split(QLatin1Char('\t'), Qt::SkipEmptyParts);
            QCOMPARE(columns.size(), 2);
            digest.addData((columns.join(QLatin1Char(' ')) + QLatin1Char('\n')).toUtf8());
        }
        QCOMPARE(QString::number(result.selectedRow), fields[10]);
        QCOMPARE(QString::fromLatin1(digest.result().toHex()), fields[11]);
    }

    void calculates_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("networkId");
        QTest::addColumn<QString>("ipClass");
        QTest::addColumn<QString>("addressType");
        QTest::addColumn<QString>("hosts");
        const auto row = [](const char* address, const char* mask, const char* networkId, const char* ipClass,
                            const char* type, const char* hosts) {
            QTest::addRow("%s/%s", address, mask) << address << mask << networkId << ipClass << type << hosts;
        };
        row("192.168.1.130", "255.255.255.192", "192.168.1.128/26", "C", "Reserved", "62");
        row("10.1.2.3", "255.0.0.0", "10.0.0.0/8", "A", "Reserved", "16,777,214");
        row("127.0.0.1", "255.0.0.0", "127.0.0.0/8", "Loopback", "Loopback", "16,777,214");
        row("224.1.2.3", "255.255.255.0", "224.1.2.0/24", "D", "Multicast", "254");
        // The class is the network identifier's, not the typed address's.
        row("192.168.1.1", "192.0.0.0", "192.0.0.0/2", "C", "Public", "1,073,741,822");
        row("1.2.3.5", "255.255.255.254", "1.2.3.4/31", "A", "Public", "2");
        row("1.2.3.4", "255.255.255.255", "1.2.3.4/32", "A", "Public", "1");
        row("1.2.3.4", "0.0.0.0", "0.0.0.0/0", "A", "Public", "4,294,967,294");
        row("010.001.2.3", "255.255.240.0", "10.1.0.0/20", "A", "Reserved", "4,094");
        row("255.255.255.255", "255.255.255.252", "255.255.255.252/30", "E", "Experemential", "2");
        // Class boundaries.
        row("126.0.0.1", "255.0.0.0", "126.0.0.0/8", "A", "Public", "16,777,214");
        row("9.255.0.1", "255.255.0.0", "9.255.0.0/16", "A", "Public", "65,534");
        row("11.0.0.1", "255.0.0.0", "11.0.0.0/8", "A", "Public", "16,777,214");
        row("128.0.0.1", "255.255.0.0", "128.0.0.0/16", "B", "Public", "65,534");
        row("172.15.0.1", "255.255.0.0", "172.15.0.0/16", "B", "Public", "65,534");
        row("172.16.0.1", "255.255.0.0", "172.16.0.0/16", "B", "Reserved", "65,534");
        row("172.31.255.1", "255.255.255.0", "172.31.255.0/24", "B", "Reserved", "254");
        row("172.32.0.1", "255.255.0.0", "172.32.0.0/16", "B", "Public", "65,534");
        row("191.255.0.1", "255.255.0.0", "191.255.0.0/16", "B", "Public", "65,534");
        row("192.167.0.1", "255.255.0.0", "192.167.0.0/16", "C", "Public", "65,534");
        row("192.169.0.1", "255.255.0.0", "192.169.0.0/16", "C", "Public", "65,534");
        row("193.168.0.1", "255.255.0.0", "193.168.0.0/16", "C", "Public", "65,534");
        row("223.255.255.1", "255.255.255.0", "223.255.255.0/24", "C", "Public", "254");
        row("239.0.0.1", "255.0.0.0", "239.0.0.0/8", "D", "Multicast", "16,777,214");
        row("240.0.0.1", "255.0.0.0", "240.0.0.0/8", "E", "Experemential", "16,777,214");
    }
    void calculates()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        const SubnetCalculation calculation = calculateSubnet(octets(address), octets(mask));
        QVERIFY(calculation.ok());
        QTEST(calculation.result.networkIdText(), "networkId");
        QTEST(calculation.result.addressClass.ipClass, "ipClass");
        QTEST(calculation.result.addressClass.addressType, "addressType");
        QTEST(groupedNumber(calculation.result.hostCount), "hosts");
    }

    void rowSeparatorLinesUpColumns()
    {
        // A network identifier shorter than ten characters gets one Tab more.
        QCOMPARE(subnetRowText(0x0A0A0000, 0xFFFFFFFF), QStringLiteral("10.10.0.0\t\t\t255.255.255.255"));
        QCOMPARE(subnetRowText(0x0A0A0A00, 0xFFFFFFFF), QStringLiteral("10.10.10.0\t\t255.255.255.255"));
    }
};

QTEST_GUILESS_MAIN(SubnetCalculationTest)
#include "SubnetCalculationTest.moc"
