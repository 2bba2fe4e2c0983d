#pragma once

#include "plan/PlanRows.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace tarvo {

class Messenger;
class PlanStore;

// "IP Address Full ...": shown when every address of the picked range is recorded. It names the
// equipment whose allocation is full, lists the other equipment types and shows the octet-4 range of the
// one picked. OK hands that equipment back (the assignment window proposes from its range); Cancel
// ends the proposal.
class frmIPRangePenuh final : public QDialog
{
    Q_OBJECT
public:
    // CurrentEquipment: the equipment whose range is full ("NW" for a pseudo item).
    frmIPRangePenuh(PlanStore& plan, Messenger& messenger, const QString& CurrentEquipment,
                    QWidget* parent = nullptr);

    // The equipment picked, once OK is enabled.
    const std::optional<EquipmentRow>& chosenEquipment() const { return m_chosen; }

private:
    void Form_Load();
    void cboEquipment_Click();

    PlanStore& m_plan;
    Messenger& m_messenger;
    QString m_full;
    std::optional<EquipmentRow> m_chosen;

    QLabel* lblPeralatanPenuh = nullptr;
    QLabel* lblOctetMulaTamat = nullptr;
    QComboBox* cboEquipment = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdKeluar = nullptr;
};

} // namespace tarvo
