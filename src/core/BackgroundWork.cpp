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
    // The end of the program quits every event loop at once; the work is still waited for.
    if (QCoreApplication::instance() && !thread->isFinished())
        loop.exec();
    thread->wait();
}

} // namespace tarvo
