#pragma once

#include "assign/AssignmentServices.h"
#include "assign/ScanController.h"

#include <memory>

namespace tarvo {

class ProposalSteps;
struct AssignmentWindowParts;

// Scan mode of the assignment window. Each pick of an equipment item sets the window up for the range
// (the place, the reservation for "Subnet Mask 252", the range and the used list) and hands the walk
// to the ScanController; this class shows the walk's screens, questions and scan-range dialog, and for
// an answering device the address-in-use dialog and a proposal for its record.
class ScanFlow final : public NetworkScan, private ScanView
{
public:
    ScanFlow(AssignmentWindowParts& parts, ProposalSteps& steps);
    ~ScanFlow() override;

    void ScanNetworkRange() override;
    void stop() override;
    QString busyReason() const override;

private:
    void showScreen(ScanScreen screen) override;
    void showAddress(const QString& address) override;
    void showNote(const QString& text) override;
    void beep() override;
    MessageAnswer ask(const Message& message) override;
    std::optional<int> chooseStartPoint(const Octet4Range& range) override;
    void deviceAnswered(int IPOctet4) override;

    AssignmentWindowParts& m_parts;
    ProposalSteps* m_steps; // owned by the window
    ScanController m_controller;
};

// The scan of an assignment window (AssignmentServices::makeScan).
std::unique_ptr<NetworkScan> makeNetworkScan(AssignmentWindowParts& parts, ProposalSteps& steps);

// The work group that a scan proposal records in a segmented area.
inline const QString ScanSegmentWorkgroup = QStringLiteral("SEGMENT");

} // namespace tarvo
