#pragma once

class QLineEdit;
class QWidget;

namespace tarvo {

// Shows what the user types into a code field in upper case, letter for letter, with the caret where it
// was. Text the program puts into the field is shown as it is stored.
void upperCaseWhileTyped(QLineEdit* field);

// Keeps a control's place in its layout while it is hidden, so that showing or hiding it moves nothing
// else.
void keepPlaceWhenHidden(QWidget* widget);

// A data-entry field with the keyboard rule of the data fields (Enter and Down move on, Up back).
QLineEdit* navigableField(const char* objectName, QWidget* parent);

} // namespace tarvo
