#include "TestProgram.h"
#include "WidgetDriver.h"

#include "core/Sql.h"
#include "plan/SettingsPage.h"
#include "plan/frmLocalSetting.h"

#include <QApplication>
#include <QLabel>

using namespace tarvo;

namespace {

struct FixedAddress final : LocalAddress
{
    QString address;
    QString localIPv4() const override { return address; }
};

struct LocalSettingWindow
{
    explicit LocalSettingWindow(const QString& address, const QString& setup = {})
    {
        for (const QString& sql : setup.split(';', Qt::SkipEmptyParts))
            QVERIFY(execSql(program.database.handle(), sql));
        local.address = address;
        window = std::make_unique<frmLocalSetting>(program.context, local);
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    QString text(const char* name) const
    {
        if (auto* label = window->findChild<QLabel*>(QLatin1String(name)))
            return label->text();
        return test::child<QLineEdit>(window.get(), name)->text();
    }
    // The values of the named fields, joined by "|".
    QString texts(std::initializer_list<const char*> names) const
    {
        QStringList values;
        for (const char* name : names)
            values << text(name);
        return values.join('|');
    }
    QString stored(const char* sql) const
    {
        return querySingleValue(program.database.handle(), QString::fromLatin1(sql))->toString();
    }

    test::TestProgram program;
    FixedAddress local;
    std::unique_ptr<frmLocalSetting> window;
};

const char* const AreaRows = "SELECT group_concat(Region || '/' || AssignIP || '/' || Segment_ip || '/' || "
                             "Abbr_segment, ' ') FROM Region";
const char* const CityRows =
    "SELECT group_concat(City_name || '/' || Abbr_city || '/' || IP_octet2 || '/' || "
    "Region || '/' || Abbr_state || '/' || ifnull(Offset, '-') || '/' || StartIPRange "
    "|| '/' || ToIPRange, ' ') FROM City";

CityRow city(const QString& name, const QString& region, const QString& code, int octet2,
             const QString& state)
{
    return {1, name, code, octet2, std::nullopt, 0, 0, state, region};
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
        const CityRow sample = city("IT Division", "Headquarters", "ITD", 100, "HQ");
        QTest::newRow("no city") << QList<CityRow>{} << true;
        QTest::newRow("the sample city") << QList<CityRow>{sample} << true;
        QTest::newRow("name in another case")
            << QList<CityRow>{city("IT division", "Headquarters", "ITD", 100, "HQ")} << false;
        QTest::newRow("state code in another case")
            << QList<CityRow>{city("IT Division", "Headquarters", "ITD", 100, "hq")} << false;
        QTest::newRow("another octet 2")
            << QList<CityRow>{city("IT Division", "Headquarters", "ITD", 101, "HQ")} << false;
        QTest::newRow("a second city")
            << QList<CityRow>{sample, city("Ipoh", "North", "IPH", 1, "A")} << false;
    }
    void needsLocalSettingOnlyForTheSampleCity()
    {
        QFETCH(QList<CityRow>, cities);
        QTEST(needsLocalSetting(cities), "needed");
    }

    // The workstation's address fills the octets; one that is not four octets counts as 127.0.0.1.
    void workstationAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("shown"); // address, octet 1, octet 2, segment
        QTest::newRow("four parts") << "10.20.30.40"
                                    << "10.20.30.40|10|20|30";
        QTest::newRow("two parts") << "10.20"
                                   << "127.0.0.1|127|0|0";
        QTest::newRow("none") << ""
                              << "127.0.0.1|127|0|0";
        QTest::newRow("not an octet") << "10.20.300.4"
                                      << "127.0.0.1|127|0|0";
    }
    void workstationAddress()
    {
        QFETCH(QString, address);
        LocalSettingWindow w(address);
        QTEST(w.texts({"lblLocalIP", "txtIPOctet1", "txtIPOctet2", "lbltxtSegment"}), "shown");
    }

    // Save rewrites the sample rows, or makes them when they are missing, as one segmented area whose
    // segment code is its city's state code.
    void saveRewritesOrMakesTheSampleRows_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("areas");
        QTest::addColumn<QString>("cities");
        const QString shownDefaults = "Headquarters|HQ|IT Division|ITD";
        QTest::newRow("delivered") << "" << shownDefaults << "Headquarters/10/1/KL"
                                   << "IT Division/ITD/20/Headquarters/KL/-/0/0";
        QTest::newRow("sample rows edited")
            << "UPDATE City SET Abbr_city = 'HQC', Offset = 5, StartIPRange = 9; "
               "UPDATE Region SET Segment_ip = 0, Abbr_segment = 'hx'"
            << "Headquarters|HX|IT Division|HQC"
            << "Headquarters/10/1/KL"
            << "IT Division/HQC/20/Headquarters/KL/5/9/0";
        QTest::newRow("sample rows missing")
            << "DELETE FROM City; DELETE FROM Region" << shownDefaults << "Headquarters/10/1/KL"
            << "IT Division/ITD/20/Headquarters/KL/-/0/0";
    }
    void saveRewritesOrMakesTheSampleRows()
    {
        QFETCH(QString, setup);
        LocalSettingWindow w("10.20.30.40", setup);
        QTEST(w.texts({"txtRegionName", "txtSegmentCode", "txtBandar", "txtKodBandar"}), "shown");
        test::type(w.window.get(), "txtSegmentCode", "kl");
        QCOMPARE(w.text("txtSegmentCode"), "KL");
        test::click(w.window.get(), "cmdUpdateSetting");
        QCOMPARE(w.program.messenger.texts(), QStringList{PlanText::SaveQuestion});
        QCOMPARE(w.window->result(), int(QDialog::Accepted));
        QTEST(w.stored(AreaRows), "areas");
        QTEST(w.stored(CityRows), "cities");
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
            test::child<QLineEdit>(w.window.get(), name.toLatin1())->clear();
        test::click(w.window.get(), "cmdUpdateSetting");
        QTEST(w.program.messenger.texts().join(';'), "message");
        QTEST(w.program.messenger.last().title, "title");
        QCOMPARE(QApplication::focusWidget()->objectName(), emptied.last());
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.stored(AreaRows), "Headquarters/10/1/HQ");
    }

    void octetFieldsTakeAnOctet()
    {
        LocalSettingWindow w("10.20.30.40");
        test::type(w.window.get(), "txtIPOctet1", "256");
        test::type(w.window.get(), "txtIPOctet2", "1x9");
        QCOMPARE(w.texts({"txtIPOctet1", "txtIPOctet2"}), "25|19");
    }
};

QTEST_MAIN(LocalSettingTest)
#include "LocalSettingTest.moc"
