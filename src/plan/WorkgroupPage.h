#pragma once

#include "plan/SettingsPage.h"

namespace tarvo {

// The Work Group page: the work groups with their one-character code and third-octet digit.
class WorkgroupPage final : public TablePage<WorkgroupRow>
{
public:
    WorkgroupPage(SettingsShared& shared, QWidget* parent = nullptr);

private:
    void fillList() override;
    DbResult<bool> showRow(qint64 rowId) override;
    bool inputAccepted() override;

    WorkgroupRow rowFromFields() const override;

    QLineEdit* txtWorkgroupName;
    QLineEdit* txtWorkgroupCode;
    QLineEdit* txtWGOctet3;
};

} // namespace tarvo
