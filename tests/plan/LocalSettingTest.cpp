#include "PlanTestKit.h"

#include "plan/SettingsPage.h"
#include "plan/frmLocalSetting.h"

using namespace tarvo;

namespace {

struct FixedAddress final : LocalAddress
{
    QString address;
    QString localIPv4() const override { return address; }
};

struct LocalSettingWindow : test::PlanWindow<frmLocalSetting>
{
    explicit LocalSettingWindow(const QString& address, const QString& setup = {})
    {
        for (const QString& sql : setup.split(';', Qt::SkipEmptyParts))
            exec(sql);
        local.address = address;
        open(local);
    }
    ~LocalSettingWindow() { delete window; } // before the address it reads goes
    // The values of the named fields, joined by "|".
    QString texts(std::initializer_list<const char*> names) const
    {
        QStringList values;
        for (const char* name : names)
            values << text(name);
        return values.join('|');
    }

    FixedAddress local;
};

const char* const AreaRows = "SELECT group_concat(Region || '/' || AssignIP || '/' || Segment_ip || '/' || "
                             "Abbr_segment, ' ') FROM Region";
const char* const CityRows =
    "SELECT group_concat(City_name || '/' || Abbr_city || '/' || IP_octet2 || '/' || "
    "Region || '/' || Abbr_state || '/' || ifnull(Offset, '-') || '/' || StartIPRange "
    "|| '/' || ToIPRange, ' ') FROM City";

CityRow city(const QString& name, const QString& code, int octet2, const QString& state)
{
    return {1, name, code, octet2, std::nullopt, 0, 0, state, "Headquarters"};
}

} // namespace

class LocalSettingTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void needsLocalSettingOnlyForTheSampleCity_data()
    {
        QTest::addColumn<QList<CityRow>>("cities");
        QTest::addColumn<bool>("needed");
        const CityRow sample = city("IT Division", "ITD", 100, "HQ");
        QTest::newRow("no city") << QList<CityRow>{} << true;
        QTest::newRow("the sample city") << QList<CityRow>{sample} << true;
        QTest::newRow("name in another case")
            << QList<CityRow>{city("IT division", "ITD", 100, "HQ")} << false;
        QTest::newRow("state code in another case")
            << QList<CityRow>{city("IT Division", "ITD", 100, "hq")} << false;
        QTest::newRow("another octet 2") << QList<CityRow>{city("IT Division", "ITD", 101, "HQ")} << false;
        QTest::newRow("a second city") << QList<CityRow>{sample, city("Ipoh", "IPH", 1, "A")} << false;
    }
    void needsLocalSettingOnlyForTheSampleCity()
    {
        QFETCH(QList<CityRow>, cities);
        QTEST(needsLocalSetting(cities), "needed");
    }

    // The workstation's address fills the octets; one that is not four octets counts as 127.0.0.1. The
    // octet fields take an octet.
    void workstationAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("shown"); // address, octet 1, octet 2, segment
        const QString loopback = "127.0.0.1|127|0|0";
        QTest::newRow("four parts") << "10.20.30.40"
                                    << "10.20.30.40|10|20|30";
        QTest::newRow("two parts") << "10.20" << loopback;
        QTest::newRow("none") << "" << loopback;
        QTest::newRow("not an octet") << "10.20.300.4" << loopback;
    }
    void workstationAddress()
    {
        QFETCH(QString, address);
        LocalSettingWindow w(address);
        QTEST(w.texts({"lblLocalIP", "txtIPOctet1", "txtIPOctet2", "lbltxtSegment"}), "shown");
        w.type("txtIPOctet1", "256");
        w.type("txtIPOctet2", "1x9");
        QCOMPARE(w.texts({"txtIPOctet1", "txtIPOctet2"}), "25|19");
    }

    // Save rewrites the sample rows, or makes them when they are missing, as one segmented area whose
    // segment code is its city's state code.
    void saveRewritesOrMakesTheSampleRows_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("cities");
        const QString shownDefaults = "Headquarters|HQ|IT Division|ITD";
        const QString delivered = "IT Division/ITD/20/Headquarters/KL/-/0/0";
        QTest::newRow("delivered") << "" << shownDefaults << delivered;
        QTest::newRow("sample rows edited")
            << "UPDATE City SET Abbr_city = 'HQC', Offset = 5, StartIPRange = 9; "
               "UPDATE Region SET Segment_ip = 0, Abbr_segment = 'hx'"
            << "Headquarters|HX|IT Division|HQC"
            << "IT Division/HQC/20/Headquarters/KL/5/9/0";
        QTest::newRow("sample rows missing")
            << "DELETE FROM City; DELETE FROM Region" << shownDefaults << delivered;
    }
    void saveRewritesOrMakesTheSampleRows()
    {
        QFETCH(QString, setup);
        LocalSettingWindow w("10.20.30.40", setup);
        QTEST(w.texts({"txtRegionName", "txtSegmentCode", "txtBandar", "txtKodBandar"}), "shown");
        w.type("txtSegmentCode", "kl");
        QCOMPARE(w.text("txtSegmentCode"), "KL");
        w.click("cmdUpdateSetting");
        QCOMPARE(w.messages(), QStringList{PlanText::SaveQuestion});
        QCOMPARE(w.window->result(), int(QDialog::Accepted));
        QCOMPARE(w.row(AreaRows), "Headquarters/10/1/KL");
        QTEST(w.row(CityRows), "cities");
    }

    // The first empty field is reported and takes the focus; nothing is written.
    void emptyFieldsAreReported_data()
    {
        QTest::addColumn<QStringList>("emptied");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::newRow("area name first")
            << QStringList{"txtIPOctet1", "txtRegionName"} << "Please enter Area Name : !"
            << "Error !";
        QTest::newRow("octet 2") << QStringList{"txtIPOctet2"} << "Please enter IP Octet2 : !"
                                 << "Error !!!";
    }
    void emptyFieldsAreReported()
    {
        QFETCH(QStringList, emptied);
        LocalSettingWindow w("10.20.30.40");
        for (const QString& name : emptied)
            w.child<QLineEdit>(name.toLatin1())->clear();
        w.click("cmdUpdateSetting");
        QTEST(w.messages().join(';'), "message");
        QTEST(w.program.messenger.last().title, "title");
        QCOMPARE(QApplication::focusWidget()->objectName(), emptied.last());
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.row(AreaRows), "Headquarters/10/1/HQ");
    }
};

QTEST_MAIN(LocalSettingTest)
#include "LocalSettingTest.moc"
