#pragma once

#include "records/LineIndex.h"

#include <QFile>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>

class QThread;

namespace tarvo {

// A text file shown line by line without holding it whole: its first bytes are indexed at open, the
// rest on a thread of its own, and lines are read and decoded only when asked for. The file is taken at
// the length it had when it was opened; what is appended later is not shown. The text is UTF-8 when the
// whole file is, Latin-1 otherwise (a log written in a Windows code page), decided for the whole file;
// a leading UTF-8 byte order mark is not shown.
class IndexedTextFile final : public QObject
{
    Q_OBJECT
public:
    // The bytes indexed before open() returns, so that the first screen is there at once.
    static constexpr qint64 HeadBytes = 64 * 1024;
    // The bytes the index thread reads at a time.
    static constexpr qint64 PieceBytes = 1024 * 1024;
    // A longer line is shown up to this many bytes.
    static constexpr qint64 MaxLineBytes = 64 * 1024;

    explicit IndexedTextFile(QObject* parent = nullptr);
    ~IndexedTextFile() override;

    // Opens the file and starts indexing it. False, with the reason, when it cannot be read.
    bool open(const QString& path, QString* error);
    // Stops indexing and lets the file go: no lines.
    void close();

    bool isComplete() const { return m_index.isFinished(); }
    qint64 lineCount() const { return m_index.lineCount(); }
    // The widest line indexed so far, in columns of eight to a tab.
    qint64 widestColumns() const { return m_widestColumns; }
    // Up to count lines from first on, without their line ends.
    QStringList lines(qint64 first, qint64 count) const;

Q_SIGNALS:
    // More lines are known, or the text turned out not to be UTF-8.
    void linesChanged();
    // All lines are known.
    void completed();
    // The file could not be read to its end; the lines read so far stay.
    void readFailed(const QString& error);

private:
    // end: where the last line ends, once the index is whole; -1 before.
    void take(quint64 generation, LineScanner::Piece piece, qint64 end, const QString& error);
    void startIndexing(const QString& path, LineScanner scanner, qint64 size);
    void stopIndexing();
    QString decode(qint64 line, QByteArrayView bytes) const;

    mutable QFile m_file;
    LineIndex m_index;
    qint64 m_widestColumns = 0;
    bool m_utf8 = true;
    quint64 m_generation = 0;
    std::unique_ptr<QThread> m_thread;
    std::atomic_bool m_stop{false};
};

} // namespace tarvo
