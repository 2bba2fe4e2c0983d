#include "core/WindowTracker.h"

#include "core/DatabaseService.h"

#include <QMdiSubWindow>

namespace tarvo {

namespace {

const BusyWindow* busyPartOf(const QWidget* window)
{
    if (const auto* busy = dynamic_cast<const BusyWindow*>(window))
        return busy;
    if (const auto* sub = qobject_cast<const QMdiSubWindow*>(window))
        return dynamic_cast<const BusyWindow*>(sub->widget());
    return nullptr;
}

} // namespace

WindowTracker::WindowTracker(QObject* parent) : QObject(parent) {}

void WindowTracker::track(QWidget* window)
{
    if (!window || windows().contains(window))
        return;
    m_windows.append(window);
}

QList<QWidget*> WindowTracker::windows() const
{
    QList<QWidget*> alive;
    for (const QPointer<QWidget>& window : m_windows) {
        if (window)
            alive.append(window);
    }
    return alive;
}

QString WindowTracker::busyReason() const
{
    for (QWidget* window : windows()) {
        if (const BusyWindow* busy = busyPartOf(window)) {
            if (QString reason = busy->busyReason(); !reason.isEmpty())
                return reason;
        }
    }
    return {};
}

bool WindowTracker::closeAll()
{
    const QList<QWidget*> open = windows();
    for (auto it = open.crbegin(); it != open.crend(); ++it) {
        QPointer<QWidget> window = *it;
        if (!window || !window->isVisible())
            continue;
        // close() is false when the window refused (it ignored its close event).
        if (!window->close() && window && window->isVisible())
            return false;
        // Deleted only later: until then it must not answer for the database any more.
        DatabaseHold::endHoldsIn(window);
    }
    m_windows.removeAll(nullptr);
    return true;
}

bool OpenerCallback::operator()() const
{
    if (!m_call || !m_opener)
        return false;
    // A closed window is hidden (its sub-window, for a child window) until it is deleted; a minimised
    // one is not.
    for (const QWidget* w = m_opener; w; w = w->parentWidget()) {
        if (w->isHidden())
            return false;
        if (w->isWindow() || qobject_cast<const QMdiSubWindow*>(w))
            break;
    }
    m_call();
    return true;
}

} // namespace tarvo
