// The report by location, driven through its window: the cascade down to a prefix, the header and
// columns handed to the preview, and a report exported as PDF.

#include "PdfReader.h"
#include "RecordsTestKit.h"

#include "records/frmRptByLocation.h"

#include <QLineEdit>
#include <QPushButton>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {

// The report window over a state area "Central" with two states, a city with offset 30 and one without
// offset; the delivered segment area "Headquarters" with its city "IT Division" (no offset) and "Tower"
// (fixed octet 20).
struct Kit : test::ReportWindowKit<frmRptByLocation>
{
    explicit Kit(const QString& region = {}) : ReportWindowKit(region)
    {
        addPlan("('Central', 10, 0, '')", "('Selangor', 'B', 'Central'), ('Perak', 'A', 'Central')",
                "('Shah Alam', 'SHA', 20, 30, 0, 0, 'B', 'Central'), ('Klang', 'KLG', 21, 0, 0, 0, 'B', "
                "'Central'), ('Tower', 'TWR', 101, 20, 0, 0, 'HQ', 'Headquarters')",
                "('Finance', 'F', 4), ('Admin', 'A', 1)");
        exec("INSERT INTO Equipment (Eqp_name, Eqp_code, Octet4_start, Octet4_end) "
             "VALUES ('Printer', 'PRN', 10, 20), ('Rock''n Switch', 'RS', 1, 5)");
        addRecords(
            {"IP_Address", "Name", "Type", "Username", "Project", "StaffNo", "UnitDivision", "Remarks"},
            {{"10.20.34.7", "PCBF01", "PC", "Aminah", "Alpha", "S-100", "Finance Unit", "Desk 4"}});
        addRecords({"IP_Address", "Name", "Type"}, {{"10.20.34.10", "PRNBF01", "Printer"},
                                                    {"10.20.34.100", "RSBF01", "Rock'n Switch"},
                                                    {"10.20.34.200", "NetworkIP", "Subnet Mask 252"},
                                                    {"10.100.3.5", "PC0301", "PC"},
                                                    {"10.100.30.5", "PC3001", "PC"},
                                                    {"10.101.20.1", "PCTWR01", "PC"},
                                                    {"10.21.0.9", "PCKLG09", "PC"}});
    }
};

const QStringList ShahAlam{"cboRegion=Central", "cboState=Selangor", "cboCity=Shah Alam",
                           "cboWorkGroup=Finance"};
const QStringList HeaderLabels{"Label3",       "lblArea",    "lblState",     "lblCity",
                               "lblWorkGroup", "lblSegment", "lblEquipment", "lblTotalRecord"};

} // namespace

class LocationReportTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The header per kind of area, the rows of the place and equipment, and the columns chosen.
    void reports_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("equipment");
        QTest::addColumn<QString>("prefixShown");
        QTest::addColumn<QString>("header"); // the captions of HeaderLabels, joined by "|"
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QStringList>("columns"); // "heading=first row's cell"; empty: not checked
        const auto row = [](const char* name, const QStringList& steps, const char* equipment,
                            const char* prefix, const QString& header, const QStringList& addresses,
                            const QStringList& columns = {}) {
            QTest::newRow(name) << steps << QString(equipment) << QString(prefix) << header << addresses
                                << columns;
        };
        const QString title = "Tarvo : REPORT BY LOCATION|";

        // "ALL" lists every row of the prefix, the subnet reservation's too; the prefix's trailing dot
        // keeps 10.100.30.5 out of segment 3.
        row("state area, every type", ShahAlam, "ALL", "IP: 10.20.34.xxx",
            title + "Central|Selangor|Shah Alam|Finance||ALL|4",
            {"10.20.34.7", "10.20.34.10", "10.20.34.100", "10.20.34.200"},
            {"IP Address=10.20.34.7", "Hostname=PCBF01", "User Name=Aminah", "Type=PC",
             "Unit/Division=Finance Unit"});
        row("a name with an apostrophe, a title typed", QStringList{"txtTajukLaporan="} + ShahAlam,
            "Rock'n Switch", "IP: 10.20.34.xxx",
            "Tarvo : |Central|Selangor|Shah Alam|Finance||Rock'n Switch|1", {"10.20.34.100"});
        row("city without offset",
            {"cboRegion=Central", "cboState=Selangor", "cboCity=Klang", "cboWorkGroup=Admin"}, "PC",
            "IP: 10.21.0.xxx", title + "Central|Selangor|Klang|Admin||PC|1", {"10.21.0.9"});
        row("segment typed", {"cboRegion=Headquarters", "cboCity=IT Division", "txtSegment=3"}, "ALL",
            "IP: 10.100.3.xxx", title + "Headquarters||IT Division||3|ALL|1", {"10.100.3.5"});
        row("segment fixed by the city", {"cboRegion=Headquarters", "cboCity=Tower"}, "ALL",
            "IP: 10.101.20.xxx", title + "Headquarters||Tower||20|ALL|1", {"10.101.20.1"});
        row("second column items",
            QStringList{"cboLajur2=Type/Equipment", "cboLajur4=Project", "cboLajur5=Remarks"} + ShahAlam,
            "PC", "IP: 10.20.34.xxx", title + "Central|Selangor|Shah Alam|Finance||PC|1", {"10.20.34.7"},
            {"IP Address=10.20.34.7", "Type=PC", "User Name=Aminah", "Project=Alpha", "Remarks=Desk 4"});
        row("staff number column", QStringList{"cboLajur4=Staff No.", "cboLajur5=Remarks"} + ShahAlam, "PC",
            "IP: 10.20.34.xxx", title + "Central|Selangor|Shah Alam|Finance||PC|1", {"10.20.34.7"},
            {"IP Address=10.20.34.7", "Hostname=PCBF01", "User Name=Aminah", "Staff No.=S-100",
             "Remarks=Desk 4"});
    }
    void reports()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, equipment);
        QFETCH(QStringList, addresses);
        QFETCH(QStringList, columns);

        Kit k;
        k.open();
        k.follow(steps);
        QTEST(k.caption("lblIPOctet"), "prefixShown");
        const auto shown = k.report([&] { test::pick(k.window.get(), "cboEquipment", equipment); });
        QVERIFY(shown);
        QCOMPARE(shown->definition.orientation, ReportOrientation::Landscape);
        QStringList printed;
        for (const QString& label : HeaderLabels)
            printed << shown->definition.caption(label);
        QTEST(printed.join(u'|'), "header");
        QCOMPARE(shown->field("IP_Address"), addresses);
        if (columns.isEmpty())
            return;
        QStringList shownColumns;
        for (const ReportColumn& column : shown->definition.columns) {
            const int field = shown->rows->fieldIndex(column.field);
            shownColumns << column.heading.caption + u'=' +
                                (field < 0 ? u"<no field %1>"_s.arg(column.field)
                                           : shown->rows->text(0, field));
        }
        QCOMPARE(shownColumns, columns);
    }

    // A choice above the work group or segment empties the equipment list, so that a report never
    // prints one place's rows under another place's name; the place chosen next reports its own rows.
    void aChangeAbovePlaceEmptiesTheEquipmentList_data()
    {
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("prefixShown");
        QTest::addColumn<QStringList>("then");
        QTest::addColumn<QStringList>("addresses");

        const auto row = [](const char* name, const QStringList& first, const char* change,
                            const char* prefix, const QStringList& then, const QStringList& addresses) {
            QTest::newRow(name) << first << QString(change) << QString(prefix) << then << addresses;
        };
        row("city", ShahAlam, "cboCity=Klang", "IP: 10.21.xxx.xxx", {"cboWorkGroup=Finance"}, {"10.21.0.9"});
        row("state", ShahAlam, "cboState=Perak", "IP: 10.xxx.xxx.xxx",
            {"cboState=Selangor", "cboCity=Klang", "cboWorkGroup=Admin"}, {"10.21.0.9"});
        row("area", ShahAlam, "cboRegion=Headquarters", "IP: 10.xxx.xxx.xxx", {"cboCity=Tower"},
            {"10.101.20.1"});
        row("segment emptied", {"cboRegion=Headquarters", "cboCity=IT Division", "txtSegment=30"},
            "txtSegment=", "IP: 10.100.xxx.xxx", {"txtSegment=3"}, {"10.100.3.5"});
    }
    void aChangeAbovePlaceEmptiesTheEquipmentList()
    {
        QFETCH(QStringList, first);
        QFETCH(QString, change);
        QFETCH(QStringList, then);

        Kit k;
        k.open();
        k.follow(first);
        QVERIFY(!k.entries("cboEquipment").isEmpty());
        k.follow({change});
        QCOMPARE(k.entries("cboEquipment"), QStringList());
        QTEST(k.caption("lblIPOctet"), "prefixShown");
        k.follow(then);
        QCOMPARE(k.entries("cboEquipment"), (QStringList{"ALL", "PC", "Printer", "Rock'n Switch"}));
        const auto shown = k.report([&] { test::pick(k.window.get(), "cboEquipment", "ALL"); });
        QVERIFY(shown);
        QTEST(shown->field("IP_Address"), "addresses");
    }

    void segmentBox()
    {
        Kit k;
        k.open();
        k.follow({"cboRegion=Headquarters", "cboCity=IT Division"});
        auto* segment = k.child<QLineEdit>("txtSegment");
        QCOMPARE(k.caption("lblWorkGroup"), u"Segment :"_s);
        QVERIFY(segment->isEnabled());

        // Letters are refused; a segment above 255 is taken as typed and finds nothing.
        QTest::keyClicks(segment, u"x300"_s);
        QCOMPARE(segment->text(), u"300"_s);
        QCOMPARE(k.caption("lblIPOctet"), u"IP: 10.100.300.xxx"_s);
        test::pick(k.window.get(), "cboEquipment", u"ALL"_s);
        QCOMPARE(k.program.messenger.last().text, u"Record not found ..."_s);
        QCOMPARE(k.program.messenger.last().title, u"Not Found"_s);

        // Enter in the empty box asks for the segment.
        segment->clear();
        QTest::keyClick(segment, Qt::Key_Return);
        QCOMPARE(k.program.messenger.last().text, u"Please enter Segment ... "_s);
        QCOMPARE(k.program.messenger.last().title, u"Segment ?"_s);
        QCOMPARE(k.program.messenger.count(), 2);

        // After a city with a fixed octet 3, a city without one opens the box again, empty.
        k.follow({"cboCity=Tower"});
        QVERIFY(!segment->isEnabled());
        QCOMPARE(k.caption("lblWorkGroup"), u"IP Octet 3 :"_s);
        k.follow({"cboCity=IT Division"});
        QVERIFY(segment->isEnabled());
        QCOMPARE(segment->text(), QString());
        QCOMPARE(k.caption("lblIPOctet"), u"IP: 10.100.xxx.xxx"_s);
    }

    void areaAdministratorReportsOnTheOwnArea()
    {
        Kit k(u"Central"_s);
        k.open();
        QCOMPARE(k.entries("cboRegion"), QStringList{u"Central"_s});
        QCOMPARE(k.child<QComboBox>("cboRegion")->currentText(), u"Central"_s);
        QCOMPARE(k.entries("cboState"), (QStringList{u"Perak"_s, u"Selangor"_s}));
        QCOMPARE(k.caption("lblIPOctet"), u"IP: 10.xxx.xxx.xxx"_s);
    }

    // A report of 100 rows: every row of the place reaches the report, exported as PDF with its pages.
    void hundredRowReportExportsItsPages()
    {
        if (!test::PdfReader::available())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are needed");
        Kit k;
        QList<QVariantList> rows;
        for (int octet = 1; octet <= 100; ++octet) {
            if (octet != 9)
                rows.append({u"10.21.0.%1"_s.arg(octet), u"PCKLG%1"_s.arg(octet)});
        }
        k.addRecords({"IP_Address", "Name"}, rows);
        k.open();
        k.follow({"cboRegion=Central", "cboState=Selangor", "cboCity=Klang", "cboWorkGroup=Admin"});
        const QString pdf = k.program.path(u"Klang.pdf"_s);
        k.program.fileDialogs.files = {pdf};
        const auto shown = k.report([&] { test::pick(k.window.get(), "cboEquipment", u"ALL"_s); },
                                    [](ReportPreview& preview) {
                                        QTest::mouseClick(test::child<QPushButton>(&preview, "cmdExportPdf"),
                                                          Qt::LeftButton);
                                    });
        QVERIFY(shown);
        QCOMPARE(shown->rows->rowCount(), 100);
        const int pages = shown->pageCount;
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        QCOMPARE(test::PdfReader::pageCount(pdf), pages);
        const QString first = test::PdfReader::pageText(pdf, 1);
        QVERIFY(first.contains(u"Tarvo : REPORT BY LOCATION"_s) && first.contains(u"10.21.0.1 "_s));
        QVERIFY(test::PdfReader::pageText(pdf, pages).contains(u"10.21.0.100"_s));
    }
};

QTEST_MAIN(LocationReportTest)
#include "LocationReportTest.moc"
