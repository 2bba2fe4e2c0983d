#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace tarvo {

// A window that cannot be closed by the program (Exit, Change Login, a change of database) while it is
// busy: sending a mail, running an assignment, splitting a file.
class BusyWindow
{
public:
    virtual ~BusyWindow() = default;
    // Why the window cannot close now, for the user; empty when it can.
    virtual QString busyReason() const = 0;
};

// Knows every window the program shows besides the main window: the main window's child windows and
// the windows that other windows open. A window is forgotten when it is destroyed.
class WindowTracker final : public QObject
{
    Q_OBJECT
public:
    explicit WindowTracker(QObject* parent = nullptr);

    // Tracks a window: a top-level widget, or the sub-window around a child window.
    void track(QWidget* window);

    // The tracked windows that still exist, oldest first.
    QList<QWidget*> windows() const;

    // The reason the first busy window (a BusyWindow, or the widget inside a sub-window that is one)
    // gives; empty when none is busy.
    QString busyReason() const;

    // Closes every tracked window, the newest first, each through its own close handling; a closed
    // window's database holds end at once. Returns false as soon as one stays open (the older ones stay
    // open too).
    bool closeAll();

private:
    QList<QPointer<QWidget>> m_windows;
};

// A call back into the window that opened another one, such as the refill of its unit list when the
// unit window closes. Once the opener is gone, or closed and hidden, the call does nothing.
class OpenerCallback
{
public:
    OpenerCallback() = default;
    OpenerCallback(QWidget* opener, std::function<void()> call) : m_opener(opener), m_call(std::move(call)) {}

    bool isSet() const { return static_cast<bool>(m_call); }
    // True when the call was made.
    bool operator()() const;

private:
    QPointer<QWidget> m_opener;
    std::function<void()> m_call;
};

} // namespace tarvo
