#include "records/LineIndex.h"

#include <algorithm>

namespace tarvo {

LineScanner::Piece LineScanner::scan(QByteArrayView bytes)
{
    Piece piece;
    if (m_utf8) {
        m_decoded.resize(size_t(m_decoder.requiredSpace(bytes.size())));
        m_decoder.appendToBuffer(m_decoded.data(), bytes);
        m_utf8 = !m_decoder.hasError();
    }
    const char* data = bytes.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = data[i];
        const qint64 at = m_offset + i;
        if (c == '\n') {
            if (m_pendingCrs == 0)
                endLine(piece);
            piece.starts.push_back(at + 1);
            m_pendingCrs = 0;
            continue;
        }
        if (m_pendingCrs == 2 || (m_pendingCrs == 1 && c != '\r'))
            piece.starts.push_back(at - m_pendingCrs + 1);
        if (m_pendingCrs == 2 && c != '\r')
            piece.starts.push_back(at);
        if (c == '\r') {
            // Whether it ends a line alone or with a line feed shows at the next bytes, perhaps in the
            // next piece. A CR before CR LF goes with them, as CR LF were made line feeds before.
            if (m_pendingCrs == 0)
                endLine(piece);
            m_pendingCrs = qMin(m_pendingCrs + 1, 2);
            continue;
        }
        m_pendingCrs = 0;
        if (c == '\t')
            m_columns = (m_columns | 7) + 1;
        else if ((c & 0xC0) != 0x80)
            ++m_columns;
    }
    m_offset += bytes.size();
    piece.utf8 = m_utf8;
    return piece;
}

LineScanner::Piece LineScanner::finish()
{
    Piece piece;
    if (m_pendingCrs == 2)
        piece.starts.push_back(m_offset - 1);
    if (m_pendingCrs > 0)
        piece.starts.push_back(m_offset);
    m_pendingCrs = 0;
    endLine(piece);
    piece.utf8 = m_utf8;
    return piece;
}

void LineScanner::endLine(Piece& piece)
{
    piece.widestColumns = std::max(piece.widestColumns, m_columns);
    m_columns = 0;
}

void LineIndex::append(std::vector<qint64> starts)
{
    if (starts.empty())
        return;
    m_before.push_back(m_known - 1);
    m_known += qint64(starts.size());
    m_pieces.push_back(std::move(starts));
}

void LineIndex::finish(qint64 size)
{
    m_size = size;
    m_finished = true;
}

qint64 LineIndex::start(qint64 line) const
{
    if (line <= 0)
        return 0;
    const qint64 entry = line - 1;
    const auto piece = std::upper_bound(m_before.begin(), m_before.end(), entry) - 1;
    return m_pieces[size_t(piece - m_before.begin())][size_t(entry - *piece)];
}

QByteArrayView withoutLineEnd(QByteArrayView line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    else if (line.endsWith('\n')) {
        line.chop(1);
        for (int cr = 0; cr < 2 && line.endsWith('\r'); ++cr)
            line.chop(1);
    }
    return line;
}

} // namespace tarvo
