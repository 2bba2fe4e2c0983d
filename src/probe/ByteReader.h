#pragma once

#include <QByteArray>

namespace tarvo {

// Big-endian reads of a received datagram, for the protocol parsers. has() and remains() say whether
// the bytes are there; the parsers ask before every read, so that no datagram, however short or
// malformed, is read beyond its end.
class ByteReader
{
public:
    explicit ByteReader(const QByteArray& bytes) : m_bytes(bytes) {}

    qsizetype size() const { return m_bytes.size(); }
    bool has(qsizetype offset, qsizetype count) const
    {
        return offset >= 0 && count >= 0 && offset <= m_bytes.size() - count;
    }
    quint8 byteAt(qsizetype offset) const { return static_cast<quint8>(m_bytes.at(offset)); }
    quint16 wordAt(qsizetype offset) const
    {
        return static_cast<quint16>((byteAt(offset) << 8) | byteAt(offset + 1));
    }
    quint32 dwordAt(qsizetype offset) const { return (quint32(wordAt(offset)) << 16) | wordAt(offset + 2); }
    QByteArray mid(qsizetype offset, qsizetype count = -1) const { return m_bytes.mid(offset, count); }

    // Reads at a position that moves on.
    qsizetype position() const { return m_position; }
    bool remains(qsizetype count) const { return has(m_position, count); }
    bool skip(qsizetype count)
    {
        if (!remains(count))
            return false;
        m_position += count;
        return true;
    }
    quint8 byte() { return byteAt(m_position++); }
    quint16 word()
    {
        m_position += 2;
        return wordAt(m_position - 2);
    }
    QByteArray take(qsizetype count)
    {
        m_position += count;
        return mid(m_position - count, count);
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_position = 0;
};

// Appends a 16-bit value, high byte first.
inline void appendWord(QByteArray& bytes, quint16 value)
{
    bytes.append(static_cast<char>(value >> 8));
    bytes.append(static_cast<char>(value & 0xFF));
}

} // namespace tarvo
