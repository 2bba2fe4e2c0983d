#include "core/FileLock.h"

#include <QDeadlineTimer>
#include <QFileDevice>
#include <QThread>

#include <cerrno>

#include <sys/file.h>

namespace tarvo {

ExclusiveFileLock::ExclusiveFileLock(const QFileDevice& file, int timeoutMs)
{
    const int handle = file.handle();
    if (handle < 0) {
        m_error = QStringLiteral("The file \"%1\" is not open.").arg(file.fileName());
        return;
    }
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (::flock(handle, LOCK_EX | LOCK_NB) == 0) {
            m_handle = handle;
            return;
        }
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return; // no locks on this file system (ENOLCK, EOPNOTSUPP): go on without one
        if (deadline.hasExpired()) {
            m_error =
                QStringLiteral("The file \"%1\" is being written by another program.").arg(file.fileName());
            return;
        }
        QThread::msleep(5);
    }
}

ExclusiveFileLock::~ExclusiveFileLock()
{
    if (m_handle >= 0)
        ::flock(m_handle, LOCK_UN);
}

} // namespace tarvo
