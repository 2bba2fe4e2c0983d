#include "core/DatabaseChangeConsent.h"

#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"
#include "core/WindowTracker.h"

#include <QStringList>

namespace tarvo {

namespace {

// The question about the unsaved edits of the windows of the given captions.
QString unsavedEditsQuestion(const QStringList& captions, const DatabaseChange& change)
{
    QStringList quoted;
    for (const QString& caption : captions)
        quoted << QLatin1Char('"') + caption + QLatin1Char('"');
    const bool one = quoted.size() == 1;
    const QString windows = one ? quoted.first()
                                : quoted.mid(0, quoted.size() - 1).join(QStringLiteral(", ")) +
                                      QStringLiteral(" and ") + quoted.last();
    return (one ? QStringLiteral("A change in %1 is not saved.\r\n\r\nDiscard it and %2 ?")
                : QStringLiteral("Changes in %1 are not saved.\r\n\r\nDiscard them and %2 ?"))
        .arg(windows, change.action);
}

} // namespace

DatabaseChangeConsent::DatabaseChangeConsent(const AppContext& context) : m_context(context) {}

DatabaseChangeConsent::~DatabaseChangeConsent()
{
    if (m_agreed)
        m_context.databaseService().setEditsMayBeDropped(false);
}

bool DatabaseChangeConsent::refuseWhileBusy(QWidget* parent, WindowTracker* closing) const
{
    QString busy = m_context.databaseService().workInProgress();
    if (busy.isEmpty() && closing)
        busy = closing->busyReason();
    if (busy.isEmpty())
        return false;
    m_context.messenger().inform(parent, busy, MessageTitle::Information, MessageIcon::Information);
    return true;
}

bool DatabaseChangeConsent::obtain(QWidget* parent, const DatabaseChange& change, WindowTracker* closing)
{
    DatabaseService& service = m_context.databaseService();
    if (refuseWhileBusy(parent, closing))
        return false;
    if (const QStringList edits = service.unsavedEdits(); !edits.isEmpty()) {
        if (!m_context.messenger().confirm(parent, unsavedEditsQuestion(edits, change), change.title,
                                           MessageIcon::Exclamation, MessageButtons::YesNo,
                                           MessageAnswer::No))
            return false;
        m_agreed = true;
        service.setEditsMayBeDropped(true);
    }
    return true;
}

bool DatabaseChangeConsent::closeWindows(QWidget* parent, WindowTracker& closing)
{
    // A window refuses to close only while it is busy: asked first, so that no edit goes for nothing.
    if (refuseWhileBusy(parent, &closing))
        return false;
    if (m_agreed)
        m_context.databaseService().discardEdits();
    return closing.closeAll();
}

} // namespace tarvo
