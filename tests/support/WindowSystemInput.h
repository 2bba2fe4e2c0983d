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

// Keys typed on the keyboard: as on X11, they go to the window that has the focus when the program
// handles them, which may be a window shown after they were typed. Letters, digits and blanks.
void queueKeys(const QString& text);

// A request of the window system to close a window, as its close button makes.
void queueCloseRequest(QWidget* window);

// While it lives, a window that is shown takes the focus at once, as the X11 server gives it to a window
// at once, ahead of input still queued: so keys typed before a message box appeared reach it when the
// program hands them over after it appeared (see queueKeys).
class FocusFollowsShownWindows
{
public:
    FocusFollowsShownWindows();
    ~FocusFollowsShownWindows();
    FocusFollowsShownWindows(const FocusFollowsShownWindows&) = delete;
    FocusFollowsShownWindows& operator=(const FocusFollowsShownWindows&) = delete;
};

} // namespace tarvo::test
