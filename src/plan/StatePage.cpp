#include "plan/StatePage.h"

#include "core/AppContext.h"
#include "core/WidgetParts.h"
#include "plan/PlanFields.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace tarvo {

StatePage::StatePage(SettingsShared& shared, QWidget* parent)
    : TablePage(shared, QStringLiteral("State"), "lstState", "lblDescState", parent)
{
    cboRegionState = new QComboBox(this);
    cboRegionState->setObjectName(QStringLiteral("cboRegionState"));
    cboRegionState->setMinimumContentsLength(20);
    auto* area = new QHBoxLayout;
    area->addWidget(label("lblRegionState", QStringLiteral("Area :")));
    area->addWidget(cboRegionState);
    area->addStretch();
    m_top->addLayout(area);

    txtStateName = addField(label("lblStateName", QStringLiteral("State Name :")), "txtStateName");
    txtStateCode = addField(label("lblStateCode4State", QStringLiteral("State Code :")), "txtStateCode");
    txtStateCode->setMaximumWidth(60);
    upperCaseWhileTyped(txtStateCode);
    guardLength(txtStateCode, 1);

    setHelp(txtStateName, QStringLiteral("State Name : "),
            QStringLiteral("Set State Name (for Regional LAN)."));
    setHelp(txtStateCode, QStringLiteral("State Code : "),
            QStringLiteral("Set State Code. One character only"));

    connect(cboRegionState, &QComboBox::currentIndexChanged, this, [this] { cboRegionState_Click(); });
}

void StatePage::showPage()
{
    clearList();
    {
        const QSignalBlocker blocker(cboRegionState);
        cboRegionState->clear();
    }
    enterBrowseState();
    // An area administrator works in his own area, whatever its kind.
    offerAreas(cboRegionState, [this] { return m_shared.store.areasWithStates(); });
}

void StatePage::cboRegionState_Click()
{
    // A state of the area chosen before can no longer be updated or deleted.
    forgetPickedRow();
    clearFields();
    if (cboRegionState->currentText().isEmpty())
        clearList();
    else
        fillList();
    refreshBrowseButtons();
}

bool StatePage::listUsable() const
{
    // An area administrator's area is the only one offered, even when he has none.
    return !cboRegionState->currentText().isEmpty() || m_shared.context.session().LoginGroup == GroupKawasan;
}

void StatePage::setChoosersEnabled(bool enabled)
{
    cboRegionState->setEnabled(enabled);
}

void StatePage::fillList()
{
    if (!listUsable())
        return clearList();
    setListRows(m_shared.store.statesOf(cboRegionState->currentText()),
                [](const StateRow& row) { return row.State_name; });
}

DbResult<bool> StatePage::showRow(qint64 rowId)
{
    auto row = m_shared.store.stateByRowId(rowId);
    if (!row || !*row)
        return row ? DbResult<bool>(false) : DbResult<bool>(row.failure());
    txtStateName->setText((*row)->State_name);
    txtStateCode->setText((*row)->Abbr_state);
    return true;
}

bool StatePage::inputAccepted()
{
    if (!txtStateCode->text().isEmpty())
        return true;
    warn(PlanText::pleaseEnter(captionOf(txtStateCode)), QStringLiteral("Error !!!"), txtStateCode);
    return false;
}

StateRow StatePage::rowFromFields() const
{
    return {0, txtStateName->text(), txtStateCode->text(), cboRegionState->currentText()};
}

} // namespace tarvo
