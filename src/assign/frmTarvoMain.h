#pragma once

#include "assign/AssignmentServices.h"
#include "assign/AssignmentState.h"
#include "assign/AssignmentWindowParts.h"
#include "assign/IpRecordStore.h"
#include "core/WindowTracker.h"
#include "plan/PlanStore.h"
#include "probe/AssignmentWindowLink.h"

#include <QWidget>

#include <memory>

namespace tarvo {

class AppContext;
class DedicatedProposal;
class NextFreeProposal;
class ProposalSteps;
class SaveFlow;

// The assignment window in its three modes, fixed when it opens: "Assign New IP Address" proposes the
// next free addresses of a range one by one or in runs, "Assign Dedicated IP Address" records an
// address whose octet 4 the user types, "Scan Network ..." walks a range for devices without a record.
// It holds the controls and wires them: the selection area, the detail fields on the tabs, the used
// list, the buttons, the run; the flows of each mode do the work.
class frmTarvoMain final : public QWidget, public AssignmentWindowLink, public BusyWindow
{
    Q_OBJECT
public:
    frmTarvoMain(AppContext& context, AssignmentServices services, QWidget* parent = nullptr);
    ~frmTarvoMain() override;

    // The pick of an equipment item: a proposal of the window's mode.
    void cboEquipment_Click();
    void cmdSave_Click();
    // Cancel, or Stop during an automatic run or a scan: back to the selection with the place kept.
    void cmdBatal_Click();
    void cmdTutup_Click();

    // The members the window's parts share (the scan controller works on them too).
    AssignmentState& state() { return m_state; }
    AssignmentWindowParts& parts() { return *m_parts; }

    // AssignmentWindowLink: what the address-in-use dialog reaches.
    QString bilanganText() const override;
    void showRecordNumber() override;
    void markProposalInUse() override;
    void closeTimeOperation() override;
    void setStaffNo(const QString& text) override;
    void setLanId(const QString& text) override;
    void setRemarks(const QString& text) override;

    // BusyWindow: a ping in flight, a run or a scan under way.
    QString busyReason() const override;

private:
    void buildControls();
    void wireRun();
    // The opening's frame: the detail fields, the buttons and the labels as at opening.
    void Form_Load();
    // The first-run test: an address plan not set up yet opens the local-setting dialog.
    void firstRunTest();
    void backToSelection();
    void showProgress(int BulkProgress);
    void showInUseMarker(bool shown);
    void reloadAfterDatabaseChange();

    AppContext& m_context;
    AssignmentServices m_services;
    AssignmentState m_state;
    IpRecordStore m_store;
    PlanStore m_plan;
    BulkRun* m_run = nullptr;
    UsedAddressModel* m_usedList = nullptr;
    SelectionPage* m_selection = nullptr;
    DetailFields* m_details = nullptr;
    AssignmentControls m_controls;
    std::unique_ptr<AssignmentWindowParts> m_parts;
    ProposalSteps* m_steps = nullptr;
    std::unique_ptr<NextFreeProposal> m_nextFree;
    std::unique_ptr<DedicatedProposal> m_dedicated;
    std::unique_ptr<SaveFlow> m_save;
    std::unique_ptr<NetworkScan> m_scan;
};

// The window's caption in each mode.
QString assignmentCaption(AssignMode mode);

} // namespace tarvo
