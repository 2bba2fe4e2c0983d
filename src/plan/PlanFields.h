#pragma once

class QLineEdit;

namespace tarvo {

// Shows what the user types into a code field in upper case, letter for letter, with the caret where it
// was. Text the program puts into the field is shown as it is stored.
void upperCaseWhileTyped(QLineEdit* field);

} // namespace tarvo
