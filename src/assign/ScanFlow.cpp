#include "assign/ScanFlow.h"

#include "assign/AssignmentState.h"
#include "assign/AssignmentWindowParts.h"
#include "assign/BulkRun.h"
#include "assign/DetailFields.h"
#include "assign/IpRecord.h"
#include "assign/ProposalSteps.h"
#include "assign/SelectionPage.h"
#include "assign/frmNetScanRange.h"
#include "core/AppContext.h"
#include "core/WidgetParts.h"
#include "probe/ProbeKit.h"
#include "probe/ProbeState.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace tarvo {

namespace {

const QString CancelCaption = QStringLiteral("Cancel");
const QString StopCaption = QStringLiteral("Stop");

} // namespace

std::unique_ptr<NetworkScan> makeNetworkScan(AssignmentWindowParts& parts, ProposalSteps& steps)
{
    return std::make_unique<ScanFlow>(parts, steps);
}

ScanFlow::ScanFlow(AssignmentWindowParts& parts, ProposalSteps& steps)
    : m_parts(parts), m_steps(&steps), m_controller(parts.services.probes.pinger, parts.state.scan, *this)
{}

ScanFlow::~ScanFlow() = default;

void ScanFlow::ScanNetworkRange()
{
    const QString item = m_parts.selection.equipmentText();
    if (item.isEmpty() || m_controller.walking() || !m_steps->placeChosen())
        return;
    m_parts.selection.setNamePreview(QString());
    QLabel* summary = m_parts.controls.lblJumlah;
    summary->setText(TotalRecordsOfScanCaption);
    summary->hide();

    std::optional<ScanTarget> target;
    {
        const BusyCursor busy;
        if (!m_steps->prepareProposal(item, false, true))
            return;
        m_parts.controls.cmdBatal->setText(CancelCaption);
        const std::optional<Octet4Range> range = m_steps->rangeOf(item);
        const auto used = range ? m_steps->showUsedList(*range, TotalRecordsOfScanCaption) : std::nullopt;
        if (!used) {
            m_parts.cancel();
            return;
        }
        target = ScanTarget{m_parts.state.octets.AddressPrefix(), *range, {}};
        for (const UsedAddress& row : *used)
            target->recorded << row.IP_4;
    }
    m_controller.run(*target);
}

void ScanFlow::stop()
{
    m_controller.stop();
}

QString ScanFlow::busyReason() const
{
    if (m_controller.walking())
        return QStringLiteral("The network is being scanned. Press Stop first.");
    return {};
}

void ScanFlow::showScreen(ScanScreen screen)
{
    const AssignmentControls& controls = m_parts.controls;
    switch (screen) {
    case ScanScreen::Walking:
        m_parts.window.setCursor(Qt::BusyCursor);
        controls.cmdSave->setEnabled(false);
        controls.cmdBatal->setText(StopCaption);
        controls.cmdBatal->setEnabled(true);
        controls.cmdTutup->setEnabled(false);
        // Nothing of the place may change while the walk runs over it.
        m_parts.selection.DisableSelectionFields();
        return;
    case ScanScreen::BigQuestion:
        controls.cmdBatal->setText(CancelCaption);
        controls.cmdBatal->setEnabled(false);
        return;
    case ScanScreen::ProceedQuestion:
        controls.cmdBatal->setEnabled(false);
        return;
    case ScanScreen::Idle:
        m_parts.window.unsetCursor();
        controls.cmdSave->setEnabled(false);
        controls.cmdBatal->setText(CancelCaption);
        controls.cmdBatal->setEnabled(false);
        controls.cmdTutup->setEnabled(true);
        m_parts.details.DisableDetailFields();
        m_parts.selection.EnableSelectionFields();
        return;
    }
}

void ScanFlow::showAddress(const QString& address)
{
    m_parts.selection.setAddressPreview(address);
}

void ScanFlow::showNote(const QString& text)
{
    m_parts.selection.setNamePreview(text);
}

void ScanFlow::beep()
{
    QApplication::beep();
}

MessageAnswer ScanFlow::ask(const Message& message)
{
    return m_parts.context.messenger().ask(&m_parts.window, message);
}

std::optional<int> ScanFlow::chooseStartPoint(const Octet4Range& range)
{
    // On the heap: should the window go while the dialog is open, it takes the dialog with it.
    QPointer<frmNetScanRange> dialog = new frmNetScanRange(range, &m_parts.window);
    dialog->exec();
    if (!dialog)
        return std::nullopt;
    const std::optional<int> start = dialog->chosenStart();
    delete dialog;
    m_parts.window.update();
    return start;
}

void ScanFlow::deviceAnswered(int IPOctet4)
{
    AssignmentState& state = m_parts.state;
    const SelectionPage& selection = m_parts.selection;
    const QString item = selection.equipmentText();
    state.octets.IPOctet4 = IPOctet4;
    state.ProposedAddress = state.octets.address();
    ProbeState& probe = m_parts.services.probes.state;
    probe.UsedIPAddress = state.ProposedAddress;
    probe.UsedIPMessage = UsedIPMessageAssignment;
    const AssignmentControls& controls = m_parts.controls;
    controls.cmdBatal->setText(CancelCaption);
    controls.cmdBatal->setEnabled(false);
    controls.cmdTutup->setEnabled(false);
    const QPointer<QWidget> window(&m_parts.window);
    if (m_parts.services.showAddressInUse)
        m_parts.services.showAddressInUse(&m_parts.window, m_parts.link);
    if (!window)
        return;
    m_parts.window.unsetCursor();
    state.AddressAnswered = true;

    // The sequence number counts from the equipment's own range start; a pseudo item's is octet 4.
    const bool pseudo = isPseudoEquipment(item);
    Octet4Range numbering = state.range.range();
    if (!pseudo) {
        const std::optional<EquipmentRow> row = m_steps->equipmentRow(item);
        if (!row) {
            m_parts.cancel();
            return;
        }
        state.names.NamePart1 = row->Eqp_code;
        numbering = {row->Octet4_start, row->Octet4_end};
    }
    state.SeqNo = SeqNo(IPOctet4, numbering, pseudo);
    state.names.SeqCode = SeqCode(state.SeqNo);
    const QString workgroup = state.SegmentMode ? ScanSegmentWorkgroup : selection.workgroupText();
    m_steps->showProposal(
        {state.ProposedAddress, state.names.NamingConvention(), item, workgroup, StatusPermanent});
    m_parts.details.setPostalPlace(state.SegmentMode ? selection.areaText() : selection.stateText(),
                                   selection.cityText());
    state.range.UseEquipmentRange = true;
    m_parts.run.proposalShown(true);
}

} // namespace tarvo
