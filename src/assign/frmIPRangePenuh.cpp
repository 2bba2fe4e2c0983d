#include "assign/frmIPRangePenuh.h"

#include "assign/AssignmentMessages.h"
#include "assign/SelectionPage.h"
#include "core/WidgetParts.h"
#include "plan/PlanStore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

frmIPRangePenuh::frmIPRangePenuh(PlanStore& plan, Messenger& messenger, const QString& CurrentEquipment,
                                 QWidget* parent)
    : QDialog(parent), m_plan(plan), m_messenger(messenger), m_full(CurrentEquipment)
{
    setObjectName(QStringLiteral("frmIPRangePenuh"));
    setWindowTitle(QStringLiteral("IP Address Full ..."));

    lblPeralatanPenuh = new QLabel(this);
    lblPeralatanPenuh->setObjectName(QStringLiteral("lblPeralatanPenuh"));
    QFont bold = lblPeralatanPenuh->font();
    bold.setBold(true);
    lblPeralatanPenuh->setFont(bold);
    auto* Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* Label1 = new QLabel(
        QStringLiteral(
            "Please choose other Equipment allocation if IP Address in the same segment is needed ..."),
        Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    auto* Label3 = new QLabel(QStringLiteral("Equipment : "), Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    cboEquipment = new QComboBox(Frame1);
    cboEquipment->setObjectName(QStringLiteral("cboEquipment"));
    lblOctetMulaTamat = new QLabel(Frame1);
    lblOctetMulaTamat->setObjectName(QStringLiteral("lblOctetMulaTamat"));
    cmdOK = makeButton(QStringLiteral("OK"), "cmdOK", this);
    cmdKeluar = makeButton(QStringLiteral("Cancel"), "cmdKeluar", this);

    auto* frame = new QGridLayout(Frame1);
    frame->addWidget(Label1, 0, 0, 1, 2);
    frame->addWidget(Label3, 1, 0);
    frame->addWidget(cboEquipment, 1, 1);
    frame->addWidget(lblOctetMulaTamat, 2, 1);
    frame->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPeralatanPenuh);
    layout->addWidget(Frame1);
    layout->addLayout(buttonRow({cmdOK, cmdKeluar}));
    setMinimumWidth(420);

    connect(cboEquipment, &QComboBox::activated, this, &frmIPRangePenuh::cboEquipment_Click);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdKeluar, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

void frmIPRangePenuh::Form_Load()
{
    lblPeralatanPenuh->setText(QStringLiteral("IP Address allocation for %1 is FULL !").arg(m_full));
    lblOctetMulaTamat->clear();
    cmdOK->setEnabled(false);
    auto types = m_plan.equipmentTypes();
    if (!succeeded(types, m_messenger, this))
        return;
    QStringList names;
    for (const EquipmentRow& row : *types) {
        if (row.Eqp_name != m_full)
            names << row.Eqp_name;
    }
    fillList(cboEquipment, names);
}

void frmIPRangePenuh::cboEquipment_Click()
{
    const QString name = cboEquipment->currentText();
    if (name.isEmpty())
        return;
    auto row = m_plan.equipmentType(name);
    if (!succeeded(row, m_messenger, this))
        return;
    if (!row->has_value()) {
        m_messenger.inform(this, vanishedMessage(QStringLiteral("equipment"), name), VanishedTitle,
                           MessageIcon::Exclamation);
        m_chosen.reset();
        Form_Load();
        return;
    }
    m_chosen = **row;
    lblOctetMulaTamat->setText(
        QStringLiteral("Octet 4 Start : %1  End : %2").arg(m_chosen->Octet4_start).arg(m_chosen->Octet4_end));
    cmdOK->setEnabled(true);
}

} // namespace tarvo
