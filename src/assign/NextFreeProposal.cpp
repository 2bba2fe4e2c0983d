#include "assign/NextFreeProposal.h"

#include "assign/AssignmentState.h"
#include "assign/AssignmentWindowParts.h"
#include "assign/BulkRun.h"
#include "assign/DetailFields.h"
#include "assign/ProposalSteps.h"
#include "assign/SelectionPage.h"
#include "assign/frmIPRangePenuh.h"
#include "core/AppContext.h"
#include "core/WidgetParts.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

namespace tarvo {

NextFreeProposal::NextFreeProposal(AssignmentWindowParts& parts, ProposalSteps& steps)
    : m_parts(parts), m_steps(steps)
{}

void NextFreeProposal::pick()
{
    if (!m_steps.placeChosen())
        return;
    const QString item = m_parts.selection.equipmentText();
    if (item.isEmpty())
        return;
    AssignmentState& state = m_parts.state;
    m_parts.controls.lblJumlah->hide();

    std::optional<FreeAddress> free;
    {
        const BusyCursor busy;
        if (!m_steps.prepareProposal(item, m_parts.run.AutoSave(), false))
            return;
        if (const auto& kept = m_parts.run.keptDetails())
            m_parts.details.putKeptDetails(*kept);

        const std::optional<Octet4Range> range = m_steps.rangeOf(item);
        const auto used = range ? m_steps.showUsedList(*range, TotalRecordsCaption) : std::nullopt;
        if (!used) {
            m_parts.cancel();
            return;
        }
        QList<int> octets;
        for (const UsedAddress& row : *used)
            octets << row.IP_4;
        free = nextFreeAddress(octets, *range, isPseudoEquipment(item));
    }
    if (free->rangeFull()) {
        rangeFull(item);
        return;
    }
    state.octets.IPOctet4 = *free->IPOctet4;
    state.ProposedAddress = state.octets.address();
    m_parts.selection.setAddressPreview(state.ProposedAddress);
    // Nothing of the place may change while the address is being checked.
    m_parts.selection.DisableSelectionFields();
    m_steps.checkAddress(state.ProposedAddress,
                         [this, item, found = *free](bool answered) { propose(item, found, answered); });
}

void NextFreeProposal::propose(const QString& item, const FreeAddress& free, bool answered)
{
    AssignmentState& state = m_parts.state;
    state.AddressAnswered = answered;
    state.SeqNo = free.SeqNo;
    state.names.SeqCode = free.SeqCode;
    // A run that keeps the first record's details keeps its status too.
    const auto& kept = m_parts.run.keptDetails();
    const QString status = kept && !kept->Status.isEmpty() ? kept->Status : StatusPermanent;
    m_steps.showProposal({state.ProposedAddress, state.names.NamingConvention(),
                          m_steps.proposedEquipment(item), m_steps.proposedWorkgroup(), status});
    state.ProposedHostName = m_parts.details.hostName();
    // The range-full dialog's choice served this one proposal.
    state.range.UseEquipmentRange = true;
    state.SavedEquipment.clear();
    m_parts.run.proposalShown(answered);
}

void NextFreeProposal::rangeFull(const QString& item)
{
    AssignmentState& state = m_parts.state;
    state.SavedEquipment = item;
    QPointer<QWidget> window(&m_parts.window);
    frmIPRangePenuh dialog(m_parts.plan, m_parts.context.messenger(), state.range.CurrentEquipment,
                           &m_parts.window);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    if (!window)
        return;
    m_parts.controls.cmdTutup->setEnabled(true);
    const std::optional<EquipmentRow> choice = dialog.chosenEquipment();
    if (!chosen || !choice) {
        // Nothing is proposed; the next pick takes the equipment's own range again.
        state.range.UseEquipmentRange = true;
        state.SavedEquipment.clear();
        m_parts.cancel();
        return;
    }
    state.range = {choice->Octet4_start, choice->Octet4_end, false, choice->Eqp_name};
    m_parts.selection.showEquipment(choice->Eqp_name);
    pick();
}

} // namespace tarvo
