#pragma once

#include "core/DbResult.h"
#include "plan/PlanRows.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarvo {

class DatabaseConnection;

// The sample area and city the database is delivered with, which the first-run local setting rewrites.
namespace SamplePlan {
inline const QString Region = QStringLiteral("Headquarters");
inline const QString SegmentCode = QStringLiteral("HQ");
inline const QString City = QStringLiteral("IT Division");
inline const QString CityCode = QStringLiteral("ITD");
inline constexpr int Octet2 = 100;
} // namespace SamplePlan

// True while the address plan is not set up yet, so that the assignment window offers the local
// setting first: no city at all, or only the sample city exactly as delivered (name, area, code,
// octet 2 and state code). The texts compare with letter case counting: a sample city that someone
// changed, even only in letter case, belongs to a plan that was set up.
bool needsLocalSetting(const QList<CityRow>& cities);

// The workstation's own IPv4 address, as dotted text.
class LocalAddress
{
public:
    virtual ~LocalAddress() = default;
    virtual QString localIPv4() const = 0;
};

// The address of the first network interface that is up, is not a loopback interface and has an IPv4
// address; 127.0.0.1 when there is none. It only reads the interfaces: nothing is sent.
class InterfaceLocalAddress final : public LocalAddress
{
public:
    QString localIPv4() const override;
};

inline const QString LoopbackAddress = QStringLiteral("127.0.0.1");

// The address to work from: the one given when it has four numbers of 0 to 255, else 127.0.0.1.
QString usableLocalAddress(const QString& address);

// What the local setting saves: one segmented area and one city in it.
struct LocalPlan
{
    QString regionName;
    int octet1 = 0;
    QString segmentCode; // the area's segment code and the city's state code
    QString cityName;
    QString cityCode;
    int octet2 = 0;
};

// The sample rows of the local setting. They are found by their delivered names (in any letter case,
// as the database compares); the first of each counts.
class LocalSettingStore
{
public:
    explicit LocalSettingStore(const DatabaseConnection& database);

    DbResult<std::optional<AreaRow>> sampleArea() const;
    DbResult<std::optional<CityRow>> sampleCity() const;

    // Rewrites the sample area as a segmented area and the sample city in it, in one write transaction.
    // A sample row that is missing is added, the city without a third octet or a range of its own.
    DbOutcome save(const LocalPlan& plan);

private:
    const DatabaseConnection& m_database;
};

} // namespace tarvo
