#pragma once

#include <initializer_list>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace tarvo {

// The pieces the accounts windows are built from. Enter on a button that has the focus presses it, in
// a dialog and in a child window alike; Enter in a field moves the focus on (FieldNavigation).
QPushButton* makeButton(const QString& text, const char* objectName, QWidget* parent);

// A text field; masked fields show "*" for every character.
QLineEdit* makeField(const char* objectName, QWidget* parent, bool masked = false);

// The buttons in a row at the right.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);

// Makes a field select its whole text whenever it takes the focus, by Tab, by Enter or Down, or by a
// click (which selects once the click is over, since the press itself places the cursor), so that
// what is typed next replaces it. A click into a field that has the focus already places the cursor.
void selectAllOnFocus(QLineEdit* field);

} // namespace tarvo
