#include "core/BackgroundWork.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>

#include <memory>

namespace tarvo {

namespace {

// What the user does to the windows: keys, clicks, wheel turns, touches, and a request of the window
// system to close a window. A window's own close() is no input; pointer moves without a button change
// nothing and keep the hover state right.
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
    case QEvent::Close:
        return event->spontaneous();
    default:
        return false;
    }
}

// Swallows the user's input for as long as it lives, on every object of the program's thread.
class InputSwallower final : public QObject
{
public:
    InputSwallower() { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!isUserInput(event))
            return QObject::eventFilter(watched, event);
        // An accepted shortcut override tells the shortcuts that the key is taken: none of them runs.
        if (event->type() == QEvent::ShortcutOverride)
            event->accept();
        return true;
    }
};

} // namespace

void dropPendingInput()
{
    if (!QCoreApplication::instance())
        return;
    const InputSwallower swallower;
    // The input waits in the window system's queue (see runInBackground); this delivers the whole queue,
    // and the swallower takes the input out of it.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void runInBackground(const std::function<void()>& work)
{
    const std::unique_ptr<QThread> thread(QThread::create(work));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    // The end of the program quits every event loop at once; the work is still waited for. Input is left
    // in the window system's queue meanwhile.
    const bool waited = QCoreApplication::instance() && !thread->isFinished();
    if (waited)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    if (waited)
        dropPendingInput();
}

} // namespace tarvo
