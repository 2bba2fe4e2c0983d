#include "core/WindowRegistry.h"

#include <QMdiSubWindow>
#include <QWidget>

namespace tarvo {

void WindowRegistry::registerChild(WindowCommand command, ChildFactory factory)
{
    m_dialogs.remove(static_cast<int>(command));
    m_children.insert(static_cast<int>(command), std::move(factory));
}

void WindowRegistry::registerDialog(WindowCommand command, DialogRunner runner)
{
    m_children.remove(static_cast<int>(command));
    m_dialogs.insert(static_cast<int>(command), std::move(runner));
}

bool WindowRegistry::has(WindowCommand command) const
{
    return m_children.contains(static_cast<int>(command)) || m_dialogs.contains(static_cast<int>(command));
}

bool WindowRegistry::isChild(WindowCommand command) const
{
    return m_children.contains(static_cast<int>(command));
}

WindowRegistry::ChildFactory WindowRegistry::child(WindowCommand command) const
{
    return m_children.value(static_cast<int>(command));
}

WindowRegistry::DialogRunner WindowRegistry::dialog(WindowCommand command) const
{
    return m_dialogs.value(static_cast<int>(command));
}

void closeWindowOf(QWidget* widget)
{
    if (!widget)
        return;
    for (QWidget* w = widget->parentWidget(); w; w = w->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            sub->close();
            return;
        }
    }
    widget->window()->close();
}

} // namespace tarvo
