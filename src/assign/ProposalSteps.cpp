#include "assign/ProposalSteps.h"

#include "assign/AddressPingCheck.h"
#include "assign/AssignmentMessages.h"
#include "assign/AssignmentServices.h"
#include "assign/AssignmentState.h"
#include "assign/AssignmentWindowParts.h"
#include "assign/DetailFields.h"
#include "assign/IpRecordStore.h"
#include "assign/SelectionPage.h"
#include "assign/UsedAddressModel.h"
#include "core/AppContext.h"
#include "core/WidgetParts.h"
#include "plan/PlanStore.h"
#include "probe/ProbeKit.h"
#include "probe/ProbeState.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace tarvo {

ProposalSteps::ProposalSteps(AssignmentWindowParts& parts) : QObject(&parts.window), m_parts(parts) {}

bool ProposalSteps::placeChosen()
{
    const std::optional<MissingChoice> missing = m_parts.selection.missingChoice();
    if (!missing)
        return true;
    m_parts.context.messenger().inform(&m_parts.window, missing->message, MessageTitle::ErrorBang3,
                                       MessageIcon::Exclamation);
    missing->field->setFocus();
    return false;
}

bool ProposalSteps::reserveFor(const QString& item)
{
    const SelectionPage& selection = m_parts.selection;
    const ReservationPlace place{m_parts.state.octets.AddressPrefix(),
                                 selection.areaText(),
                                 m_parts.details.record().Workgroup,
                                 selection.stateShown() ? selection.stateText() : QString(),
                                 selection.cityText(),
                                 DateIssueText(QDate::currentDate()),
                                 m_parts.context.session().LoginName};
    return succeeded(m_parts.store.ReserveSubnetAddresses(item, place), m_parts.context.messenger(),
                     &m_parts.window);
}

bool ProposalSteps::prepareProposal(const QString& item, bool cancelEnabled, bool closeEnabled)
{
    if (isPseudoEquipment(item) && !reserveFor(item)) {
        m_parts.cancel();
        return false;
    }
    m_parts.details.ResetDetailFields();
    m_parts.details.EnableDetailFields();
    const AssignmentControls& controls = m_parts.controls;
    controls.SSTab1->setCurrentIndex(0);
    controls.cmdSave->setEnabled(false);
    controls.cmdBatal->setEnabled(cancelEnabled);
    controls.cmdTutup->setEnabled(closeEnabled);
    return true;
}

std::optional<EquipmentRow> ProposalSteps::equipmentRow(const QString& item)
{
    auto row = m_parts.plan.equipmentType(item);
    if (!succeeded(row, m_parts.context.messenger(), &m_parts.window))
        return std::nullopt;
    if (!row->has_value()) {
        m_parts.context.messenger().inform(&m_parts.window,
                                           vanishedMessage(QStringLiteral("equipment"), item), VanishedTitle,
                                           MessageIcon::Exclamation);
        m_parts.selection.FillEquipmentCombo();
        return std::nullopt;
    }
    return **row;
}

std::optional<Octet4Range> ProposalSteps::rangeOf(const QString& item)
{
    AssignmentState& state = m_parts.state;
    RangeHandOver& handOver = state.range;
    if (isPseudoEquipment(item)) {
        Octet4Range range = SubnetMask252Range;
        if (item != SubnetMask252) {
            if (!state.city)
                return std::nullopt;
            range = {state.city->StartIPRange, state.city->ToIPRange};
        }
        state.ChosenEquipment = item;
        handOver.CurrentEquipment = PseudoEquipmentCode;
        handOver.Octet4Start = range.Octet4Start;
        handOver.Octet4End = range.Octet4End;
        state.names.NamePart1 = PseudoEquipmentCode;
    } else {
        const std::optional<EquipmentRow> row = equipmentRow(item);
        if (!row)
            return std::nullopt;
        if (handOver.UseEquipmentRange) {
            state.ChosenEquipment = item;
            handOver.CurrentEquipment = row->Eqp_name;
            handOver.Octet4Start = row->Octet4_start;
            handOver.Octet4End = row->Octet4_end;
        }
        state.names.NamePart1 = row->Eqp_code;
    }
    state.RangeSize = handOver.range().RangeSize();
    return handOver.range();
}

