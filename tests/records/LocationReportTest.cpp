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

using Kit = test::ReportWindowKit<frmRptByLocation>;

// A state area "Central" with two states, a city with offset 30 and one without offset; the delivered
// segment area "Headquarters" with its city "IT Division" (no offset) and "Tower" (fixed octet 20).
void addPlan(const Kit& k)
{
    k.exec(
        u"INSERT INTO Region (Region, AssignIP, Segment_ip, Abbr_segment) VALUES ('Central', 10, 0, '')"_s);
    k.exec(u"INSERT INTO State (State_name, Abbr_state, Region) VALUES ('Selangor', 'B', 'Central'), "
           "('Perak', 'A', 'Central')"_s);
    k.exec(
        u"INSERT INTO City (City_name, Abbr_city, IP_octet2, Offset, StartIPRange, ToIPRange, Abbr_state, "
        "Region) VALUES ('Shah Alam', 'SHA', 20, 30, 0, 0, 'B', 'Central'), "
        "('Klang', 'KLG', 21, 0, 0, 0, 'B', 'Central'), ('Tower', 'TWR', 101, 20, 0, 0, 'HQ', 'Headquarters')"_s);
    k.exec(u"INSERT INTO Workgroup (Workgroup_name, Workgroup_code, Octet_3) VALUES ('Finance', 'F', 4), "
           "('Admin', 'A', 1)"_s);
    k.exec(u"INSERT INTO Equipment (Eqp_name, Eqp_code, Octet4_start, Octet4_end) VALUES "
           "('Printer', 'PRN', 10, 20), ('Rock''n Switch', 'RS', 1, 5)"_s);
    for (const test::RecordRow& row :
         {test::RecordRow{u"10.20.34.7"_s,
                          u"PCBF01"_s,
                          u"PC"_s,
                          {},
                          u"Aminah"_s,
                          u"Alpha"_s,
                          u"S-100"_s,
                          u"Finance Unit"_s,
                          u"Desk 4"_s},
          test::RecordRow{u"10.20.34.10"_s, u"PRNBF01"_s, u"Printer"_s},
          test::RecordRow{u"10.20.34.100"_s, u"RSBF01"_s, u"Rock'n Switch"_s},
          test::RecordRow{u"10.20.34.200"_s, u"NetworkIP"_s, u"Subnet Mask 252"_s},
          test::RecordRow{u"10.100.3.5"_s, u"PC0301"_s}, test::RecordRow{u"10.100.30.5"_s, u"PC3001"_s},
          test::RecordRow{u"10.101.20.1"_s, u"PCTWR01"_s}, test::RecordRow{u"10.21.0.9"_s, u"PCKLG09"_s}})
        k.add(row);
}

// Runs the steps "control=value": a pick in a list, or text typed into the segment box.
void follow(const Kit& k, const QStringList& steps)
{
    for (const QString& step : steps) {
        const QByteArray control = step.section(u'=', 0, 0).toLatin1();
        const QString value = step.section(u'=', 1);
        if (control == "txtSegment")
            test::type(k.window.get(), "txtSegment", value);
        else
            k.pick(control.constData(), value);
    }
}

const QStringList HeaderLabels{u"Label3"_s,       u"lblArea"_s,    u"lblState"_s,     u"lblCity"_s,
                               u"lblWorkGroup"_s, u"lblSegment"_s, u"lblEquipment"_s, u"lblTotalRecord"_s};

} // namespace

class LocationReportTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void headerPerKindOfArea_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("equipment");
        QTest::addColumn<QString>("prefixShown");
        QTest::addColumn<QStringList>("header"); // in the order of HeaderLabels
        QTest::addColumn<QStringList>("addresses");

        const QStringList shahAlam{u"cboRegion=Central"_s, u"cboState=Selangor"_s, u"cboCity=Shah Alam"_s,
                                   u"cboWorkGroup=Finance"_s};
        // "ALL" lists every row of the prefix, the subnet reservation's too; the prefix's trailing dot
        // keeps 10.100.30.5 out of segment 3.
        QTest::newRow("state area, every type")
            << shahAlam << u"ALL"_s << u"IP: 10.20.34.xxx"_s
            << QStringList{u"Tarvo : "_s, u"Central"_s, u"Selangor"_s, u"Shah Alam"_s,
                           u"Finance"_s,  u""_s,        u"ALL"_s,      u"4"_s}
            << QStringList{u"10.20.34.7"_s, u"10.20.34.10"_s, u"10.20.34.100"_s, u"10.20.34.200"_s};
        QTest::newRow("a name with an apostrophe")
            << shahAlam << u"Rock'n Switch"_s << u"IP: 10.20.34.xxx"_s
            << QStringList{u"Tarvo : "_s, u"Central"_s, u"Selangor"_s,      u"Shah Alam"_s,
                           u"Finance"_s,  u""_s,        u"Rock'n Switch"_s, u"1"_s}
            << QStringList{u"10.20.34.100"_s};
        QTest::newRow("city without offset")
            << QStringList{u"cboRegion=Central"_s, u"cboState=Selangor"_s, u"cboCity=Klang"_s,
                           u"cboWorkGroup=Admin"_s}
            << u"PC"_s << u"IP: 10.21.0.xxx"_s
            << QStringList{u"Tarvo : "_s, u"Central"_s, u"Selangor"_s, u"Klang"_s,
                           u"Admin"_s,    u""_s,        u"PC"_s,       u"1"_s}
            << QStringList{u"10.21.0.9"_s};
        QTest::newRow("segment typed")
            << QStringList{u"cboRegion=Headquarters"_s, u"cboCity=IT Division"_s, u"txtSegment=3"_s}
            << u"ALL"_s << u"IP: 10.100.3.xxx"_s
            << QStringList{u"Tarvo : "_s, u"Headquarters"_s, u""_s, u"IT Division"_s, u""_s,
                           u"3"_s,        u"ALL"_s,          u"1"_s}
            << QStringList{u"10.100.3.5"_s};
        QTest::newRow("segment fixed by the city")
            << QStringList{u"cboRegion=Headquarters"_s, u"cboCity=Tower"_s} << u"ALL"_s
            << u"IP: 10.101.20.xxx"_s << QStringList{u"Tarvo : "_s, u"Headquarters"_s, u""_s,    u"Tower"_s,
                                                     u""_s,         u"20"_s,           u"ALL"_s, u"1"_s}
            << QStringList{u"10.101.20.1"_s};
    }
    void headerPerKindOfArea()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, equipment);
        QFETCH(QString, prefixShown);
        QFETCH(QStringList, header);
        QFETCH(QStringList, addresses);

        Kit k;
        addPlan(k);
        k.open();
        k.child<QLineEdit>("txtTajukLaporan")->clear();
        follow(k, steps);
        QCOMPARE(k.caption("lblIPOctet"), prefixShown);
        const auto shown = k.report([&] { k.pick("cboEquipment", equipment); });
        QVERIFY(shown);
        QCOMPARE(shown->definition.orientation, ReportOrientation::Landscape);
        QStringList printed;
        for (const QString& label : HeaderLabels)
            printed << shown->definition.caption(label);
        QCOMPARE(printed, header);
        QCOMPARE(shown->field("IP_Address"), addresses);
    }

    void columnChoices_data()
    {
        QTest::addColumn<QStringList>("choices"); // cboLajur2, cboLajur4, cboLajur5
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<QStringList>("printed"); // the one row's five cells

        QTest::newRow("first items") << QStringList{u"Hostname"_s, u"Type/Equipment"_s, u"Unit/Division"_s}
                                     << QStringList{u"IP Address"_s, u"Hostname"_s, u"User Name"_s, u"Type"_s,
                                                    u"Unit/Division"_s}
                                     << QStringList{u"10.20.34.7"_s, u"PCBF01"_s, u"Aminah"_s, u"PC"_s,
                                                    u"Finance Unit"_s};
        QTest::newRow("second items")
            << QStringList{u"Type/Equipment"_s, u"Project"_s, u"Remarks"_s}
            << QStringList{u"IP Address"_s, u"Type"_s, u"User Name"_s, u"Project"_s, u"Remarks"_s}
            << QStringList{u"10.20.34.7"_s, u"PC"_s, u"Aminah"_s, u"Alpha"_s, u"Desk 4"_s};
        QTest::newRow("staff number")
            << QStringList{u"Hostname"_s, u"Staff No."_s, u"Remarks"_s}
            << QStringList{u"IP Address"_s, u"Hostname"_s, u"User Name"_s, u"Staff No."_s, u"Remarks"_s}
            << QStringList{u"10.20.34.7"_s, u"PCBF01"_s, u"Aminah"_s, u"S-100"_s, u"Desk 4"_s};
    }
    void columnChoices()
    {
        QFETCH(QStringList, choices);
        QFETCH(QStringList, headings);
        QFETCH(QStringList, printed);

        Kit k;
        addPlan(k);
        k.open();
        QCOMPARE(k.entries("cboLajur2"), (QStringList{u"Hostname"_s, u"Type/Equipment"_s}));
        QCOMPARE(k.entries("cboLajur4"), (QStringList{u"Type/Equipment"_s, u"Project"_s, u"Staff No."_s}));
        QCOMPARE(k.entries("cboLajur5"), (QStringList{u"Unit/Division"_s, u"Remarks"_s}));
        k.pick("cboLajur2", choices[0]);
        k.pick("cboLajur4", choices[1]);
        k.pick("cboLajur5", choices[2]);
        follow(k, {u"cboRegion=Central"_s, u"cboState=Selangor"_s, u"cboCity=Shah Alam"_s,
                   u"cboWorkGroup=Finance"_s});
        const auto shown = k.report([&] { k.pick("cboEquipment", u"PC"_s); });
        QVERIFY(shown);
        QCOMPARE(shown->definition.title, u"Tarvo : REPORT BY LOCATION"_s);
        QStringList shownHeadings, shownCells;
        for (const ReportColumn& column : shown->definition.columns) {
            shownHeadings << column.heading.caption;
            const int field = shown->rows->fieldIndex(column.field);
            shownCells << (field < 0 ? u"<no field %1>"_s.arg(column.field) : shown->rows->text(0, field));
        }
        QCOMPARE(shownHeadings, headings);
        QCOMPARE(shownCells, printed);
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

        const QStringList shahAlam{u"cboRegion=Central"_s, u"cboState=Selangor"_s, u"cboCity=Shah Alam"_s,
                                   u"cboWorkGroup=Finance"_s};
        QTest::newRow("city") << shahAlam << u"cboCity=Klang"_s << u"IP: 10.21.xxx.xxx"_s
                              << QStringList{u"cboWorkGroup=Finance"_s} << QStringList{u"10.21.0.9"_s};
        QTest::newRow("state") << shahAlam << u"cboState=Perak"_s << u"IP: 10.xxx.xxx.xxx"_s
                               << QStringList{u"cboState=Selangor"_s, u"cboCity=Klang"_s,
                                              u"cboWorkGroup=Admin"_s}
                               << QStringList{u"10.21.0.9"_s};
        QTest::newRow("area") << shahAlam << u"cboRegion=Headquarters"_s << u"IP: 10.xxx.xxx.xxx"_s
                              << QStringList{u"cboCity=Tower"_s} << QStringList{u"10.101.20.1"_s};
        QTest::newRow("segment emptied")
            << QStringList{u"cboRegion=Headquarters"_s, u"cboCity=IT Division"_s, u"txtSegment=30"_s}
            << u"txtSegment="_s << u"IP: 10.100.xxx.xxx"_s << QStringList{u"txtSegment=3"_s}
            << QStringList{u"10.100.3.5"_s};
    }
    void aChangeAbovePlaceEmptiesTheEquipmentList()
    {
        QFETCH(QStringList, first);
        QFETCH(QString, change);
        QFETCH(QString, prefixShown);
        QFETCH(QStringList, then);
        QFETCH(QStringList, addresses);

        Kit k;
        addPlan(k);
        k.open();
        follow(k, first);
        QVERIFY(!k.entries("cboEquipment").isEmpty());
        follow(k, {change});
        QCOMPARE(k.entries("cboEquipment"), QStringList());
        QCOMPARE(k.caption("lblIPOctet"), prefixShown);
        follow(k, then);
        QCOMPARE(k.entries("cboEquipment"),
                 (QStringList{u"ALL"_s, u"PC"_s, u"Printer"_s, u"Rock'n Switch"_s}));
        const auto shown = k.report([&] { k.pick("cboEquipment", u"ALL"_s); });
        QVERIFY(shown);
        QCOMPARE(shown->field("IP_Address"), addresses);
    }

    void segmentBox()
    {
        Kit k;
        addPlan(k);
        k.open();
        follow(k, {u"cboRegion=Headquarters"_s, u"cboCity=IT Division"_s});
        auto* segment = k.child<QLineEdit>("txtSegment");
        QCOMPARE(k.caption("lblWorkGroup"), u"Segment :"_s);
        QVERIFY(segment->isEnabled());

        // Letters are refused; a segment above 255 is taken as typed and finds nothing.
        QTest::keyClicks(segment, u"x300"_s);
        QCOMPARE(segment->text(), u"300"_s);
        QCOMPARE(k.caption("lblIPOctet"), u"IP: 10.100.300.xxx"_s);
        k.pick("cboEquipment", u"ALL"_s);
        QCOMPARE(k.program.messenger.last().text, u"Record not found ..."_s);
        QCOMPARE(k.program.messenger.last().title, u"Not Found"_s);

        // Enter in the empty box asks for the segment.
        segment->clear();
        QTest::keyClick(segment, Qt::Key_Return);
        QCOMPARE(k.program.messenger.last().text, u"Please enter Segment ... "_s);
        QCOMPARE(k.program.messenger.last().title, u"Segment ?"_s);
        QCOMPARE(k.program.messenger.count(), 2);

        // After a city with a fixed octet 3, a city without one opens the box again, empty.
        follow(k, {u"cboCity=Tower"_s});
        QVERIFY(!segment->isEnabled());
        QCOMPARE(k.caption("lblWorkGroup"), u"IP Octet 3 :"_s);
        follow(k, {u"cboCity=IT Division"_s});
        QVERIFY(segment->isEnabled());
        QCOMPARE(segment->text(), QString());
        QCOMPARE(k.caption("lblIPOctet"), u"IP: 10.100.xxx.xxx"_s);
    }

    void areaAdministratorReportsOnTheOwnArea()
    {
        Kit k(u"Central"_s);
        addPlan(k);
        k.open();
        QCOMPARE(k.entries("cboRegion"), QStringList{u"Central"_s});
        QCOMPARE(k.child<QComboBox>("cboRegion")->currentText(), u"Central"_s);
        QCOMPARE(k.entries("cboState"), (QStringList{u"Perak"_s, u"Selangor"_s}));
        QCOMPARE(k.caption("lblIPOctet"), u"IP: 10.xxx.xxx.xxx"_s);
    }

    // A report of 100 rows: its pages, their footers and the exported PDF read back.
    void hundredRowReportExportsItsPages()
    {
        if (!test::PdfReader::available())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are needed");
        Kit k;
        addPlan(k);
        for (int octet = 1; octet <= 100; ++octet) {
            if (octet != 9)
                k.add({u"10.21.0.%1"_s.arg(octet), u"PCKLG%1"_s.arg(octet)});
        }
        k.open();
        follow(k,
               {u"cboRegion=Central"_s, u"cboState=Selangor"_s, u"cboCity=Klang"_s, u"cboWorkGroup=Admin"_s});
        const QString pdf = k.program.path(u"Klang.pdf"_s);
        k.program.fileDialogs.files = {pdf};
        const auto shown = k.report([&] { k.pick("cboEquipment", u"ALL"_s); },
                                    [](ReportPreview& preview) {
                                        QTest::mouseClick(test::child<QPushButton>(&preview, "cmdExportPdf"),
                                                          Qt::LeftButton);
                                    });
        QVERIFY(shown);
        QCOMPARE(shown->rows->rowCount(), 100);
        const int pages = shown->pageCount;
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));

        QCOMPARE(test::PdfReader::pageCount(pdf), pages);
        const QSizeF paper = test::PdfReader::pageSize(pdf);
        QVERIFY(paper.width() > paper.height());
        const QString first = test::PdfReader::pageText(pdf, 1);
        for (const QString& text :
             {u"Tarvo : REPORT BY LOCATION"_s, u"Total Record :"_s, u"Page : 1/%1"_s.arg(pages),
              u"This report was generate by Tarvo system."_s, u"10.21.0.1 "_s})
            QVERIFY2(first.contains(text), qPrintable(text));
        const QString last = test::PdfReader::pageText(pdf, pages);
        QVERIFY(last.contains(u"Page : %1/%1"_s.arg(pages)));
        QVERIFY(last.contains(u"10.21.0.100"_s));
        QVERIFY(!last.contains(u"Total Record :"_s));
    }
};

QTEST_MAIN(LocationReportTest)
#include "LocationReportTest.moc"
