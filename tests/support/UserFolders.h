#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include <utility>
#include <vector>

namespace tarvo::test {

// Points the user's settings and data folders at a temporary folder while it lives, so that no test
// writes into the real home folder.
class UserFolders
{
public:
    UserFolders()
    {
        remember("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")));
        remember("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")));
    }
    ~UserFolders()
    {
        for (const auto& [name, value] : m_previous) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }
    QString configHome() const { return m_dir.filePath(QStringLiteral("config")); }
    QString dataHome() const { return m_dir.filePath(QStringLiteral("data")); }

private:
    void remember(const char* name, const QString& value)
    {
        m_previous.push_back({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
        qputenv(name, value.toUtf8());
    }
    QTemporaryDir m_dir;
    std::vector<std::pair<const char*, QByteArray>> m_previous;
};

} // namespace tarvo::test
