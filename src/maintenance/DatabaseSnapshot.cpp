#include "maintenance/DatabaseSnapshot.h"

#include "core/DatabaseFiles.h"
#include "core/ReplacingFile.h"

#include <QFile>

namespace tarvo {

DatabaseSnapshot::DatabaseSnapshot(const QString& source, int busyTimeoutMs)
    : m_path(ReplacingFile::newTemporaryPath(source)),
      m_copy(std::async(std::launch::async, [this, source, busyTimeoutMs] {
          return snapshotDatabaseFile(
              source, m_path, busyTimeoutMs, [this] { return !m_stop.load(); }, &m_unreadable);
      }))
{}

DatabaseSnapshot::~DatabaseSnapshot()
{
    m_stop.store(true);
    if (m_copy.valid())
        m_copy.wait();
    QFile::remove(m_path);
}

bool DatabaseSnapshot::wait(std::chrono::milliseconds timeout)
{
    if (!m_outcome && m_copy.wait_for(timeout) == std::future_status::ready)
        m_outcome.emplace(m_copy.get());
    return m_outcome.has_value();
}

} // namespace tarvo
