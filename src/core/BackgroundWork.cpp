#include "core/BackgroundWork.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>

#include <memory>

namespace tarvo {

namespace {

// What the user does to the windows: keys, clicks, wheel turns and touches. Pointer moves without a
// button change nothing and keep the hover state right.
bool isUserInput(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
        return true;
    default:
        return false;
    }
}

// Events whose delivery runs the program's own code: its timers, queued calls (answers of other
// threads among them), sockets and posted events of its own.
bool runsProgramCode(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::Timer:
    case QEvent::MetaCall:
    case QEvent::SockAct:
    case QEvent::SockClose:
    case QEvent::FutureCallOut:
        return true;
    default:
        return event->type() >= QEvent::User && event->type() <= QEvent::MaxUser;
    }
}

// Drops the user's input that reaches the windows from the event loop it watches, on every object of
// the program's thread, for as long as it lives.
//
// Only that loop is watched: a window or question that the program opens meanwhile runs an event loop
// of its own, which takes input as usual, so that it can be answered. A close request of the window
// system is input too, but Qt delivers a window's own close() (QDialog::done() among them) the same
// way, at once; it is told apart by where it comes from: one that comes while the program's code runs
// (a timer, a queued call, a socket) is the program's own and goes through.
class InputGate final : public QObject
{
public:
    InputGate() { QCoreApplication::instance()->installEventFilter(this); }

    // The event loop level of the loop whose input is dropped (QThread::loopLevel()).
    void watchLevel(int level) { m_level = level; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (QThread::currentThread()->loopLevel() != m_level)
            return QObject::eventFilter(watched, event);
        if (isUserInput(event)) {
            // An accepted shortcut override tells the shortcuts that the key is taken: none of them runs.
            if (event->type() == QEvent::ShortcutOverride)
                event->accept();
            return true;
        }
        if (m_programCode > 0)
            return QObject::eventFilter(watched, event);
        if (event->type() == QEvent::Close && event->spontaneous())
            return true;
        if (runsProgramCode(event)) {
            // Delivered here, so that what the code does meanwhile is known to be the program's own.
            ++m_programCode;
            QCoreApplication::sendEvent(watched, event);
            --m_programCode;
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int m_level = 0;
    int m_programCode = 0;
};

int currentLoopLevel()
{
    return QThread::currentThread()->loopLevel();
}

} // namespace

void dropPendingInput()
{
    if (!QCoreApplication::instance())
        return;
    InputGate gate;
    gate.watchLevel(currentLoopLevel());
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void runInBackground(const std::function<void()>& work)
{
    const std::unique_ptr<QThread> thread(QThread::create(work));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    // The end of the program quits every event loop at once; the work is still waited for.
    if (QCoreApplication::instance() && !thread->isFinished()) {
        // Input is dropped as it comes, so that none is left over for a question opened meanwhile or
        // afterwards; what came in the last instant is dropped once the work has ended.
        InputGate gate;
        gate.watchLevel(currentLoopLevel() + 1);
        loop.exec();
        thread->wait();
        gate.watchLevel(currentLoopLevel());
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    thread->wait();
}

} // namespace tarvo
