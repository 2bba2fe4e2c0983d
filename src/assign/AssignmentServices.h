#pragma once

#include "core/WindowTracker.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace tarvo {

class AssignmentWindowLink;
class ProposalSteps;
struct AssignmentWindowParts;
struct ProbeKit;

// Runs the address-in-use dialog of the assignment window modally over parent, for the address that the
// probe state hands over; the dialog writes the device's details back through link.
using AddressInUseOpener = std::function<void(QWidget* parent, AssignmentWindowLink& link)>;

// Opens the unit/division window modally, preset to the place the unit hand-over names, and runs refill
// when it closes.
using UnitWindowOpener = std::function<void(QWidget* opener, OpenerCallback refill)>;

// Runs the first-run local-setting dialog modally.
using LocalSettingRunner = std::function<void(QWidget* parent)>;

// The walk of a range in Scan mode. The assignment window hands the pick of an equipment item to it and
// tells it when the user presses Stop or Cancel; it works on the window's parts (the selection, the
// detail fields, the used list, the buttons, the range hand-over and the scan members of the state) and
// proposes through the steps the other modes share (the set-up of the fields, the range, the used list,
// the ping check with the address-in-use dialog, the proposal shown).
class NetworkScan
{
public:
    virtual ~NetworkScan() = default;
    // The pick of an equipment item in Scan mode; the scan members tell where the walk stands.
    virtual void ScanNetworkRange() = 0;
    // Stop or Cancel: the walk under way ends; nothing more is probed or proposed.
    virtual void stop() = 0;
    // Why the window cannot be closed by the program now (a walk under way); empty when it can.
    virtual QString busyReason() const = 0;
};

// Makes the scan of a window from its parts and the shared proposal steps.
using NetworkScanFactory =
    std::function<std::unique_ptr<NetworkScan>(AssignmentWindowParts& parts, ProposalSteps& steps)>;

// What the assignment window reaches outside its own subsystem. The program supplies the real ones;
// tests hand in fakes.
struct AssignmentServices
{
    ProbeKit& probes; // the pinger, the probe state and the services of the address-in-use dialog
    AddressInUseOpener showAddressInUse;
    UnitWindowOpener openUnitWindow;
    LocalSettingRunner runLocalSetting;
    NetworkScanFactory makeScan; // empty: a pick in Scan mode walks nothing
};

// The address-in-use dialog frmIPAddGuna over the program's probe kit.
AddressInUseOpener addressInUseDialog(ProbeKit& probes);

} // namespace tarvo
