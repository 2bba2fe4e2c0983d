#pragma once

#include "core/DbResult.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <future>
#include <optional>

namespace tarvo {

// One state of an SQLite database file that other connections may be writing, copied with
// snapshotDatabaseFile on a thread of its own into a temporary beside the file. The temporary has a name
// the program recognises (see ReplacingFile), so that what a killed process leaves goes later; otherwise
// it goes with this object.
class DatabaseSnapshot
{
public:
    // Starts the copy of the file at source, waiting busyTimeoutMs for its lock.
    DatabaseSnapshot(const QString& source, int busyTimeoutMs);
    // Stops a copy under way, waits for it (no longer than one of its steps) and removes the temporary.
    ~DatabaseSnapshot();
    DatabaseSnapshot(const DatabaseSnapshot&) = delete;
    DatabaseSnapshot& operator=(const DatabaseSnapshot&) = delete;

    // Waits for the copy no longer than timeout; true once it has ended.
    bool wait(std::chrono::milliseconds timeout);
    // How the copy ended, once wait() has returned true.
    const DbOutcome& outcome() const { return *m_outcome; }
    // Whether the copy failed because the file is not a plain database (SQLite refused it as not a
    // database or as damaged, or its length is not that of its pages; see copyDatabaseState), once
    // wait() has returned true.
    bool sourceUnreadable() const { return m_unreadable; }
    // The temporary that holds the copy.
    const QString& path() const { return m_path; }

private:
    QString m_path;
    std::atomic<bool> m_stop = false;
    bool m_unreadable = false; // written by the copy's thread before its end, read after it
    std::future<DbOutcome> m_copy;
    std::optional<DbOutcome> m_outcome;
};

} // namespace tarvo
