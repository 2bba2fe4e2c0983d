#pragma once

#include <QString>

class QWidget;

namespace tarvo {

enum class MessageIcon
{
    None,
    Critical,
    Exclamation,
    Information,
    Question
};

enum class MessageButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel
};

enum class MessageAnswer
{
    Ok,
    Cancel,
    Yes,
    No
};

// One message box: its text, title, icon, buttons and the button that Enter presses.
struct Message
{
    QString text;
    QString title; // empty: the program's title, "Tarvo"
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultAnswer = MessageAnswer::Ok; // ignored when not one of the buttons
};

// Every message box of the program goes through a messenger, so that tests can read what was shown
// and script the answers.
class Messenger
{
public:
    virtual ~Messenger() = default;

    // Shows the message and returns the button chosen (Cancel or No when the box is closed by Esc).
    virtual MessageAnswer ask(QWidget* parent, const Message& message) = 0;

    // A message with an OK button only.
    void inform(QWidget* parent, const QString& text, const QString& title, MessageIcon icon)
    {
        ask(parent, Message{text, title, icon, MessageButtons::Ok, MessageAnswer::Ok});
    }

    // A question: true when the user answers Yes (YesNo) or OK (OkCancel).
    bool confirm(QWidget* parent, const QString& text, const QString& title, MessageIcon icon,
                 MessageButtons buttons, MessageAnswer defaultAnswer)
    {
        const MessageAnswer answer = ask(parent, Message{text, title, icon, buttons, defaultAnswer});
        return answer == MessageAnswer::Yes || answer == MessageAnswer::Ok;
    }
};

// The program's title in message boxes that name no title of their own.
inline const QString DefaultMessageTitle = QStringLiteral("Tarvo");

} // namespace tarvo
