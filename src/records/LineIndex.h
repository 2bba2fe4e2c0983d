#pragma once

#include <QByteArrayView>
#include <QStringDecoder>

#include <vector>

namespace tarvo {

// One pass over the bytes of a text file, read a piece at a time, that finds where its lines start. A
// line ends at CR LF, at LF or at a lone CR, as a plain-text box breaks them once CR LF are made line
// feeds (so CR CR LF is one line end). Alongside, the pass
// measures the widest line in columns (a tab reaches the next multiple of eight, every other character
// takes one) and checks whether the whole text is UTF-8.
class LineScanner
{
public:
    // What one piece of bytes added.
    struct Piece
    {
        std::vector<qint64> starts; // file offsets of the lines that begin in it (the first line aside)
        qint64 widestColumns = 0;   // of the lines that ended in it
        bool utf8 = true;           // of every byte scanned so far
    };

    // Scans the bytes that follow those scanned before.
    Piece scan(QByteArrayView bytes);
    // Closes the last line at the end of the file.
    Piece finish();

    qint64 scanned() const { return m_offset; }

private:
    void endLine(Piece& piece);

    qint64 m_offset = 0;
    qint64 m_columns = 0;
    int m_pendingCrs = 0; // CRs just scanned whose line end is not known yet (at most two matter)
    bool m_utf8 = true;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    std::vector<QChar> m_decoded;
};

// The starts of the lines of a file, gathered piece by piece as a LineScanner goes on. Until finish()
// only the lines whose end was found count; then the last line runs to the end of the file.
class LineIndex
{
public:
    void append(std::vector<qint64> starts);
    void finish(qint64 size);
    bool isFinished() const { return m_finished; }

    qint64 lineCount() const { return m_finished ? m_known : m_known - 1; }
    // The bytes of a line, its line end included: [start, end).
    qint64 start(qint64 line) const;
    qint64 end(qint64 line) const { return line + 1 < m_known ? start(line + 1) : m_size; }

private:
    std::vector<std::vector<qint64>> m_pieces;
    std::vector<qint64> m_before; // how many starts the pieces before each one hold
    qint64 m_known = 1;           // the first line starts at 0
    qint64 m_size = 0;
    bool m_finished = false;
};

// A line's bytes without the line end that closes it.
QByteArrayView withoutLineEnd(QByteArrayView line);

} // namespace tarvo
