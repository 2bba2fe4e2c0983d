#include "assign/SaveFlow.h"

#include "assign/AddressAssignment.h"
#include "assign/AssignLog.h"
#include "assign/AssignmentMessages.h"
#include "assign/AssignmentState.h"
#include "assign/AssignmentWindowParts.h"
#include "assign/BulkRun.h"
#include "assign/DetailFields.h"
#include "assign/IpRecordStore.h"
#include "assign/ProposalSteps.h"
#include "assign/SelectionPage.h"
#include "assign/UsedAddressModel.h"
#include "core/AppContext.h"
#include "core/WidgetParts.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

namespace tarvo {

SaveFlow::SaveFlow(AssignmentWindowParts& parts) : m_parts(parts) {}

void SaveFlow::cmdSave_Click()
{
    m_parts.context.unitDivisionHandOver().UnitDivFromMain = false;
    m_parts.details.hideUnitPicture();
    // The host name is checked whether the user typed it or it was proposed: another workstation may
    // have recorded it since.
    const QString name = m_parts.details.hostName();
    auto holder = m_parts.store.byHostName(name);
    if (!succeeded(holder, m_parts.context.messenger(), &m_parts.window)) {
        m_parts.run.saveFailed();
        return;
    }
    if (holder->has_value()) {
        duplicateHostName(name, (*holder)->IP_Address);
        m_parts.run.saveFailed();
        return;
    }
    if (!m_parts.run.confirmSave())
        return;
    if (m_parts.run.AutoSave()) {
        m_parts.controls.cmdBatal->setEnabled(true);
        m_parts.controls.cmdTutup->setEnabled(false);
    }
    SaveIPRecord();
}

void SaveFlow::SaveIPRecord()
{
    m_parts.controls.cmdSave->setEnabled(false);
    const SelectionPage& selection = m_parts.selection;
    IpRecord record = m_parts.details.record();
    record.Region = selection.areaText();
    record.StateOwner = selection.stateShown() ? selection.stateText() : QString();
    record.CityOwner = selection.cityText();

    std::optional<DbResult<AssignmentSaved>> saved;
    {
        const BusyCursor busy;
        const PendingAssignLog log(m_parts.context.database(), m_parts.context.program().ProgramFolder);
        saved = saveAssignment(m_parts.store, record, m_parts.context.session().LoginName,
                               QDateTime::currentDateTime(), log);
    }
    if (!succeeded(*saved, m_parts.context.messenger(), &m_parts.window)) {
        // Nothing was stored or logged; the proposal stays for another try.
        m_parts.controls.cmdSave->setEnabled(true);
        m_parts.run.saveFailed();
        return;
    }
    const AssignmentSaved& outcome = **saved;
    if (!outcome.result.saved()) {
        m_parts.controls.cmdSave->setEnabled(true);
        refused(outcome.result);
        m_parts.run.saveFailed();
        return;
    }
    showSavedList();
    if (!outcome.logError.isEmpty()) {
        // The record stays saved; an automatic run does not go on past the failed log.
        m_parts.context.messenger().inform(&m_parts.window, AssignLogErrorMessage, AssignLogErrorTitle,
                                           MessageIcon::Information);
        if (m_parts.run.AutoSave()) {
            m_parts.run.saveFailed();
            return;
        }
    }
    m_parts.run.saved(m_parts.details.keptDetails());
}

void SaveFlow::refused(const SaveResult& result)
{
    Messenger& messenger = m_parts.context.messenger();
    switch (result.problem) {
    case SaveProblem::DuplicateHostName:
        duplicateHostName(m_parts.details.hostName(), result.clashAddress);
        break;
    case SaveProblem::AddressTaken:
        messenger.inform(&m_parts.window, AddressExistsMessage, AddressExistsTitle, MessageIcon::Information);
        break;
    case SaveProblem::MalformedAddress:
        messenger.inform(&m_parts.window, missingChoiceMessage(true, QStringLiteral("IP Address :")),
                         MessageTitle::ErrorBang3, MessageIcon::Exclamation);
        m_parts.controls.SSTab1->setCurrentIndex(0);
        m_parts.details.addressBox()->setFocus();
        break;
    case SaveProblem::None:
        break;
    }
}

void SaveFlow::duplicateHostName(const QString& name, const QString& clashAddress)
{
    QApplication::beep();
    m_parts.context.messenger().inform(&m_parts.window, duplicateHostNameMessage(name, clashAddress),
                                       DuplicateHostNameTitle, MessageIcon::Information);
    m_parts.controls.SSTab1->setCurrentIndex(0);
    m_parts.details.hostNameBox()->setFocus();
}

void SaveFlow::showSavedList()
{
    const AssignmentState& state = m_parts.state;
    auto used = m_parts.store.usedList(state.octets.AddressPrefix(), state.range.range(),
                                       UsedListOrder::ByAddressLength);
    if (!succeeded(used, m_parts.context.messenger(), &m_parts.window))
        return;
    m_parts.usedList.setRows(*used);
    QLabel* summary = m_parts.controls.lblJumlah;
    summary->setText(TotalRecordsCaption + QString::number(used->size()));
    summary->setVisible(!used->isEmpty());
    if (!used->isEmpty())
        m_parts.controls.gridData->selectRow(static_cast<int>(used->size()) - 1);
}

} // namespace tarvo