std::optional<QList<UsedAddress>> ProposalSteps::showUsedList(const Octet4Range& range,
                                                              const QString& caption)
{
    auto used = m_parts.store.usedList(m_parts.state.octets.AddressPrefix(), range, UsedListOrder::ByOctet4);
    if (!succeeded(used, m_parts.context.messenger(), &m_parts.window))
        return std::nullopt;
    m_parts.usedList.setRows(*used);
    QList<int> octets;
    for (const UsedAddress& row : *used)
        octets << row.IP_4;
    m_parts.state.FreeCount = nextFreeAddress(octets, range, false).FreeCount;
    QLabel* summary = m_parts.controls.lblJumlah;
    summary->setText(caption + QString::number(used->size()) +
                     QStringLiteral("   (Not Use : %1, IP Range %2 to %3)")
                         .arg(m_parts.state.FreeCount)
                         .arg(range.Octet4Start)
                         .arg(range.Octet4End));
    summary->setVisible(!used->isEmpty());
    return *used;
}

void ProposalSteps::checkAddress(const QString& address, std::function<void(bool answered)> then)
{
    stopChecking();
    m_pingScope = new QObject(this);
    m_parts.window.setCursor(Qt::BusyCursor);
    QPointer<QObject> scope = m_pingScope;
    checkAddressInUse(
        m_parts.services.probes.pinger, address, m_pingScope,
        [this, scope, address, then = std::move(then)](PingCheckResult outcome, const PingResult& result) {
            // The check is over: the window is no longer busy with it.
            if (m_pingScope == scope)
                m_pingScope = nullptr;
            if (scope)
                scope->deleteLater();
            m_parts.window.unsetCursor();
            QPointer<QWidget> window(&m_parts.window);
            if (outcome == PingCheckResult::NotChecked)
                tellNotChecked(address, result.Message);
            if (outcome == PingCheckResult::Answered) {
                ProbeState& probe = m_parts.services.probes.state;
                probe.UsedIPAddress = address;
                probe.UsedIPMessage = UsedIPMessageAssignment;
                if (m_parts.services.showAddressInUse)
                    m_parts.services.showAddressInUse(&m_parts.window, m_parts.link);
            }
            if (window)
                then(outcome == PingCheckResult::Answered);
        });
}

void ProposalSteps::stopChecking()
{
    delete m_pingScope;
    m_parts.window.unsetCursor();
}

void ProposalSteps::tellNotChecked(const QString& address, const QString& reason)
{
    if (m_toldNotChecked)
        return;
    m_toldNotChecked = true;
    PingResult result;
    result.Message = reason;
    m_parts.context.messenger().inform(&m_parts.window, addressNotCheckedMessage(address, result),
                                       AddressNotCheckedTitle, MessageIcon::Exclamation);
}

void ProposalSteps::showProposal(const ProposalFields& fields)
{
    m_parts.selection.refreshPreviews();
    const AssignmentControls& controls = m_parts.controls;
    controls.cmdSave->setEnabled(true);
    controls.cmdBatal->setEnabled(true);
    controls.cmdTutup->setEnabled(true);
    m_parts.details.showProposal(fields);
    m_parts.selection.DisableSelectionFields();
    if (m_parts.details.projectBox()->isEnabled())
        m_parts.details.projectBox()->setFocus();
}

QString ProposalSteps::proposedEquipment(const QString& item) const
{
    const AssignmentState& state = m_parts.state;
    if (!state.AddressAnswered && !state.range.UseEquipmentRange)
        return state.ChosenEquipment;
    return item;
}

QString ProposalSteps::proposedWorkgroup() const
{
    return m_parts.state.SegmentMode ? QStringLiteral("Segment") : m_parts.selection.workgroupText();
}

} // namespace tarvo
