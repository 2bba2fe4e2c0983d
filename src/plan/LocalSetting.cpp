#include "plan/LocalSetting.h"

#include "core/DatabaseConnection.h"
#include "core/Sql.h"
#include "core/WidgetParts.h"
#include "plan/PlanSql.h"
#include "plan/PlanStore.h"

#include <QNetworkInterface>

namespace tarvo {

bool needsLocalSetting(const QList<CityRow>& cities)
{
    if (cities.isEmpty())
        return true;
    if (cities.size() != 1)
        return false;
    const CityRow& city = cities.first();
    return city.City_name == SamplePlan::City && city.Region == SamplePlan::Region &&
           city.Abbr_city == SamplePlan::CityCode && city.IP_octet2 == SamplePlan::Octet2 &&
           city.Abbr_state == SamplePlan::SegmentCode;
}

QString InterfaceLocalAddress::localIPv4() const
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& candidate : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = candidate.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const QList<QNetworkAddressEntry> entries = candidate.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                return entry.ip().toString();
        }
    }
    return LoopbackAddress;
}

QString usableLocalAddress(const QString& address)
{
    const QStringList parts = address.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return LoopbackAddress;
    for (const QString& part : parts) {
        if (!isNumberWithin(part, 255))
            return LoopbackAddress;
    }
    return address;
}

LocalSettingStore::LocalSettingStore(const DatabaseConnection& database) : m_database(database) {}

DbResult<std::optional<AreaRow>> LocalSettingStore::sampleArea() const
{
    return PlanStore(m_database).area(SamplePlan::Region);
}

DbResult<std::optional<CityRow>> LocalSettingStore::sampleCity() const
{
    return PlanStore(m_database).cityInArea(SamplePlan::City, SamplePlan::Region);
}

DbOutcome LocalSettingStore::save(const LocalPlan& plan)
{
    const QSqlDatabase db = m_database.handle();
    WriteTransaction transaction(db);
    if (auto begun = transaction.begin(); !begun)
        return begun;
    // Both rows are looked up before either is written: the area's new name would hide the city.
    auto area = sampleArea();
    if (!area)
        return area.failure();
    auto city = sampleCity();
    if (!city)
        return city.failure();

    const Columns areaColumns{{"Region", boundText(plan.regionName)},
                              {"AssignIP", plan.octet1},
                              {"Abbr_segment", boundText(plan.segmentCode)},
                              {"Segment_ip", true}};
    if (auto written = writeRow(db, QStringLiteral("Region"), *area ? (*area)->rowId : 0, areaColumns);
        !written)
        return written;

    Columns cityColumns{{"City_name", boundText(plan.cityName)},
                        {"Abbr_city", boundText(plan.cityCode)},
                        {"IP_octet2", plan.octet2},
                        {"Region", boundText(plan.regionName)},
                        {"Abbr_state", boundText(plan.segmentCode)}};
    if (!*city)
        cityColumns << std::pair<QString, QVariant>{"StartIPRange", 0}
                    << std::pair<QString, QVariant>{"ToIPRange", 0};
    if (auto written = writeRow(db, QStringLiteral("City"), *city ? (*city)->rowId : 0, cityColumns);
        !written)
        return written;
    return transaction.commit();
}

} // namespace tarvo
