#include "core/FieldNavigation.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tarvo {

FieldNavigation::FieldNavigation(QWidget* field, std::function<void()> afterEnter)
    : QObject(field), m_afterEnter(std::move(afterEnter))
{
    field->installEventFilter(this);
}

void FieldNavigation::install(QWidget* field, std::function<void()> afterEnter)
{
    new FieldNavigation(field, std::move(afterEnter));
}

void FieldNavigation::moveFocus(QWidget* field, bool forward)
{
    // The field handles the key as Tab or Shift+Tab, so the focus follows the window's tab order.
    QKeyEvent tab(QEvent::KeyPress, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                  forward ? Qt::NoModifier : Qt::ShiftModifier);
    QApplication::sendEvent(field, &tab);
}

bool FieldNavigation::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* field = static_cast<QWidget*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Down:
        moveFocus(field, true);
        return true;
    case Qt::Key_Up:
        moveFocus(field, false);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        moveFocus(field, true);
        if (m_afterEnter)
            m_afterEnter();
        return true;
    default:
        return false;
    }
}

} // namespace tarvo
