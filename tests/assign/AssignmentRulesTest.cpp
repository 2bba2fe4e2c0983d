#include "Cases.h"

#include "assign/AssignLog.h"
#include "assign/AssignmentRules.h"
#include "core/AppState.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvo;
using test::span;

namespace {

using Octet = std::optional<int>;

QList<int> reserved252()
{
    QList<int> octets;
    for (int network = 0; network <= 252; network += 4)
        octets << network << network + 3;
    return octets;
}

struct Free
{
    const char* name;
    QList<int> used;
    Octet4Range range;
    bool pseudo;
    Octet octet4;
    QString code;
};

} // namespace

Q_DECLARE_METATYPE(Octet)
Q_DECLARE_METATYPE(Free)

// The octet, name and sequence rules, the next free address and the assignment-log block.
class AssignmentRulesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Octet 3 is the work group's digit and the city's offset, never above 255.
    void octet3()
    {
        QCOMPARE(workgroupOctet3(5, 250), Octet(255));
        QCOMPARE(workgroupOctet3(9, 250), Octet());
    }

    void seqCode_data()
    {
        QTest::addColumn<int>("seqNo");
        QTest::addColumn<QString>("code");
        const std::pair<int, const char*> rows[] = {
            {1, "01"},   {9, "09"},   {10, "10"},  {30, "30"},  {99, "99"},  {100, "A0"}, {169, "G9"},
            {170, "H0"}, {239, "N9"}, {240, "P0"}, {250, "Q0"}, {254, "Q4"}, {255, "Q5"}, {256, "Q6"},
        };
        for (const auto& [seqNo, code] : rows)
            QTest::addRow("%d", seqNo) << seqNo << QString::fromLatin1(code);
    }
    void seqCode()
    {
        QFETCH(int, seqNo);
        QFETCH(QString, code);
        QCOMPARE(SeqCode(seqNo), code);
        if (seqNo != 1)
            return;
        // Every position of a range has a code of its own, two characters long, without the letter O.
        QSet<QString> codes;
        for (int n = 1; n <= 256; ++n)
            codes << SeqCode(n);
        QCOMPARE(codes.size(), 256);
        QVERIFY(std::all_of(codes.cbegin(), codes.cend(),
                            [](const QString& c) { return c.size() == 2 && !c.contains(QLatin1Char('O')); }));
    }

    void nextFree_data()
    {
        const Octet4Range pc{71, 240};
        test::cases<Free>({
            {"empty range", {}, pc, false, 71, "01"},
            {"after the top", span(71, 75), pc, false, 76, "06"},
            {"gaps below a free top stay free", {71, 73, 74}, pc, false, 75, "05"},
            {"top taken: the first gap", span(71, 240, 100), pc, false, 100, "30"},
            {"only the top taken", {240}, pc, false, 71, "01"},
            {"full", span(71, 240), pc, false, Octet(), ""},
            {"repeats and values outside ignored", {72, 71, 71, 72, 5, 300}, pc, false, 73, "03"},
            // A range from 0: .0 and .1 get numbers of their own.
            {"equipment range from 0, empty", {}, {0, 255}, false, 0, "01"},
            {"equipment range from 0, .0 taken", {0}, {0, 255}, false, 1, "02"},
            {"subnet mask 252 after the reservation", reserved252(), SubnetMask252Range, true, 1, "01"},
            {"subnet mask 252, .1 and .2 taken", reserved252() << 1 << 2, SubnetMask252Range, true, 5, "05"},
            {"city range, empty", {}, {10, 50}, true, 10, "01"},
            {"city range, .10 to .12 taken", {10, 11, 12}, {10, 50}, true, 13, "13"},
        });
    }
    void nextFree()
    {
        QFETCH(Free, row);
        const FreeAddress free = nextFreeAddress(row.used, row.range, row.pseudo);
        QCOMPARE(free.IPOctet4, row.octet4);
        if (row.octet4)
            QCOMPARE(free.SeqCode, row.code);
        QCOMPARE(free.FreeCount, row.range.RangeSize() - free.UsedCount);
    }

    void typedNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Octet>("octet4");
        QTest::addColumn<Octet>("count");
        const std::tuple<const char*, Octet, Octet> rows[] = {
            {"7", 7, 7},     {"007", 7, 7}, {"0", 0, {}},  {"255", 255, 255}, {"256", {}, 256},
            {"257", {}, {}}, {"", {}, {}},  {"x", {}, {}}, {" 7", {}, {}},    {"99999999999", {}, {}},
        };
        for (const auto& [text, octet4, count] : rows)
            QTest::addRow("'%s'", text) << QString::fromLatin1(text) << octet4 << count;
    }
    void typedNumbers()
    {
        QFETCH(QString, text);
        QFETCH(Octet, octet4);
        QFETCH(Octet, count);
        QCOMPARE(typedOctet4(text), octet4);
        QCOMPARE(bulkCount(text), count);
    }

    void logBlock_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QByteArray>("block");
        const QByteArray head = "Date Assign : 05/12/2026 (09:05:03)\r\n"
                                "-----------------------------------------------------\r\n"
                                "IP Address\t: 10.20.34.7\r\n"
                                "Hostname\t: PCKLAMS07\r\n"
                                "Equipment\t: PC\r\n"
                                "Username\t: Siti\r\n";
        const QByteArray rule = "-----------------------------------------------------\r\n";
        QTest::newRow("without a unit") << QString() << head + rule;
        QTest::newRow("with a unit") << QStringLiteral("Finance")
                                     << head +
                                            "Unit/Division\t: Finance\r\n"
                                            "Address\t\t: Level 3, Menara A\r\n"
                                            "       \t\t  Jalan Satu\r\n"
                                            "       \t\t  50000, Kuala Lumpur\r\n"
                                            "       \t\t  Wilayah\r\n" +
                                            rule;
    }
    void logBlock()
    {
        QFETCH(QString, unit);
        QFETCH(QByteArray, block);
        IpRecord record;
        record.IP_Address = QStringLiteral("10.20.34.7");
        record.Name = QStringLiteral("PCKLAMS07");
        record.Type = QStringLiteral("PC");
        record.Username = QStringLiteral("Siti");
        record.UnitDivision = unit;
        record.Floor = QStringLiteral("Level 3");
        record.Building = QStringLiteral("Menara A");
        record.Roadname = QStringLiteral("Jalan Satu");
        record.Postcode = QStringLiteral("50000");
        record.City = QStringLiteral("Kuala Lumpur");
        record.State = QStringLiteral("Wilayah");
        const QDateTime savedAt(QDate(2026, 12, 5), QTime(9, 5, 3));
        QCOMPARE(AssignLogBlock(record, savedAt).toUtf8(), block);

        // Appended whole, block after block with no empty line between them; a folder that cannot take
        // the file is reported.
        QTemporaryDir dir;
        QVERIFY(WriteAssignLog(dir.path(), AssignLogBlock(record, savedAt)).ok());
        QVERIFY(WriteAssignLog(dir.path(), AssignLogBlock(record, savedAt)).ok());
        QFile file(dir.filePath(AssignLogFileName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), block + block);
        QVERIFY(!WriteAssignLog(dir.filePath(QStringLiteral("missing")), block).error().isEmpty());
    }
};

QTEST_GUILESS_MAIN(AssignmentRulesTest)
#include "AssignmentRulesTest.moc"
