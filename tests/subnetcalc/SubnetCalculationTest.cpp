#include "subnetcalc/SubnetCalculation.h"

#include <QTest>

using namespace tarvo;

namespace {

OctetTexts octets(const QString& dotted)
{
    const QStringList parts = dotted.split(QLatin1Char('.'));
    OctetTexts texts;
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        texts[i] = parts[i];
    return texts;
}

quint32 addressOf(const QString& dotted)
{
    const OctetTexts texts = octets(dotted);
    std::array<int, 4> values{};
    for (int i = 0; i < 4; ++i)
        values[i] = octetValue(texts[i]);
    return addressFromOctets(values);
}

QString row(const char* network, const char* tabs, const char* broadcast)
{
    return QString::fromLatin1(network) + QString::fromLatin1(tabs) + QString::fromLatin1(broadcast);
}

} // namespace

Q_DECLARE_METATYPE(tarvo::EntryProblem)

class SubnetCalculationTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void calculates_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("networkId");
        QTest::addColumn<QString>("ipClass");
        QTest::addColumn<QString>("addressType");
        QTest::addColumn<QString>("hosts");
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<QString>("firstRow");
        QTest::addColumn<QString>("lastRow");
        QTest::addColumn<qint64>("selected");

        QTest::newRow("/26 in a private /24")
            << "192.168.1.130"
            << "255.255.255.192"
            << "192.168.1.128/26"
            << "C"
            << "Reserved"
            << "62" << qint64{4} << row("192.168.1.0", "\t\t", "192.168.1.63")
            << row("192.168.1.192", "\t\t", "192.168.1.255") << qint64{2};
        QTest::newRow("private /8") << "10.1.2.3"
                                    << "255.0.0.0"
                                    << "10.0.0.0/8"
                                    << "A"
                                    << "Reserved"
                                    << "16,777,214" << qint64{1}
                                    << row("10.0.0.0", "\t\t\t", "10.255.255.255")
                                    << row("10.0.0.0", "\t\t\t", "10.255.255.255") << qint64{0};
        QTest::newRow("172.20 is private")
            << "172.20.5.1"
            << "255.255.0.0"
            << "172.20.0.0/16"
            << "B"
            << "Reserved"
            << "65,534" << qint64{1} << row("172.20.0.0", "\t\t", "172.20.255.255")
            << row("172.20.0.0", "\t\t", "172.20.255.255") << qint64{0};
        QTest::newRow("172.40 is public")
            << "172.40.5.1"
            << "255.255.0.0"
            << "172.40.0.0/16"
            << "B"
            << "Public"
            << "65,534" << qint64{1} << row("172.40.0.0", "\t\t", "172.40.255.255")
            << row("172.40.0.0", "\t\t", "172.40.255.255") << qint64{0};
        QTest::newRow("loopback") << "127.0.0.1"
                                  << "255.0.0.0"
                                  << "127.0.0.0/8"
                                  << "Loopback"
                                  << "Loopback"
                                  << "16,777,214" << qint64{1}
                                  << row("127.0.0.0", "\t\t\t", "127.255.255.255")
                                  << row("127.0.0.0", "\t\t\t", "127.255.255.255") << qint64{0};
        QTest::newRow("multicast") << "224.1.2.3"
                                   << "255.255.255.0"
                                   << "224.1.2.0/24"
                                   << "D"
                                   << "Multicast"
                                   << "254" << qint64{1} << row("224.1.2.0", "\t\t\t", "224.1.2.255")
                                   << row("224.1.2.0", "\t\t\t", "224.1.2.255") << qint64{0};
        QTest::newRow("experimental") << "250.1.2.3"
                                      << "255.255.255.0"
                                      << "250.1.2.0/24"
                                      << "E"
                                      << "Experemential"
                                      << "254" << qint64{1} << row("250.1.2.0", "\t\t\t", "250.1.2.255")
                                      << row("250.1.2.0", "\t\t\t", "250.1.2.255") << qint64{0};
        QTest::newRow("/2 over the whole range")
            << "64.1.2.3"
            << "192.0.0.0"
            << "64.0.0.0/2"
            << "A"
            << "Public"
            << "1,073,741,822" << qint64{4} << row("0.0.0.0", "\t\t\t", "63.255.255.255")
            << row("192.0.0.0", "\t\t\t", "255.255.255.255") << qint64{1};
        QTest::newRow("/31 point-to-point") << "1.2.3.5"
                                            << "255.255.255.254"
                                            << "1.2.3.4/31"
                                            << "A"
                                            << "Public"
                                            << "2" << qint64{128} << row("1.2.3.0", "\t\t\t", "1.2.3.1")
                                            << row("1.2.3.254", "\t\t\t", "1.2.3.255") << qint64{2};
        QTest::newRow("/32 single host") << "1.2.3.4"
                                         << "255.255.255.255"
                                         << "1.2.3.4/32"
                                         << "A"
                                         << "Public"
                                         << "1" << qint64{1} << row("1.2.3.4", "\t\t\t", "1.2.3.4")
                                         << row("1.2.3.4", "\t\t\t", "1.2.3.4") << qint64{0};
        QTest::newRow("/0 whole range")
            << "1.2.3.4"
            << "0.0.0.0"
            << "0.0.0.0/0"
            << "A"
            << "Public"
            << "4,294,967,294" << qint64{1} << row("0.0.0.0", "\t\t\t", "255.255.255.255")
            << row("0.0.0.0", "\t\t\t", "255.255.255.255") << qint64{0};
        QTest::newRow("class of the network, not of the address")
            << "192.168.1.1"
            << "192.0.0.0"
            << "192.0.0.0/2"
            << "C"
            << "Public"
            << "1,073,741,822" << qint64{4} << row("0.0.0.0", "\t\t\t", "63.255.255.255")
            << row("192.0.0.0", "\t\t\t", "255.255.255.255") << qint64{3};
        QTest::newRow("leading zeros count by value")
            << "010.001.2.3"
            << "255.255.240.0"
            << "10.1.0.0/20"
            << "A"
            << "Reserved"
            << "4,094" << qint64{16} << row("10.1.0.0", "\t\t\t", "10.1.15.255")
            << row("10.1.240.0", "\t\t", "10.1.255.255") << qint64{0};
        QTest::newRow("highest address") << "255.255.255.255"
                                         << "255.255.255.252"
                                         << "255.255.255.252/30"
                                         << "E"
                                         << "Experemential"
                                         << "2" << qint64{64} << row("255.255.255.0", "\t\t", "255.255.255.3")
                                         << row("255.255.255.252", "\t\t", "255.255.255.255") << qint64{63};
    }
    void calculates()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        const SubnetCalculation calculation = calculateSubnet(octets(address), octets(mask));
        QVERIFY(calculation.ok());
        const SubnetResult& result = calculation.result;
        QTEST(result.networkIdText(), "networkId");
        QTEST(result.addressClass.ipClass, "ipClass");
        QTEST(result.addressClass.addressType, "addressType");
        QTEST(groupedNumber(result.hostCount), "hosts");
        QTEST(result.subnets.count(), "rows");
        QTEST(result.subnets.rowText(0), "firstRow");
        QTEST(result.subnets.rowText(result.subnets.count() - 1), "lastRow");
        QTEST(result.selectedRow, "selected");
    }

    void refuses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<EntryProblem>("problem");
        QTest::addColumn<int>("box");

        QTest::newRow("no address") << "0.0.0.0"
                                    << "255.255.255.0" << EntryProblem::NoAddress << 0;
        QTest::newRow("zeros written long") << "00.0.000.0"
                                            << "255.255.255.0" << EntryProblem::NoAddress << 0;
        QTest::newRow("empty boxes") << "..."
                                     << "255.255.255.0" << EntryProblem::NoAddress << 0;
        QTest::newRow("first octet above 255")
            << "256.1.1.1"
            << "255.255.255.0" << EntryProblem::AddressOctetOutOfRange << 0;
        QTest::newRow("last octet 999") << "1.1.1.999"
                                        << "255.255.255.0" << EntryProblem::AddressOctetOutOfRange << 3;
        QTest::newRow("letters in an octet") << "1.1.a.1"
                                             << "255.255.255.0" << EntryProblem::AddressOctetOutOfRange << 2;
        QTest::newRow("address before mask") << "1.300.1.1"
                                             << "255.100.0.0" << EntryProblem::AddressOctetOutOfRange << 1;
        QTest::newRow("mask octet 100") << "1.1.1.1"
                                        << "255.255.100.0" << EntryProblem::InvalidMaskOctet << 2;
        QTest::newRow("mask octet 1") << "1.1.1.1"
                                      << "255.255.255.1" << EntryProblem::InvalidMaskOctet << 3;
        QTest::newRow("mask octet above 255") << "1.1.1.1"
                                              << "256.0.0.0" << EntryProblem::InvalidMaskOctet << 0;
        QTest::newRow("gap of a whole octet") << "1.1.1.1"
                                              << "255.0.255.0" << EntryProblem::MaskNotContiguous << 2;
        QTest::newRow("two partial octets") << "1.1.1.1"
                                            << "255.128.128.0" << EntryProblem::MaskNotContiguous << 2;
        QTest::newRow("zero first octet") << "1.1.1.1"
                                          << "0.255.255.255" << EntryProblem::MaskNotContiguous << 1;
        QTest::newRow("partial before full") << "1.1.1.1"
                                             << "254.255.0.0" << EntryProblem::MaskNotContiguous << 1;
        QTest::newRow("gap in the last octet") << "1.1.1.1"
                                               << "255.255.0.255" << EntryProblem::MaskNotContiguous << 3;
    }
    void refuses()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        const SubnetCalculation calculation = calculateSubnet(octets(address), octets(mask));
        QTEST(calculation.problem, "problem");
        QTEST(calculation.problemBox, "box");
    }

    void classBoundaries_data()
    {
        QTest::addColumn<QString>("network");
        QTest::addColumn<QString>("ipClass");
        QTest::addColumn<QString>("addressType");
        QTest::newRow("0") << "0.0.0.0"
                           << "A"
                           << "Public";
        QTest::newRow("9") << "9.255.0.0"
                           << "A"
                           << "Public";
        QTest::newRow("11") << "11.0.0.0"
                            << "A"
                            << "Public";
        QTest::newRow("126") << "126.0.0.0"
                             << "A"
                             << "Public";
        QTest::newRow("128") << "128.0.0.0"
                             << "B"
                             << "Public";
        QTest::newRow("172.15") << "172.15.0.0"
                                << "B"
                                << "Public";
        QTest::newRow("172.16") << "172.16.0.0"
                                << "B"
                                << "Reserved";
        QTest::newRow("172.31") << "172.31.255.0"
                                << "B"
                                << "Reserved";
        QTest::newRow("172.32") << "172.32.0.0"
                                << "B"
                                << "Public";
        QTest::newRow("191") << "191.255.0.0"
                             << "B"
                             << "Public";
        QTest::newRow("192.167") << "192.167.0.0"
                                 << "C"
                                 << "Public";
        QTest::newRow("192.169") << "192.169.0.0"
                                 << "C"
                                 << "Public";
        QTest::newRow("193.168") << "193.168.0.0"
                                 << "C"
                                 << "Public";
        QTest::newRow("223") << "223.255.255.0"
                             << "C"
                             << "Public";
        QTest::newRow("239") << "239.0.0.0"
                             << "D"
                             << "Multicast";
        QTest::newRow("240") << "240.0.0.0"
                             << "E"
                             << "Experemential";
        QTest::newRow("255") << "255.255.255.255"
                             << "E"
                             << "Experemential";
    }
    void classBoundaries()
    {
        QFETCH(QString, network);
        const AddressClass found = classOfNetwork(addressOf(network));
        QTEST(found.ipClass, "ipClass");
        QTEST(found.addressType, "addressType");
    }

    void rowSeparatorLinesUpColumns_data()
    {
        QTest::addColumn<QString>("network");
        QTest::addColumn<QString>("separator");
        QTest::newRow("7 characters") << "1.0.0.0"
                                      << "\t\t\t";
        QTest::newRow("9 characters") << "10.10.0.0"
                                      << "\t\t\t";
        QTest::newRow("10 characters") << "10.10.10.0"
                                       << "\t\t";
        QTest::newRow("15 characters") << "192.168.100.128"
                                       << "\t\t";
    }
    void rowSeparatorLinesUpColumns()
    {
        QFETCH(QString, network);
        QFETCH(QString, separator);
        QCOMPARE(subnetRowText(addressOf(network), 0xFFFFFFFFu), network + separator + "255.255.255.255");
    }
};

QTEST_GUILESS_MAIN(SubnetCalculationTest)
#include "SubnetCalculationTest.moc"
