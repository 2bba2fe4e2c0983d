#include "core/BackgroundWork.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <memory>

namespace tarvo {

void runInBackground(const std::function<void()>& work)
{
    const std::unique_ptr<QThread> thread(QThread::create(work));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    // The end of the program quits every event loop at once; the work is still waited for. Input is left
    // in the window system's queue, where the next event loop without this flag finds it.
    if (QCoreApplication::instance() && !thread->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
}

} // namespace tarvo
