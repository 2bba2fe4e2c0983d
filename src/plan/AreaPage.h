#pragma once

#include "plan/SettingsPage.h"

class QLabel;
class QRadioButton;

namespace tarvo {

// The Area page: the areas with their first octet, whether they are segmented and their segment code.
class AreaPage final : public TablePage<AreaRow>
{
public:
    AreaPage(SettingsShared& shared, QWidget* parent = nullptr);

    void showPage() override;

private:
    void fillList() override;
    DbResult<bool> showRow(qint64 rowId) override;
    bool inputAccepted() override;
    QLineEdit* clashField(PlanClash clash) const override;
    void clearFields() override;
    void setFieldsEnabled(bool enabled) override;
    QStringList snapshot() const override;
    void restore(const QStringList& values) override;
    void beforeAdd() override;

    AreaRow rowFromFields() const override;
    void ShowSegmentCode();
    void HideSegmentCode();

    QLineEdit* txtRegionName;
    QLineEdit* txtIPOctet1;
    QRadioButton* OptYes;
    QRadioButton* OptNo;
    QLabel* lblSegmentCode;
    QLineEdit* txtSegmentCode;
};

} // namespace tarvo
