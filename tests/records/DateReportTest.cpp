// The report by date of issue, driven through its window: the total, the OK/Display cycle, the range
// compared as dates, and the report handed to the preview.

#include "RecordsTestKit.h"

#include "records/RecordReports.h"
#include "records/frmRptByDate.h"

#include <QDateEdit>
#include <QPushButton>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {

using Kit = test::ReportWindowKit<frmRptByDate>;

void setDates(const Kit& k, const QDate& start, const QDate& end)
{
    k.child<QDateEdit>("DTPickerStart")->setDate(start);
    k.child<QDateEdit>("DTPickerEnd")->setDate(end);
}

void clickOk(const Kit& k)
{
    QTest::mouseClick(k.child<QPushButton>("cmdOK"), Qt::LeftButton);
}

} // namespace

class DateReportTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The total of all records, grouped by thousands (counts are 64-bit); the dates start at today.
    void opensWithTheTotalAndToday()
    {
        Kit k;
        QList<QVariantList> rows;
        for (int i = 0; i < 1234; ++i)
            rows.append({u"10.%1.%2.%3"_s.arg(i / 65536).arg(i / 256 % 256).arg(i % 256)});
        k.addRecords({"IP_Address"}, rows);
        k.open();
        QCOMPARE(k.caption("lblTotalTarvoRecords"), u"Total Tarvo records : 1,234"_s);
        QCOMPARE(groupedCount(5000000000), u"5,000,000,000"_s);
        QCOMPARE(groupedCount(999), u"999"_s);
        QCOMPARE(groupedCount(0), u"0"_s);
        for (const char* picker : {"DTPickerStart", "DTPickerEnd"})
            QCOMPARE(k.child<QDateEdit>(picker)->date(), QDate::currentDate());
        QVERIFY(k.child<QLabel>("lblTotalAssignment")->isHidden());
        QCOMPARE(k.child<QPushButton>("cmdOK")->text(), u"OK"_s);
    }

    // The range runs from December into January: dates compare as dates, not as the stored text (by
    // which 15/01/2026 would fall inside), both ends included; rows come by date, then by address.
    void rangeAcrossAYearBoundary()
    {
        Kit k;
        k.addRecords({"IP_Address", "Name", "DateIssue"}, {{"10.1.1.1", "PC-10.1.1.1", "30/11/2026"},
                                                           {"10.1.10.5", "PC-10.1.10.5", "01/01/2027"},
                                                           {"10.1.1.20", "PC-10.1.1.20", "05/12/2026"},
                                                           {"10.1.2.100", "PC-10.1.2.100", "01/01/2027"},
                                                           {"10.1.1.3", "PC-10.1.1.3", "05/12/2026"},
                                                           {"10.1.1.2", "PC-10.1.1.2", "15/01/2026"},
                                                           {"10.1.3.1", "PC-10.1.3.1", "31/01/2027"},
                                                           {"10.1.3.2", "PC-10.1.3.2", "01/02/2027"},
                                                           {"10.1.3.3", "PC-10.1.3.3", "5/1/2027"}});
        k.open();
        setDates(k, {2026, 12, 1}, {2027, 1, 31});
        clickOk(k);
        QVERIFY(k.child<QLabel>("lblTotalAssignment")->isVisible());
        QCOMPARE(k.caption("lblTotalAssignment"), u"5"_s);
        QCOMPARE(k.child<QPushButton>("cmdOK")->text(), u"Display"_s);

        const auto shown = k.report([&] { clickOk(k); });
        QVERIFY(shown);
        QCOMPARE(shown->definition.orientation, ReportOrientation::Portrait);
        QCOMPARE(shown->definition.title, u"Tarvo : Report by Date"_s);
        QCOMPARE(shown->definition.caption(u"lblStartDate"_s), u"01/12/2026"_s);
        QCOMPARE(shown->definition.caption(u"lblEndDate"_s), u"31/01/2027"_s);
        QCOMPARE(shown->definition.caption(u"lblTotalAssignment"_s), u"5"_s);
        const QStringList ordered{u"10.1.1.3"_s, u"10.1.1.20"_s, u"10.1.2.100"_s, u"10.1.10.5"_s,
                                  u"10.1.3.1"_s};
        QCOMPARE(shown->field("IP_Address"), ordered);
        QCOMPARE(shown->field("Name").first(), u"PC-10.1.1.3"_s);

        // "Display" again shows the same report without a new query.
        k.addRecords({"IP_Address", "DateIssue"}, {{"10.1.4.1", "06/12/2026"}});
        const auto again = k.report([&] { clickOk(k); });
        QVERIFY(again);
        QCOMPARE(again->field("IP_Address"), ordered);

        // A change of date stands for other dates: the count goes and the button asks again.
        k.child<QDateEdit>("DTPickerEnd")->setDate({2027, 1, 30});
        QVERIFY(k.child<QLabel>("lblTotalAssignment")->isHidden());
        QCOMPARE(k.child<QPushButton>("cmdOK")->text(), u"OK"_s);
        clickOk(k);
        QCOMPARE(k.caption("lblTotalAssignment"), u"5"_s);
    }

    void startAfterEndFindsNothing()
    {
        Kit k;
        k.addRecords({"IP_Address", "DateIssue"}, {{"10.1.1.1", "05/12/2026"}});
        k.open();
        setDates(k, {2027, 1, 31}, {2026, 12, 1});
        clickOk(k);
        QCOMPARE(k.caption("lblTotalAssignment"), u"0"_s);
        QVERIFY(k.child<QLabel>("lblTotalAssignment")->isVisible());
        QVERIFY(k.child<QPushButton>("cmdOK")->isHidden());
        QVERIFY(k.program.messenger.isEmpty());

        k.child<QDateEdit>("DTPickerStart")->setDate({2026, 12, 1});
        QVERIFY(!k.child<QPushButton>("cmdOK")->isHidden());
        QCOMPARE(k.child<QPushButton>("cmdOK")->text(), u"OK"_s);
    }
};

QTEST_MAIN(DateReportTest)
#include "DateReportTest.moc"
