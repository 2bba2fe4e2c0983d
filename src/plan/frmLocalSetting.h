#pragma once

#include "plan/LocalSetting.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace tarvo {

class AppContext;

// "Local IP Setting": the first-run dialog that proposes a minimal address plan from the workstation's
// own address, one segmented area and one city in it, and saves it over the sample area and city. The
// assignment window runs it modally while the plan still holds only the sample rows
// (needsLocalSetting); it is accepted when it saved.
class frmLocalSetting final : public QDialog
{
    Q_OBJECT
public:
    frmLocalSetting(AppContext& context, const LocalAddress& localAddress, QWidget* parent = nullptr);
    ~frmLocalSetting() override;

private:
    void Form_Load(const LocalAddress& localAddress);
    void cmdUpdateSetting_Click();
    void cmdCancel_Click();
    void showDatabaseError(const QString& error);

    AppContext& m_context;
    LocalSettingStore m_store;

    QLabel* lblLocalIP;
    QLabel* lbltxtSegment;
    QLineEdit* txtRegionName;
    QLineEdit* txtIPOctet1;
    QLineEdit* txtSegmentCode;
    QLineEdit* txtBandar;
    QLineEdit* txtKodBandar;
    QLineEdit* txtIPOctet2;
};

} // namespace tarvo
