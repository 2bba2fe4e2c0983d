#pragma once

#include <QString>

namespace tarvo {

// Gives a control the object name by which tests and the window's own code find it.
template <class Widget>
Widget* named(Widget* widget, const char* objectName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

} // namespace tarvo
