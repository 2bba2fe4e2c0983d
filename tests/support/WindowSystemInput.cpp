#include "WindowSystemInput.h"

#include <QWidget>
#include <QWindow>

#include <qpa/qwindowsysteminterface.h>

namespace tarvo::test {

namespace {

using Queued = QWindowSystemInterface::AsynchronousDelivery;

QWindow* windowOf(QWidget* widget)
{
    QWindow* window = widget->window()->windowHandle();
    if (!window)
        qFatal("%s has no window of its own", qPrintable(widget->objectName()));
    return window;
}

} // namespace

void queueClick(QWidget* widget)
{
    const QPoint centre = widget->rect().center();
    const QPointF local = widget->mapTo(widget->window(), centre);
    const QPointF global = widget->mapToGlobal(centre);
    QWindow* window = windowOf(widget);
    QWindowSystemInterface::handleMouseEvent<Queued>(window, local, global, Qt::LeftButton, Qt::LeftButton,
                                                     QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<Queued>(window, local, global, Qt::NoButton, Qt::LeftButton,
                                                     QEvent::MouseButtonRelease);
}

void queueKeys(const QString& text)
{
    for (const QChar character : text) {
        const int key = character.toUpper().unicode();
        const Qt::KeyboardModifiers modifiers = character.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        // No window: the one with the focus when the key is handled takes it.
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QWindowSystemInterface::handleKeyEvent<Queued>(nullptr, type, key, modifiers, QString(character));
    }
}

void queueCloseRequest(QWidget* window)
{
    QWindowSystemInterface::handleCloseEvent<Queued>(windowOf(window));
}

FocusFollowsShownWindows::FocusFollowsShownWindows()
{
    // The off-screen platform queues a shown window's activation behind the input already queued;
    // delivered at once instead, the activation comes first.
    QWindowSystemInterface::setSynchronousWindowSystemEvents(true);
}

FocusFollowsShownWindows::~FocusFollowsShownWindows()
{
    QWindowSystemInterface::setSynchronousWindowSystemEvents(false);
}

} // namespace tarvo::test
