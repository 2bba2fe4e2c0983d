#include "core/PendingWrites.h"

#include "core/ProgramFolder.h"
#include "core/ReplacingFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace tarvo {

namespace {

// A folder path is no longer than this; a longer record is not one of ours.
constexpr qint64 RecordLimit = 16 * 1024;

} // namespace

QString pendingWritesFolder(const QString& programFolder)
{
    return joinPath(programFolder, QStringLiteral(".tarvo-writes"));
}

PendingWrite::PendingWrite(const QString& programFolder, const QString& folder)
{
    const QString records = pendingWritesFolder(programFolder);
    if (!QDir().mkpath(records))
        return;
    const QString path =
        joinPath(records, writerName() + QLatin1Char('-') +
                              QString::number(QRandomGenerator::global()->generate64() >> 16, 36));
    ReplacingFile record(path);
    if (record.open() && record.write(QDir(folder).absolutePath().toUtf8()) && record.commit())
        m_record = path;
}

PendingWrite::~PendingWrite()
{
    if (!m_record.isEmpty())
        QFile::remove(m_record);
}

QStringList finishEndedWrites(const QString& programFolder)
{
    const QString records = pendingWritesFolder(programFolder);
    QStringList cleaned;
    for (const QFileInfo& entry : QDir(records).entryInfoList(QDir::Files)) {
        const QString name = entry.fileName();
        if (!writerHasEnded(name.left(name.lastIndexOf(QLatin1Char('-')))) || entry.size() > RecordLimit)
            continue;
        QFile record(entry.absoluteFilePath());
        if (!record.open(QIODevice::ReadOnly))
            continue;
        const QString folder = QString::fromUtf8(record.read(RecordLimit));
        record.close();
        if (!folder.isEmpty() && QDir::isAbsolutePath(folder)) {
            removeStaleTemporaries(folder);
            cleaned << folder;
        }
        QFile::remove(entry.absoluteFilePath());
    }
    // A record whose own writing was killed.
    removeStaleTemporaries(records);
    return cleaned;
}

} // namespace tarvo
