#include "ScriptedMessenger.h"

#include "core/MessageBoxMessenger.h"

namespace tarvo::test {

MessageAnswer ScriptedMessenger::ask(QWidget* parent, const Message& message)
{
    m_shown.append(message);
    if (m_hook)
        m_hook(message);
    if (m_realBoxes)
        return MessageBoxMessenger().ask(parent, message);
    if (!m_answers.empty()) {
        const MessageAnswer next = m_answers.front();
        m_answers.pop_front();
        return next;
    }
    switch (message.buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::OkCancel:
        return message.defaultAnswer == MessageAnswer::Cancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return message.defaultAnswer == MessageAnswer::Ok ? MessageAnswer::Yes : message.defaultAnswer;
    }
    return MessageAnswer::Ok;
}

QStringList ScriptedMessenger::texts() const
{
    QStringList list;
    for (const Message& message : m_shown)
        list << message.text;
    return list;
}

bool ScriptedMessenger::sawText(const QString& fragment) const
{
    for (const Message& message : m_shown) {
        if (message.text.contains(fragment))
            return true;
    }
    return false;
}

void ScriptedMessenger::clear()
{
    m_shown.clear();
    m_answers.clear();
}

} // namespace tarvo::test
