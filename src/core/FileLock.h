#pragma once

#include <QString>

class QFileDevice;

namespace tarvo {

// An exclusive lock of an open file that every process taking it honours (flock): writers that take it
// take turns, in this program and in other processes and workstations sharing the file. It waits up to
// the time-out for another holder; it is released when this object goes, when the file is closed or
// when the process ends, killed or not. A file system that keeps no locks gives no lock and no failure:
// the writer goes on as it would without one.
class ExclusiveFileLock
{
public:
    explicit ExclusiveFileLock(const QFileDevice& file, int timeoutMs = 10000);
    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

    // False when another holder kept the lock past the time-out (or the file is not open).
    bool acquired() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }

private:
    int m_handle = -1; // the locked handle; -1 when nothing is locked
    QString m_error;
};

} // namespace tarvo
