#include "assign/DedicatedProposal.h"

#include "assign/AssignmentMessages.h"
#include "assign/AssignmentState.h"
#include "assign/AssignmentWindowParts.h"
#include "assign/BulkRun.h"
#include "assign/DetailFields.h"
#include "assign/IpRecordStore.h"
#include "assign/ProposalSteps.h"
#include "assign/SelectionPage.h"
#include "core/AppContext.h"
#include "core/WidgetParts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace tarvo {

QString octet4OutOfRangeMessage(const QString& equipment, int start, int end)
{
    return QStringLiteral("Your IP Octet 4 is not in %1 IP range (%2 - %3)!")
        .arg(equipment)
        .arg(start)
        .arg(end);
}

DedicatedProposal::DedicatedProposal(AssignmentWindowParts& parts, ProposalSteps& steps)
    : m_parts(parts), m_steps(steps)
{}

void DedicatedProposal::AssignDedicatedAddress()
{
    if (!m_steps.placeChosen())
        return;
    const QString item = m_parts.selection.equipmentText();
    // The typed octet 4 in its plain decimal form: "007" is 7.
    const std::optional<int> octet4 = typedOctet4(m_parts.selection.countText());
    if (item.isEmpty() || !octet4)
        return;
    AssignmentState& state = m_parts.state;
    m_parts.selection.setNamePreview(QString());
    m_parts.controls.lblJumlah->hide();

    std::optional<Octet4Range> range;
    {
        const BusyCursor busy;
        if (!m_steps.prepareProposal(item, false, true))
            return;
        m_parts.selection.countBox()->setEnabled(false);
        range = m_steps.rangeOf(item);
        if (!range || !m_steps.showUsedList(*range, TotalRecordsOfScanCaption)) {
            m_parts.cancel();
            return;
        }
        state.octets.IPOctet4 = *octet4;
        state.ProposedAddress = state.octets.address();
        m_parts.selection.setAddressPreview(state.ProposedAddress);
    }
    if (showRecorded())
        return;
    if (isPseudoEquipment(item)) {
        state.SeqNo = *octet4;
    } else if (!range->contains(*octet4)) {
        m_parts.context.messenger().inform(
            &m_parts.window,
            octet4OutOfRangeMessage(state.range.CurrentEquipment, range->Octet4Start, range->Octet4End),
            Octet4OutOfRangeTitle, MessageIcon::Critical);
        QLineEdit* box = m_parts.selection.countBox();
        box->setEnabled(true);
        box->setFocus();
        return;
    } else {
        state.SeqNo = SeqNo(*octet4, *range, false);
    }
    m_parts.selection.DisableSelectionFields();
    m_steps.checkAddress(state.ProposedAddress, [this, item](bool answered) { propose(item, answered); });
}

bool DedicatedProposal::showRecorded()
{
    auto recorded = m_parts.store.byAddress(m_parts.state.ProposedAddress);
    if (!succeeded(recorded, m_parts.context.messenger(), &m_parts.window)) {
        m_parts.cancel();
        return true;
    }
    if (!recorded->has_value())
        return false;
    m_parts.context.messenger().inform(&m_parts.window, AddressExistsMessage, AddressExistsTitle,
                                       MessageIcon::Information);
    const AssignmentControls& controls = m_parts.controls;
    controls.cmdSave->setEnabled(false);
    controls.cmdBatal->setEnabled(true);
    controls.cmdTutup->setEnabled(true);
    m_parts.selection.DisableSelectionFields();
    m_parts.details.ShowIPRecord(**recorded);
    m_parts.details.DisableDetailFields();
    m_parts.selection.setNamePreview(m_parts.details.hostName());
    return true;
}

void DedicatedProposal::propose(const QString& item, bool answered)
{
    AssignmentState& state = m_parts.state;
    state.AddressAnswered = answered;
    state.names.SeqCode = SeqCode(state.SeqNo);
    m_steps.showProposal({state.ProposedAddress, state.names.NamingConvention(),
                          m_steps.proposedEquipment(item), m_steps.proposedWorkgroup(), StatusPermanent});
    state.range.UseEquipmentRange = true;
    m_parts.run.proposalShown(answered);
}

} // namespace tarvo
