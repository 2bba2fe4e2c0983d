#include "assign/BulkRun.h"

#include <QStringList>

namespace tarvo {

namespace {

Message runQuestion(const QString& firstLine, const QString& yesLine, const QString& noLine,
                    const QString& title)
{
    const QStringList lines{
        firstLine,
        QString(),
        QStringLiteral("Note:"),
        QStringLiteral("This feature is used for bulk assignment using the same "),
        QStringLiteral("contact person especially for data center or project."),
        QString(),
        yesLine,
        noLine,
    };
    return Message{lines.join(QLatin1String("\r\n")), title, MessageIcon::None, MessageButtons::YesNo,
                   MessageAnswer::Yes};
}

} // namespace

AssignMode assignModeOf(const AssignmentModes& modes)
{
    if (modes.ScanMode)
        return AssignMode::Scan;
    return modes.DedicatedMode ? AssignMode::Dedicated : AssignMode::New;
}

Message sameUserDetailsQuestion(int k)
{
    return runQuestion(QStringLiteral("Use the same user details for the next %1 IP assignment?").arg(k),
                       QStringLiteral("Click 'Yes' if the same contact person owns these IP Addresses. "),
                       QStringLiteral("Click 'No' to manually set user details for each IP Address."),
                       QStringLiteral("Confirmation"));
}

Message autoSaveQuestion(int k)
{
    return runQuestion(QStringLiteral("Tarvo can automatically saved the next %1 IP assignment.").arg(k),
                       QStringLiteral("Click 'Yes' to use auto-save facility. "),
                       QStringLiteral("Click 'No' to manually save every IP assignment."),
                       QStringLiteral("Auto-Save"));
}

Message saveRecordQuestion()
{
    return Message{QStringLiteral("Save record to Tarvo database ?"), QStringLiteral("Save Record"),
                   MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok};
}

BulkRun::BulkRun(Ask ask, QObject* parent) : QObject(parent), m_ask(std::move(ask)) {}

void BulkRun::setBulkCount(int count)
{
    m_count = count;
    m_progress = 0;
}

void BulkRun::proposalShown(bool addressAnswered)
{
    m_state = State::Proposed;
    if (m_mode == AssignMode::New && m_count != 1 && !m_marker && !addressAnswered) {
        ++m_progress;
        Q_EMIT progressChanged(m_progress);
    }
    if (m_autoSave)
        requestLater(&BulkRun::saveRequested);
}

void BulkRun::markInUse()
{
    setMarker(true);
}

bool BulkRun::confirmSave()
{
    return m_autoSave || m_ask(saveRecordQuestion()) == MessageAnswer::Ok;
}

void BulkRun::saved(const KeptDetails& savedDetails)
{
    if (m_mode == AssignMode::Dedicated) {
        reset();
        Q_EMIT finished();
        return;
    }
    const bool bulk = m_count > 1 && !m_marker;
    if (bulk && !m_sameDetailsAsked) {
        m_sameUserDetails = m_ask(sameUserDetailsQuestion(m_count - 1)) == MessageAnswer::Yes;
        if (m_sameUserDetails)
            m_kept = savedDetails;
        m_sameDetailsAsked = true;
    }
    if (bulk && m_sameUserDetails && !m_autoSaveAsked) {
        m_autoSave = m_ask(autoSaveQuestion(m_count - 1)) == MessageAnswer::Yes;
        m_autoSaveAsked = true;
        if (m_autoSave)
            Q_EMIT automaticChanged(true);
    }
    const bool complete = m_progress == m_count || m_count == 1;
    if (complete && !m_marker) {
        // A completed run leaves nothing behind: a later run or single assignment starts afresh.
        reset();
        Q_EMIT finished();
        return;
    }
    setMarker(false);
    m_state = State::AfterSave;
    requestLater(&BulkRun::proposalRequested);
}

void BulkRun::saveFailed()
{
    if (!m_autoSave)
        return;
    reset();
    Q_EMIT stopped();
}

void BulkRun::cancel()
{
    reset();
}

void BulkRun::requestLater(void (BulkRun::*signal)())
{
    const quint64 ticket = ++m_ticket;
    QMetaObject::invokeMethod(
        this,
        [this, ticket, signal] {
            if (ticket == m_ticket)
                Q_EMIT(this->*signal)();
        },
        Qt::QueuedConnection);
}

void BulkRun::setMarker(bool shown)
{
    if (m_marker == shown)
        return;
    m_marker = shown;
    Q_EMIT inUseMarkerChanged(shown);
}

void BulkRun::reset()
{
    ++m_ticket;
    const bool wasAutomatic = m_autoSave;
    m_state = State::Idle;
    m_progress = 0;
    m_sameDetailsAsked = false;
    m_sameUserDetails = false;
    m_autoSave = false;
    m_autoSaveAsked = false;
    m_kept.reset();
    setMarker(false);
    if (wasAutomatic)
        Q_EMIT automaticChanged(false);
}

} // namespace tarvo
