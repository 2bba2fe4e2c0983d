#include "core/ReplacingFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace tarvo {

namespace {

const QLatin1StringView Marker(".tarvo-tmp-");
const QLatin1StringView JournalSuffix("-journal");
constexpr qint64 ForeignStaleSeconds = 24 * 3600;

// This computer's name as it stands in a temporary's name: only letters, digits, "." and "-".
QString hostPart()
{
    QString host = QSysInfo::machineHostName().left(64);
    for (QChar& c : host) {
        if (c.unicode() >= 128 || (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-')))
            c = QLatin1Char('_');
    }
    return host.isEmpty() ? QStringLiteral("localhost") : host;
}

QString randomPart()
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString text;
    for (int i = 0; i < 8; ++i)
        text +=
            QLatin1Char(Letters[QRandomGenerator::global()->bounded(static_cast<int>(sizeof(Letters) - 1))]);
    return text;
}

// The host and the process id in a temporary's name, or nothing when the name is not one of ours.
std::optional<std::pair<QString, qint64>> ownerOf(const QString& name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\..+\\.tarvo-tmp-([A-Za-z0-9._-]+)-([0-9]{1,10})-[a-z0-9]{8}(-journal)?$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    return std::pair(match.captured(1), match.captured(2).toLongLong());
}

bool processRuns(qint64 pid)
{
    if (pid <= 0 || pid > INT_MAX)
        return true; // not a process id that this program writes: left alone
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

bool hasEnded(const QString& host, qint64 pid)
{
    return host == hostPart() && !processRuns(pid);
}

bool isStale(const QFileInfo& file)
{
    const auto owner = ownerOf(file.fileName());
    if (!owner || !file.isFile() || file.isSymLink())
        return false;
    if (owner->first == hostPart())
        return hasEnded(owner->first, owner->second);
    return file.lastModified().secsTo(QDateTime::currentDateTime()) > ForeignStaleSeconds;
}

} // namespace

QString writerName()
{
    return hostPart() + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
}

bool writerHasEnded(const QString& writer)
{
    const qsizetype dash = writer.lastIndexOf(QLatin1Char('-'));
    bool isNumber = false;
    const qint64 pid = writer.mid(dash + 1).toLongLong(&isNumber);
    return dash > 0 && isNumber && hasEnded(writer.left(dash), pid);
}

ReplacingFile::ReplacingFile(const QString& target) : m_target(target)
{
    const QFileInfo info(target);
    if (info.isSymLink())
        m_target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

bool ReplacingFile::fail(const QString& error)
{
    m_error = error;
    return false;
}

QString ReplacingFile::newTemporaryPath(const QString& target)
{
    const QFileInfo info(target);
    return QDir(info.absolutePath())
        .filePath(QLatin1Char('.') + info.fileName().left(64) + Marker + writerName() + QLatin1Char('-') +
                  randomPart());
}

bool ReplacingFile::open()
{
    discard();
    removeStaleTemporaries(QFileInfo(m_target).absolutePath());
    for (int attempt = 0; attempt < 8; ++attempt) {
        m_file.setFileName(newTemporaryPath(m_target));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_created = true;
            return true;
        }
        if (!QFileInfo::exists(m_file.fileName()))
            break;
    }
    return fail(m_file.errorString());
}

bool ReplacingFile::write(QByteArrayView bytes)
{
    if (m_file.write(bytes.data(), bytes.size()) == bytes.size())
        return true;
    return fail(m_file.errorString());
}

bool ReplacingFile::commit()
{
    if (!m_created)
        return fail(QStringLiteral("The file was not opened."));
    // The data must be on the disk before the rename publishes it.
    if (!m_file.isOpen() && !m_file.open(QIODevice::ReadWrite)) {
        fail(m_file.errorString());
        discard();
        return false;
    }
    if (!m_file.flush() || ::fsync(m_file.handle()) != 0) {
        fail(QStringLiteral("the file could not be written to the disk"));
        discard();
        return false;
    }
    const QFileInfo previous(m_target);
    if (m_permissions)
        m_file.setPermissions(*m_permissions);
    else if (previous.exists())
        m_file.setPermissions(previous.permissions());
    m_file.close();
    if (std::rename(QFile::encodeName(m_file.fileName()).constData(),
                    QFile::encodeName(m_target).constData()) != 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        discard();
        return false;
    }
    m_created = false;
    return true;
}

void ReplacingFile::discard()
{
    m_file.close();
    if (!m_created)
        return;
    QFile::remove(m_file.fileName());
    QFile::remove(m_file.fileName() + JournalSuffix);
    m_created = false;
}

int removeStaleTemporaries(const QString& folder)
{
    int removed = 0;
    const QFileInfoList candidates = QDir(folder).entryInfoList(
        {QLatin1String(".*") + Marker + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : candidates) {
        if (isStale(file) && QFile::remove(file.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

} // namespace tarvo
