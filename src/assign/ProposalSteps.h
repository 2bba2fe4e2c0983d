#pragma once

#include "assign/AssignmentRules.h"
#include "assign/IpRecord.h"
#include "plan/PlanRows.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

namespace tarvo {

struct AssignmentWindowParts;
struct ProposalFields;

// The captions of the used-address summary: a New-mode proposal, and the dedicated assignment and the
// scan.
inline const QString TotalRecordsCaption = QStringLiteral("Total Records : ");
inline const QString TotalRecordsOfScanCaption = QStringLiteral("Total Record(s) : ");

// The steps that the proposals of the three modes share: the test of the place chosen, the reservation
// for "Subnet Mask 252", the range of an equipment item, the used-address list with its summary, the
// ping check with the address-in-use dialog, and the proposal shown in the fields.
class ProposalSteps final : public QObject
{
    Q_OBJECT
public:
    explicit ProposalSteps(AssignmentWindowParts& parts);

    // Shows the first choice still missing and puts the focus on its field; true when none is missing.
    bool placeChosen();

    // For a pseudo item: the network and broadcast records of an empty /24 for "Subnet Mask 252". False
    // after a failure, which it has shown.
    bool reserveFor(const QString& item);

    // The start of every proposal: the reservation for a pseudo item, the detail fields emptied and
    // enabled, the first tab shown, Save disabled, Cancel and Close as given. False when the
    // reservation failed (shown; the window is back in the selection phase).
    bool prepareProposal(const QString& item, bool cancelEnabled, bool closeEnabled);

    // The range of an equipment item, with ChosenEquipment, CurrentEquipment, NamePart1 and RangeSize:
    // a pseudo item's range, the Equipment row's own range, or the range the range-full dialog chose
    // (UseEquipmentRange false). Nothing after a failure or when the row is gone (both shown; the
    // equipment list is read again).
    std::optional<Octet4Range> rangeOf(const QString& item);

    // The Equipment row of an item, read by name; nothing after a failure or when it is gone (shown).
    std::optional<EquipmentRow> equipmentRow(const QString& item);

    // Reads the used addresses of the range into the grid and sums them up in lblJumlah (caption, the
    // count, the free count and the range); sets FreeCount. Nothing after a failure (shown).
    std::optional<QList<UsedAddress>> showUsedList(const Octet4Range& range, const QString& caption);

    // Pings the address, up to four requests, without blocking the window. When a device answers, the
    // address-in-use dialog comes up first. Then calls then with whether it answered; never after
    // stopChecking() or once the window is gone. When no echo request can be sent, the user is told once
    // per window that addresses are not checked.
    void checkAddress(const QString& address, std::function<void(bool answered)> then);
    bool checking() const { return !m_pingScope.isNull(); }
    void stopChecking();

    // Shows a proposal: the previews, Save, Cancel and Close enabled, the fields filled, the selection
    // locked and the focus in the project box.
    void showProposal(const ProposalFields& fields);

    // The equipment text a proposal records: the equipment whose range was full when the proposal comes
    // from the range-full dialog's choice and no device answered, otherwise the item picked.
    QString proposedEquipment(const QString& item) const;
    // The work group a proposal records: "Segment" in a segmented area.
    QString proposedWorkgroup() const;

private:
    void tellNotChecked(const QString& address, const QString& reason);

    AssignmentWindowParts& m_parts;
    QPointer<QObject> m_pingScope;
    bool m_toldNotChecked = false;
};

} // namespace tarvo
