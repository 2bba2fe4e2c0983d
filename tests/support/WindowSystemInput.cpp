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

void queueKeys(QWidget* widget, const QString& text)
{
    QWindow* window = windowOf(widget);
    for (const QChar character : text) {
        const int key = character.toUpper().unicode();
        const Qt::KeyboardModifiers modifiers = character.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QWindowSystemInterface::handleKeyEvent<Queued>(window, type, key, modifiers, QString(character));
    }
}

} // namespace tarvo::test
