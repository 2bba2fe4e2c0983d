#pragma once

#include "plan/SettingsPage.h"

namespace tarvo {

// The Equipment page: the equipment types with their code of up to three characters and their range of
// fourth octets.
class EquipmentPage final : public TablePage<EquipmentRow>
{
public:
    EquipmentPage(SettingsShared& shared, QWidget* parent = nullptr);

private:
    void fillList() override;
    DbResult<bool> showRow(qint64 rowId) override;
    bool inputAccepted() override;
    bool acceptedAfterChecks() override;

    EquipmentRow rowFromFields() const override;

    QLineEdit* txtEquipmentName;
    QLineEdit* txtEquipmentCode;
    QLineEdit* txtOctet4Start;
    QLineEdit* txtOctet4End;
};

} // namespace tarvo
