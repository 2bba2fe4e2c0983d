#pragma once

#include "plan/PlanStore.h"
#include "records/RecordReportStore.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {

class AppContext;

// "Tarvo : Report by Location": the records of one place of the address plan. The user narrows the plan
// down to one address prefix with the location cascade (area, state, city, then work group or typed
// segment), chooses what three of the report's five columns print and types a title; a pick in the
// equipment list ("ALL" or an equipment type) then shows the report of the place's records.
//
// Every choice above the work group or segment empties the equipment list and the octets below it, so
// that an equipment pick always reports the place the header names.
class frmRptByLocation final : public QWidget
{
    Q_OBJECT
public:
    explicit frmRptByLocation(AppContext& context, QWidget* parent = nullptr);

    // Runs the query of the place and equipment chosen and shows the report.
    void setReport();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildLocationFrame();
    QWidget* buildFormatFrame();
    void Form_Load();
    void startCascade();
    void cboRegion_Click();
    void cboState_Click();
    void cboCity_Click();
    void cboWorkGroup_Click();
    void txtSegment_Change();
    void FillWorkgroupCombo();
    void FillEquipmentCombo();
    // Empties the equipment list: no report until the place is chosen down to octet 3 again.
    void clearEquipment();
    // Shows the prefix chosen so far in lblIPOctet: the first known octets, "xxx" for the others.
    void showPrefix(const QStringList& octets);
    QString shownIfPresent(const QWidget* control, const QString& text) const;
    bool fill(QComboBox* list, const DbResult<QStringList>& items);
    void showDatabaseError(const QString& error);

    AppContext& m_context;
    PlanStore m_plan;
    RecordReportStore m_records;

    // The place chosen so far.
    int IPOctet1 = 0;
    int IPOctet2 = 0;
    int IPOctet3 = 0;
    int CityOffset = 0;
    bool SegmentMode = false;
    QString SegmentCode;
    QString StateCode;

    QComboBox* cboRegion;
    QLabel* lblState;
    QComboBox* cboState;
    QComboBox* cboCity;
    QLabel* lblWorkGroup;
    QComboBox* cboWorkGroup;
    QLineEdit* txtSegment;
    QComboBox* cboEquipment;
    QLabel* lblIPOctet;
    QComboBox* cboLajur2;
    QComboBox* cboLajur4;
    QComboBox* cboLajur5;
    QLineEdit* txtTajukLaporan;
    QPushButton* cmdButtonClose;
};

} // namespace tarvo
