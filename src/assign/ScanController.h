#pragma once

#include "assign/AddressPingCheck.h"
#include "assign/AssignmentRules.h"
#include "core/Messenger.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <optional>

namespace tarvo {

class Pinger;
struct ScanMembers;

// What one run of the scan walks: the address prefix (with its trailing dot), the octet-4 range, and
// the fourth octets of the records inside it, as the used list read them (a repeated one counts once).
struct ScanTarget
{
    QString AddressPrefix;
    Octet4Range range;
    QList<int> recorded;
};

// How the window looks at each step of a scan.
enum class ScanScreen
{
    Walking,         // hourglass; Save disabled, "Stop" enabled, Close disabled, the place locked
    BigQuestion,     // "Cancel", disabled
    ProceedQuestion, // the Stop button disabled
    Idle,            // no scan: Save and "Cancel" disabled, Close enabled, the detail fields locked
};

// What the scan shows and asks; the assignment window supplies it, a test records it.
class ScanView
{
public:
    virtual ~ScanView() = default;
    virtual void showScreen(ScanScreen screen) = 0;
    // The address preview.
    virtual void showAddress(const QString& address) = 0;
    // The name preview: "Scanning", the progress dots, "    ?" or nothing.
    virtual void showNote(const QString& text) = 0;
    virtual void beep() = 0;
    virtual MessageAnswer ask(const Message& message) = 0;
    // The scan-range dialog: the start point chosen from the list; nothing when it closed without Start.
    virtual std::optional<int> chooseStartPoint(const Octet4Range& range) = 0;
    // A device answered at this fourth octet: the address-in-use dialog and the proposal. The walk is
    // suspended when this returns.
    virtual void deviceAnswered(int IPOctet4) = 0;
};

// The network scan's walk of a range. It skips the recorded addresses, pings the others and stops at
// the first one that answers; ranges of more than 30 addresses ask once whether to scan at all and offer
// the start points of the scan-range dialog. Ranges of any size ask "Proceed with 30 more ? ..." at
// every fourth octet 30k + 1 past the range start, except at the one equal to ScanPhase (1 once the
// big-scan question was answered Yes). The walk keeps its place in ScanPosition, so the next run resumes
// after an answering device.
//
// The addresses between two Proceed points (at most 30) are pinged together, each with the usual check
// of up to four requests, and the results are read in ascending order: the first answering address, the
// questions, ScanPosition and the messages are those of a walk that pings one address after the other,
// while a silent block costs one check (0.8 s) instead of thirty. At most 30 echoes are in flight. Results
// that come in while the address-in-use dialog is on screen only wait: none reaches it or opens another.
class ScanController final : public QObject
{
    Q_OBJECT
public:
    ScanController(Pinger& pinger, ScanMembers& members, ScanView& view, QObject* parent = nullptr);
    ~ScanController() override;

    // A run of the scan (the pick of an equipment item in Scan mode), once the window has shown the used
    // list: a suspended walk resumes only for the same prefix and range, another starts at the range's
    // beginning.
    void run(const ScanTarget& target);

    // Stop: the pings in flight are dropped at once; a walk under way ends with its message from the
    // event loop. A suspended walk is forgotten.
    void stop();

    // A walk is under way (pings in flight or results being read).
    bool walking() const { return m_phase == Phase::Walking || m_phase == Phase::Stopping; }

private:
    enum class Phase
    {
        Idle,
        Walking,
        Holding, // a question or the address-in-use dialog is on screen
        Stopping,
    };

    bool askBigScanQuestion();
    void advance();
    bool proceedPointAt(int octet4) const;
    bool askProceed();
    void launchBlock(int from);
    void launchMore();
    void ShowScanningProgress();
    void deviceAnswered(int octet4);
    // Takes the result by value: the block it came from is dropped before the message is built.
    void notChecked(int octet4, PingResult result);
    // The end of a walk with its message (the range's end, or Stop), or quietly (No to a question).
    void finish();
    void endQuietly();
    void dropBlock();

    Pinger& m_pinger;
    ScanMembers& m_members;
    ScanView& m_view;
    Phase m_phase = Phase::Idle;
    ScanTarget m_target;
    QSet<int> m_recorded;
    int ScanningStep = 0;

    // The block being pinged: its end, the context of its checks (deleted to drop them) and the results.
    QPointer<QObject> m_block;
    int m_blockEnd = -1;
    int m_nextLaunch = 0;
    int m_inFlight = 0;
    QHash<int, std::pair<PingCheckResult, PingResult>> m_results;
    int m_progressAt = -1; // the address whose progress dots are shown
    int m_proceedAt = -1;  // the Proceed point answered Yes in this run

    // The walk that an answering device suspended; only the same prefix and range resume it.
    std::optional<std::pair<QString, Octet4Range>> m_suspended;
    quint64 m_ticket = 0; // an end queued by Stop is dropped when another run starts
};

// The start points of the scan-range dialog: the range start and every 30th value after it.
QList<int> scanStartPoints(const Octet4Range& range);

// The scan's questions and messages.
Message bigScanQuestion(int RangeSize);
Message proceedQuestion();
Message allRecordedMessage();
Message scanFinishedMessage();
// The scan cannot ping (no ICMP permission): it ends at the address, which it could not check.
Message scanNotCheckedMessage(const QString& address, const PingResult& result);

// A range of more than this many addresses asks before it is scanned; a range of any size asks again
// before every block of this many (at 30k + 1).
inline constexpr int ScanBlockSize = 30;
inline constexpr int ScanEchoesInFlight = 30;
// ScanPhase once the big-scan question was answered Yes (until Cancel or No asks it again).
inline constexpr int ScanPhaseBigScanAnswered = 1;
inline const QString ScanningNote = QStringLiteral("Scanning");
inline const QString AnsweredNote = QStringLiteral("    ?");

} // namespace tarvo
