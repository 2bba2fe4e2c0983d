#pragma once

#include "core/AppState.h"
#include "core/Messenger.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace tarvo {

// The mode of the assignment window, fixed when it opens; ScanMode counts before DedicatedMode.
enum class AssignMode
{
    New,
    Dedicated,
    Scan,
};
AssignMode assignModeOf(const AssignmentModes& modes);

// The user details that a run keeps for its following addresses once the user agrees.
struct KeptDetails
{
    QString Project;
    QString Remarks;
    QString Status;
    QString Username;
    QString StaffNo;
    QString LANID;
    QString TelNo;
    QString FaxNo;
};

// The run of the assignment window: one address, or in New mode a bulk run of up to 256 consecutive
// addresses with the same user details and, when the user agrees, automatic saving. It holds the
// run's counters, questions and kept details and tells the window what comes next; the window makes
// the proposals, saves the records and shows everything.
//
// States: Idle (no proposal stands), Proposed (a proposal is on screen), AfterSave (a save continues
// the run and the next proposal is on its way). Cancel (or Stop) leads back to Idle from any state.
// The next proposal and an automatic save are asked for through queued signals, so a run of 256
// addresses never nests, and a Stop clicked in between drops whatever was still queued.
class BulkRun final : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,
        Proposed,
        AfterSave,
    };

    // Shows a question and returns the answer (the window passes its messenger).
    using Ask = std::function<MessageAnswer(const Message&)>;

    explicit BulkRun(Ask ask, QObject* parent = nullptr);

    void setMode(AssignMode mode) { m_mode = mode; }
    // The count box changed (New mode: the number of addresses, 1 to 256): the run starts counting anew.
    void setBulkCount(int count);

    // The details to put back into the fields of a new proposal: those of the run's first record once
    // the user chose to keep them. The window puts the status back after it refilled the status list.
    const std::optional<KeptDetails>& keptDetails() const { return m_kept; }

    // A proposal is on screen, after its ping check (and the address-in-use dialog when the address
    // answered). In New mode with more than one address asked for it counts, unless the address answered
    // or the in-use marker stands. In an automatic run the save is asked for next.
    void proposalShown(bool addressAnswered);

    // The address-in-use dialog read the device's details ("X" on the counter): the proposal documents a
    // device, so it does not count and its save is followed by a further proposal.
    void markInUse();

    // Before a save: asks "Save record to Tarvo database ?" unless the run saves automatically. True to
    // go on with the save.
    bool confirmSave();

    // The record was saved and logged; savedDetails are the fields of the record just saved. Asks the
    // run's questions when they are due, then either asks for the next proposal or completes the run.
    void saved(const KeptDetails& savedDetails);

    // The save stored nothing (a database error, a clash) or its log could not be written. A manual run
    // keeps the proposal for the user; an automatic run ends (stopped).
    void saveFailed();

    // Cancel, or Stop during an automatic run: the run's counters, answers, kept details and in-use
    // marker are cleared and anything still queued is dropped.
    void cancel();

    State state() const { return m_state; }
    int BulkCount() const { return m_count; }
    int BulkProgress() const { return m_progress; }
    bool AutoSave() const { return m_autoSave; }
    bool inUseMarker() const { return m_marker; }

Q_SIGNALS:
    // A proposal counted: lblRekodKe and lblBilangan show the number (blue).
    void progressChanged(int BulkProgress);
    // The in-use marker was put on or taken off lblBilangan.
    void inUseMarkerChanged(bool shown);
    // An automatic run started or ended: cmdBatal reads "Stop" while it runs, "Cancel" otherwise.
    void automaticChanged(bool automatic);
    // Automatic run: save the proposal on screen now, without the question (queued).
    void saveRequested();
    // Make the next proposal of the run: the equipment pick again (queued).
    void proposalRequested();
    // The run is complete: the window goes back to the selection phase with the place kept.
    void finished();
    // An automatic run ended because a save failed: the window goes back as on Cancel.
    void stopped();

private:
    void requestLater(void (BulkRun::*signal)());
    void setMarker(bool shown);
    void reset();

    Ask m_ask;
    AssignMode m_mode = AssignMode::New;
    State m_state = State::Idle;
    int m_count = 1;
    int m_progress = 0;
    bool m_sameDetailsAsked = false;
    bool m_sameUserDetails = false;
    bool m_autoSave = false;
    bool m_autoSaveAsked = false;
    bool m_marker = false;
    std::optional<KeptDetails> m_kept;
    quint64 m_ticket = 0; // requests queued under an older ticket are dropped
};

// The two questions of a run, for k further addresses.
Message sameUserDetailsQuestion(int k);
Message autoSaveQuestion(int k);
// The question before a manual save.
Message saveRecordQuestion();

} // namespace tarvo
