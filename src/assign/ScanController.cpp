#include "assign/ScanController.h"

#include "assign/AssignmentState.h"

namespace tarvo {

QList<int> scanStartPoints(const Octet4Range& range)
{
    QList<int> points;
    for (int x = range.Octet4Start; x <= range.Octet4End; x += ScanBlockSize)
        points << x;
    return points;
}

Message bigScanQuestion(int RangeSize)
{
    return Message{
        QStringLiteral("This is a big network scan... please be patience ...\r\n\r\n\tTotal to Scan : "
                       "%1\r\n\r\nPlease wait until scanning process complete !\r\n\r\nDo you want "
                       "to proceed with scanning?")
            .arg(RangeSize),
        QStringLiteral("Information"), MessageIcon::None, MessageButtons::YesNo, MessageAnswer::Yes};
}

Message proceedQuestion()
{
    return Message{QStringLiteral("Proceed with 30 more ? ..."), QStringLiteral("Proceed ?"),
                   MessageIcon::None, MessageButtons::YesNo, MessageAnswer::Yes};
}

Message allRecordedMessage()
{
    return Message{QStringLiteral("All IP Address recorded ... "), QStringLiteral("Information"),
                   MessageIcon::Information, MessageButtons::Ok, MessageAnswer::Ok};
}

Message scanFinishedMessage()
{
    return Message{QStringLiteral("Scan Network finished or Stopped !!!"), QStringLiteral("Finish"),
                   MessageIcon::Information, MessageButtons::Ok, MessageAnswer::Ok};
}

Message scanNotCheckedMessage(const QString& address, const PingResult& result)
{
    return Message{
        QStringLiteral("The IP Address %1 could not be checked with ping, so the network scan stops "
                       "there.\r\n\r\n%2")
            .arg(address, result.Message),
        QStringLiteral("Information"), MessageIcon::Exclamation, MessageButtons::Ok, MessageAnswer::Ok};
}

ScanController::ScanController(Pinger& pinger, ScanMembers& members, ScanView& view, QObject* parent)
    : QObject(parent), m_pinger(pinger), m_members(members), m_view(view)
{}

ScanController::~ScanController() = default;

void ScanController::run(const ScanTarget& target)
{
    if (m_phase == Phase::Walking || m_phase == Phase::Holding)
        return;
    // A Stop's end still queued belongs to the walk before; this run replaces it.
    ++m_ticket;
    dropBlock();
    const bool sameWalk = m_suspended && m_suspended->first == target.AddressPrefix &&
                          m_suspended->second.Octet4Start == target.range.Octet4Start &&
                          m_suspended->second.Octet4End == target.range.Octet4End;
    m_suspended.reset();
    if (!sameWalk)
        m_members.ScanPosition = 0;
    m_target = target;
    m_recorded.clear();
    for (const int octet : target.recorded) {
        if (target.range.contains(octet))
            m_recorded.insert(octet);
    }
    m_proceedAt = -1;

    m_phase = Phase::Walking;
    m_view.showScreen(ScanScreen::Walking);
    if (m_members.ScanPosition == 0)
        m_members.ScanPosition = target.range.Octet4Start;
    if (target.range.RangeSize() > ScanBlockSize && m_members.ScanPhase == ScanPhaseAskAgain &&
        !askBigScanQuestion())
        return;
    m_view.showNote(ScanningNote);
    advance();
}

bool ScanController::askBigScanQuestion()
{
    m_phase = Phase::Holding;
    m_view.showScreen(ScanScreen::BigQuestion);
    m_view.beep();
    const QPointer<ScanController> alive(this);
    const MessageAnswer answer = m_view.ask(bigScanQuestion(m_target.range.RangeSize()));
    if (!alive || m_phase != Phase::Holding)
        return false;
    if (answer != MessageAnswer::Yes) {
        m_phase = Phase::Idle;
        m_view.showScreen(ScanScreen::Idle);
        m_members.ScanPosition = 0;
        m_members.ScanPhase = ScanPhaseAskAgain;
        return false;
    }
    // Closed without Start: the walk begins at the range start.
    const std::optional<int> start = m_view.chooseStartPoint(m_target.range);
    if (!alive || m_phase != Phase::Holding)
        return false;
    if (start && m_target.range.contains(*start))
        m_members.ScanPosition = *start;
    m_phase = Phase::Walking;
    m_view.showScreen(ScanScreen::Walking);
    m_members.ScanPhase = ScanPhaseBigScanAnswered;
    return true;
}

bool ScanController::proceedPointAt(int octet4) const
{
    return octet4 > m_target.range.Octet4Start && (octet4 - 1) % ScanBlockSize == 0 &&
           octet4 != m_members.ScanPhase;
}

void ScanController::advance()
{
    while (m_phase == Phase::Walking) {
        const int position = m_members.ScanPosition;
        if (!m_target.range.contains(position) || m_recorded.size() == m_target.range.RangeSize()) {
            finish();
            return;
        }
        if (proceedPointAt(position) && m_proceedAt != position && !askProceed())
            return;
        if (position > m_blockEnd)
            launchBlock(position);
        m_view.showAddress(m_target.AddressPrefix + QString::number(position));
        if (m_recorded.contains(position)) {
            ++m_members.ScanPosition;
            continue;
        }
        if (m_progressAt != position) {
            m_progressAt = position;
            ShowScanningProgress();
        }
        const auto result = m_results.constFind(position);
        if (result == m_results.cend())
            return; // its check is still under way; its result runs this again
        switch (result->first) {
        case PingCheckResult::Silent:
            ++m_members.ScanPosition;
            break;
        case PingCheckResult::Answered:
            deviceAnswered(position);
            return;
        case PingCheckResult::NotChecked:
            notChecked(position, result->second);
            return;
        }
    }
}

bool ScanController::askProceed()
{
    m_view.showNote(QString());
    ScanningStep = 0;
    m_phase = Phase::Holding;
    m_view.showScreen(ScanScreen::ProceedQuestion);
    const QPointer<ScanController> alive(this);
    const MessageAnswer answer = m_view.ask(proceedQuestion());
    if (!alive || m_phase != Phase::Holding)
        return false;
    if (answer != MessageAnswer::Yes) {
        endQuietly();
        return false;
    }
    m_proceedAt = m_members.ScanPosition;
    m_phase = Phase::Walking;
    m_view.showScreen(ScanScreen::Walking);
    return true;
}

void ScanController::launchBlock(int from)
{
    dropBlock();
    m_block = new QObject(this);
    // The block ends before the next Proceed point, so that nothing is pinged before the user agreed.
    m_blockEnd = from;
    while (m_blockEnd < m_target.range.Octet4End && !proceedPointAt(m_blockEnd + 1))
        ++m_blockEnd;
    m_nextLaunch = from;
    launchMore();
}

void ScanController::launchMore()
{
    while (m_inFlight < ScanEchoesInFlight && m_nextLaunch <= m_blockEnd) {
        const int octet4 = m_nextLaunch++;
        if (m_recorded.contains(octet4))
            continue;
        ++m_inFlight;
        checkAddressInUse(m_pinger, m_target.AddressPrefix + QString::number(octet4), m_block,
                          [this, octet4](PingCheckResult outcome, const PingResult& result) {
                              --m_inFlight;
                              m_results.insert(octet4, {outcome, result});
                              launchMore();
                              advance();
                          });
    }
}

void ScanController::ShowScanningProgress()
{
    ++ScanningStep;
    m_view.showNote(ScanningNote + QString(ScanningStep, QLatin1Char('.')));
    if (ScanningStep == 5)
        ScanningStep = 0;
}

void ScanController::deviceAnswered(int octet4)
{
    m_members.ScanPosition = octet4 + 1;
    m_suspended = std::make_pair(m_target.AddressPrefix, m_target.range);
    m_phase = Phase::Holding;
    m_view.showNote(AnsweredNote);
    const QPointer<ScanController> alive(this);
    m_view.deviceAnswered(octet4);
    if (!alive)
        return;
    // Suspended: the next run re-reads the range and pings from ScanPosition again.
    dropBlock();
    if (m_phase == Phase::Holding)
        m_phase = Phase::Idle;
}

void ScanController::notChecked(int octet4, PingResult result)
{
    dropBlock();
    m_phase = Phase::Holding;
    const QPointer<ScanController> alive(this);
    m_view.ask(scanNotCheckedMessage(m_target.AddressPrefix + QString::number(octet4), result));
    if (alive)
        endQuietly();
}

void ScanController::finish()
{
    dropBlock();
    m_phase = Phase::Holding;
    m_view.beep();
    const QPointer<ScanController> alive(this);
    const bool allRecorded = m_recorded.size() == m_target.range.RangeSize();
    m_view.ask(allRecorded ? allRecordedMessage() : scanFinishedMessage());
    if (alive)
        endQuietly();
}

void ScanController::endQuietly()
{
    dropBlock();
    m_phase = Phase::Idle;
    m_view.showNote(QString());
    ScanningStep = 0;
    m_view.showScreen(ScanScreen::Idle);
    m_members.ScanPosition = 0;
}

void ScanController::stop()
{
    m_suspended.reset();
    if (m_phase == Phase::Walking) {
        // The pings in flight go at once; the walk ends as it would at its next address.
        dropBlock();
        m_phase = Phase::Stopping;
        const quint64 ticket = ++m_ticket;
        QMetaObject::invokeMethod(
            this,
            [this, ticket] {
                if (ticket == m_ticket && m_phase == Phase::Stopping)
                    finish();
            },
            Qt::QueuedConnection);
        return;
    }
    if (m_phase == Phase::Holding) {
        dropBlock();
        m_phase = Phase::Idle;
    }
}

void ScanController::dropBlock()
{
    delete m_block;
    m_blockEnd = -1;
    m_nextLaunch = 0;
    m_inFlight = 0;
    m_results.clear();
    m_progressAt = -1;
}

} // namespace tarvo
