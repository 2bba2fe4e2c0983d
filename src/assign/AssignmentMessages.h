#pragma once

#include "core/DbResult.h"
#include "core/Messenger.h"

#include <QString>

class QWidget;

namespace tarvo {

// Shows a database or file failure (critical icon, "Error !!!"); the window stays as it was.
void showFailure(Messenger& messenger, QWidget* window, const QString& error);

// True when the result holds a value; otherwise shows its failure.
template <class T>
bool succeeded(const DbResult<T>& result, Messenger& messenger, QWidget* window)
{
    if (result)
        return true;
    showFailure(messenger, window, result.error());
    return false;
}

// An entry of a list that another workstation (or window) removed after the list was read.
QString vanishedMessage(const QString& what, const QString& name);
inline const QString VanishedTitle = QStringLiteral("Not Found");

// The message of a missing choice: "Please select " or "Please enter " + the field's label + " ...".
QString missingChoiceMessage(bool typed, const QString& labelCaption);

} // namespace tarvo
