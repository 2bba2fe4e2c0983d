#pragma once

#include "TestProgram.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

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

// Bytes that differ from one position to the next, the same on every run.
inline QByteArray patternBytes(qint64 size, quint32 seed = 7)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(generator.generate() & 0xff);
    return bytes;
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The names of the files in a folder, sorted.
inline QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace tarvo::test
