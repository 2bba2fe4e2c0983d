#pragma once

#include "core/Messenger.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>

namespace tarvo::test {

// A messenger that records every message and answers from a script. With the script empty it answers
// with the message's default button (OK for an OK box). With real boxes on, it records every message and
// shows it in the program's real message box instead, which the user (the test) answers.
class ScriptedMessenger final : public Messenger
{
public:
    MessageAnswer ask(QWidget* parent, const Message& message) override;

    void showRealBoxes(bool on) { m_realBoxes = on; }

    // Queues the answers to the next questions, in order.
    void answer(MessageAnswer next) { m_answers.push_back(next); }

    // Called with each message before it is answered (for example to check a window's state).
    void onMessage(std::function<void(const Message&)> hook) { m_hook = std::move(hook); }

    const QList<Message>& shown() const { return m_shown; }
    int count() const { return static_cast<int>(m_shown.size()); }
    bool isEmpty() const { return m_shown.isEmpty(); }
    const Message& last() const { return m_shown.back(); }
    QStringList texts() const;
    bool sawText(const QString& fragment) const;
    void clear();

private:
    QList<Message> m_shown;
    std::deque<MessageAnswer> m_answers;
    std::function<void(const Message&)> m_hook;
    bool m_realBoxes = false;
};

} // namespace tarvo::test
