#pragma once

#include "plan/SettingsPage.h"

class QComboBox;

namespace tarvo {

// The State page: the states of the areas that are not segmented, with their one-character code. The
// area is chosen first; an area administrator's area is chosen for him.
class StatePage final : public TablePage<StateRow>
{
public:
    StatePage(SettingsShared& shared, QWidget* parent = nullptr);

    void showPage() override;

private:
    void cboRegionState_Click();
    void fillList() override;
    DbResult<bool> showRow(qint64 rowId) override;
    bool inputAccepted() override;
    bool listUsable() const override;
    void setChoosersEnabled(bool enabled) override;
    StateRow rowFromFields() const override;

    QComboBox* cboRegionState;
    QLineEdit* txtStateName;
    QLineEdit* txtStateCode;
};

} // namespace tarvo
