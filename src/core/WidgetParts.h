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

// Places a window in the middle of its screen's free area.
void centreOnScreen(QWidget* window);

} // namespace tarvo
