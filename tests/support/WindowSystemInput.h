#pragma once

#include <QPoint>
#include <QString>

class QWidget;

// Input as the window system hands it to the program: queued, and taken by the next event loop that
// takes user input, as a real key or click is. (QTest's key and mouse events are delivered at once,
// past whatever event loop runs.)
namespace tarvo::test {

// A left click in the middle of a widget.
void queueClick(QWidget* widget);

// Keys typed into the window of widget, which hands them to its focus widget. Letters, digits and
// blanks.
void queueKeys(QWidget* widget, const QString& text);

} // namespace tarvo::test
