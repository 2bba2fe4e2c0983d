#include "records/IndexedTextFile.h"

#include <QThread>

namespace tarvo {

IndexedTextFile::IndexedTextFile(QObject* parent) : QObject(parent) {}

IndexedTextFile::~IndexedTextFile()
{
    stopIndexing();
}

bool IndexedTextFile::open(const QString& path, QString* error)
{
    close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        *error = m_file.errorString();
        return false;
    }
    const qint64 size = m_file.size();
    const QByteArray head = m_file.read(qMin(size, HeadBytes));
    if (m_file.error() != QFileDevice::NoError) {
        *error = m_file.errorString();
        m_file.close();
        return false;
    }
    LineScanner scanner;
    take(m_generation, scanner.scan(head), -1, {});
    if (scanner.scanned() >= size)
        take(m_generation, scanner.finish(), scanner.scanned(), {});
    else
        startIndexing(path, std::move(scanner), size);
    return true;
}

void IndexedTextFile::close()
{
    stopIndexing();
    ++m_generation; // pieces of the former file still on their way are dropped
    m_file.close();
    m_index = {};
    m_widestColumns = 0;
    m_utf8 = true;
}

void IndexedTextFile::startIndexing(const QString& path, LineScanner scanner, qint64 size)
{
    const quint64 generation = m_generation;
    const auto post = [this, generation](LineScanner::Piece piece, qint64 end, const QString& error) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, piece = std::move(piece), end, error] { take(generation, piece, end, error); },
            Qt::QueuedConnection);
    };
    m_stop = false;
    m_thread.reset(QThread::create([this, path, size, post, scanner = std::move(scanner)]() mutable {
        QFile file(path);
        QString error;
        if (!file.open(QIODevice::ReadOnly) || !file.seek(scanner.scanned()))
            error = file.errorString();
        QByteArray buffer(PieceBytes, Qt::Uninitialized);
        while (error.isEmpty() && !m_stop && scanner.scanned() < size) {
            const qint64 read = file.read(buffer.data(), qMin(PieceBytes, size - scanner.scanned()));
            if (read < 0)
                error = file.errorString();
            if (read <= 0)
                break;
            post(scanner.scan(QByteArrayView(buffer.data(), read)), -1, {});
        }
        post(scanner.finish(), scanner.scanned(), error);
    }));
    m_thread->start();
}

void IndexedTextFile::stopIndexing()
{
    if (!m_thread)
        return;
    m_stop = true;
    m_thread->wait();
    m_thread.reset();
}

void IndexedTextFile::take(quint64 generation, LineScanner::Piece piece, qint64 end, const QString& error)
{
    if (generation != m_generation)
        return;
    m_index.append(std::move(piece.starts));
    m_widestColumns = qMax(m_widestColumns, piece.widestColumns);
    m_utf8 = piece.utf8;
    if (end >= 0)
        m_index.finish(end);
    Q_EMIT linesChanged();
    if (!error.isEmpty())
        Q_EMIT readFailed(error);
    if (end >= 0)
        Q_EMIT completed();
}

QStringList IndexedTextFile::lines(qint64 first, qint64 count) const
{
    QStringList shown;
    first = qMax<qint64>(first, 0);
    const qint64 last = qMin(lineCount(), first + qMax<qint64>(count, 0));
    if (first >= last)
        return shown;
    // A screen of lines is read in one go; very long lines one at a time, each only as far as shown.
    const qint64 from = m_index.start(first);
    const bool together = m_index.end(last - 1) - from <= 4 * MaxLineBytes;
    QByteArray bytes;
    if (together && m_file.seek(from))
        bytes = m_file.read(m_index.end(last - 1) - from);
    shown.reserve(last - first);
    for (qint64 line = first; line < last; ++line) {
        const qint64 start = m_index.start(line);
        const qint64 length = m_index.end(line) - start;
        QByteArray own;
        QByteArrayView view;
        if (together) {
            view = QByteArrayView(bytes).sliced(qMin(start - from, bytes.size()));
            view.truncate(qMin(length, view.size()));
        } else {
            if (m_file.seek(start))
                own = m_file.read(qMin(length, MaxLineBytes));
            view = own;
        }
        view = withoutLineEnd(view);
        view.truncate(qMin(view.size(), MaxLineBytes));
        shown.append(decode(line, view));
    }
    return shown;
}

QString IndexedTextFile::decode(qint64 line, QByteArrayView bytes) const
{
    if (!m_utf8)
        return QString::fromLatin1(bytes);
    // Only the file's own start may carry a byte order mark that is not shown.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        line == 0 ? QStringDecoder::Flag::Default : QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

} // namespace tarvo
