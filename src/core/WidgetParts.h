#pragma once

#include <QString>

#include <functional>
#include <initializer_list>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tarvo {

// The pieces every window is built from. Enter on a button that has the focus presses it, in a dialog
// and in a child window alike; Enter in a field moves the focus on (FieldNavigation).
QPushButton* makeButton(const QString& text, const char* objectName, QWidget* parent);

// A text field; masked fields show "*" for every character.
QLineEdit* makeField(const char* objectName, QWidget* parent, bool masked = false);

// The buttons in a row at the right.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);

// The guards of the data-entry fields. What the user types or pastes that the guard refuses is not
// taken: the field keeps its last accepted text and the computer beeps. Text that the program itself
// puts into the field is shown whole, so a stored value is never cut.
//
// Any text the rule accepts.
void guardField(QLineEdit* field, std::function<bool(const QString&)> accepts);
// Plain digits (no sign, no blank, no other script's digits) whose value is at most maximum; empty is
// accepted.
void guardNumber(QLineEdit* field, int maximum);
// At most maximum characters.
void guardLength(QLineEdit* field, int maximum);

// Whether a text is made of plain digits 0 to 9 only, with a value of at most maximum (empty is not).
bool isNumberWithin(const QString& text, int maximum);

// The hourglass pointer over the whole program while busy work runs; the pointer comes back when the
// object goes. A program without windows (a tool, a test without a GUI) has no pointer to change.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_shown;
};

// The main window's caption once someone has signed in: the title + " - [User : " + name + "]".
QString signedInCaption(const QString& productTitle, const QString& userName);

// The titles of the program's message boxes.
namespace MessageTitle {
inline const QString ErrorBang3 = QStringLiteral("Error !!!");
inline const QString ErrorBang = QStringLiteral("Error !");
inline const QString Error = QStringLiteral("Error");
inline const QString Ralat = QStringLiteral("Ralat !!!");
inline const QString Information = QStringLiteral("Information");
inline const QString NotFound = QStringLiteral("Not Found");
inline const QString Confirmation = QStringLiteral("Confirmation");
} // namespace MessageTitle

// Makes a field select its whole text whenever it takes the focus, by Tab, by Enter or Down, or by a
// click (which selects once the click is over, since the press itself places the cursor), so that
// what is typed next replaces it. A click into a field that has the focus already places the cursor.
void selectAllOnFocus(QLineEdit* field);

// Places a window in the middle of its screen's free area.
void centreOnScreen(QWidget* window);

} // namespace tarvo
