#include "maintenance/PieceJobs.h"

#include "core/ReplacingFile.h"
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace tarvo {

PieceJob::~PieceJob() = default;

PieceJob::Step PieceJob::step()
{
    if (m_state != Step::More)
        return m_state;
    if (!m_opened) {
        m_opened = true;
        m_buffer.resize(BufferSize);
        if (!open())
            return m_state;
        return m_state = Step::More;
    }
    bool done = false;
    if (!moveNext(done))
        return m_state;
    if (done)
        m_state = Step::Done;
    return m_state;
}

void PieceJob::cancel()
{
    if (m_state == Step::More)
        fail(PieceError::Cancelled, QStringLiteral("Stopped."));
}

bool PieceJob::fail(PieceError error, const QString& text)
{
    m_error = error;
    m_errorText = text;
    m_state = Step::Failed;
    undo();
    return false;
}

bool runToEnd(PieceJob& job)
{
    PieceJob::Step step = PieceJob::Step::More;
    while (step == PieceJob::Step::More)
        step = job.step();
    return step == PieceJob::Step::Done;
}

FileSplitter::FileSplitter(QString path, qint64 pieceSize, bool deleteParts)
    : m_path(std::move(path)), m_pieceSize(pieceSize), m_deleteParts(deleteParts)
{}

FileSplitter::~FileSplitter() = default;

bool FileSplitter::open()
{
    m_source.setFileName(m_path);
    if (!m_source.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(PieceError::Read,
                    QStringLiteral("Cannot read \"%1\": %2").arg(m_path, m_source.errorString()));
    const qint64 length = m_source.size();
    if (length <= 0)
        return fail(PieceError::Read,
                    QStringLiteral("\"%1\" is empty: there is nothing to split.").arg(m_path));
    m_progress.bytesTotal = length;
    m_progress.pieces = pieceCount(length, m_pieceSize);
    // Pieces of an earlier split into more pieces would be taken by a join.
    for (qint64 stale = m_progress.pieces + 1; QFileInfo::exists(pieceName(m_path, stale)); ++stale) {
        if (!QFile::remove(pieceName(m_path, stale)))
            return fail(PieceError::Write,
                        QStringLiteral("Cannot delete the old piece \"%1\".").arg(pieceName(m_path, stale)));
    }
    return true;
}

bool FileSplitter::moveNext(bool& done)
{
    if (!m_piece) {
        const QString name = pieceName(m_path, m_progress.piece + 1);
        if (QFileInfo::exists(name) && !QFile::remove(name))
            return fail(PieceError::Write, QStringLiteral("Cannot replace \"%1\".").arg(name));
        m_piece = std::make_unique<QFile>(name);
        if (!m_piece->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            return fail(PieceError::Write,
                        QStringLiteral("Cannot write \"%1\": %2").arg(name, m_piece->errorString()));
        ++m_written;
        ++m_progress.piece;
        m_pieceLeft = pieceLength(m_progress.piece, m_progress.bytesTotal, m_pieceSize);
    }
    const qint64 wanted = std::min<qint64>(m_pieceLeft, m_buffer.size());
    const qint64 got = moveBytes(m_source.handle(), m_piece->handle(), wanted, m_buffer);
    if (got < 0)
        return fail(PieceError::Write,
                    QStringLiteral("Cannot write \"%1\": %2").arg(m_piece->fileName(), lastSystemError()));
    if (got != wanted)
        return fail(PieceError::Changed,
                    QStringLiteral("\"%1\" became shorter while it was split.").arg(m_path));
    m_progress.bytesDone += got;
    m_pieceLeft -= got;
    if (m_pieceLeft > 0)
        return true;
    m_piece->close();
    m_piece.reset();
    if (m_progress.piece < m_progress.pieces)
        return true;
    done = true;
    return finish();
}

bool FileSplitter::finish()
{
    if (m_source.size() != m_progress.bytesTotal)
        return fail(PieceError::Changed, QStringLiteral("\"%1\" changed while it was split.").arg(m_path));
    m_source.close();
    ReplacingFile batch(m_path + QStringLiteral(".bat"));
    if (batch.open() && batch.write(joiningBatchFile(FileNameOf(m_path), m_progress.pieces, m_deleteParts)) &&
        batch.commit())
        return true;
    return fail(
        PieceError::Write,
        QStringLiteral("Cannot write the batch file \"%1.bat\": %2").arg(m_path, batch.errorString()));
}

void FileSplitter::undo()
{
    m_piece.reset();
    m_source.close();
    for (qint64 number = 1; number <= m_written; ++number)
        QFile::remove(pieceName(m_path, number));
}

FileJoiner::FileJoiner(QString path, bool deleteParts) : m_path(std::move(path)), m_deleteParts(deleteParts)
{}

FileJoiner::~FileJoiner() = default;

bool FileJoiner::open()
{
    m_lengths = consecutivePieces(m_path);
    if (m_lengths.isEmpty())
        return fail(PieceError::Read, QStringLiteral("\"%1\" has no pieces.").arg(m_path));
    m_progress.pieces = m_lengths.size();
    for (const qint64 length : std::as_const(m_lengths))
        m_progress.bytesTotal += length;
    // A temporary the program recognises: what a killed join left behind goes at the next write into
    // this folder.
    removeStaleTemporaries(QFileInfo(m_path).absolutePath());
    m_output.setFileName(ReplacingFile::newTemporaryPath(m_path));
    if (!m_output.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return fail(
            PieceError::Write,
            QStringLiteral("Cannot write \"%1\": %2").arg(m_output.fileName(), m_output.errorString()));
    return true;
}

bool FileJoiner::moveNext(bool& done)
{
    if (!m_piece) {
        ++m_progress.piece;
        m_piece = std::make_unique<QFile>(pieceName(m_path, m_progress.piece));
        if (!m_piece->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return fail(
                PieceError::Read,
                QStringLiteral("Cannot read \"%1\": %2").arg(m_piece->fileName(), m_piece->errorString()));
        m_pieceLeft = m_lengths.at(m_progress.piece - 1);
    }
    const qint64 wanted = std::min<qint64>(m_pieceLeft, m_buffer.size());
    const qint64 got = moveBytes(m_piece->handle(), m_output.handle(), wanted, m_buffer);
    if (got < 0)
        return fail(PieceError::Write,
                    QStringLiteral("Cannot write \"%1\": %2").arg(m_output.fileName(), lastSystemError()));
    if (got != wanted)
        return fail(PieceError::Changed,
                    QStringLiteral("\"%1\" became shorter during the join.").arg(m_piece->fileName()));
    m_progress.bytesDone += got;
    m_pieceLeft -= got;
    if (m_pieceLeft > 0)
        return true;
    const bool same = m_piece->size() == m_lengths.at(m_progress.piece - 1);
    m_piece.reset();
    if (!same)
        return fail(
            PieceError::Changed,
            QStringLiteral("\"%1\" changed during the join.").arg(pieceName(m_path, m_progress.piece)));
    if (m_progress.piece < m_progress.pieces)
        return true;
    done = true;
    return finish();
}

bool FileJoiner::finish()
{
    // Before the pieces go, the rebuilt file must be on the disk. While the pieces stay, nothing is
    // lost if it is not (and the file it replaces is the one the user chose to overwrite).
    if (m_deleteParts && ::fdatasync(m_output.handle()) != 0)
        return fail(PieceError::Write,
                    QStringLiteral("Cannot write \"%1\": %2").arg(m_output.fileName(), lastSystemError()));
    m_output.close();
    if (QFileInfo(m_output.fileName()).size() != m_progress.bytesTotal)
        return fail(PieceError::Write,
                    QStringLiteral("\"%1\" was not written whole.").arg(m_output.fileName()));
    if (QFileInfo::exists(m_path))
        m_output.setPermissions(QFileInfo(m_path).permissions());
    if (std::rename(QFile::encodeName(m_output.fileName()).constData(),
                    QFile::encodeName(m_path).constData()) != 0)
        return fail(PieceError::Write,
                    QStringLiteral("Cannot replace \"%1\": %2").arg(m_path, lastSystemError()));
    if (m_deleteParts) {
        for (qint64 number = 1; number <= m_progress.pieces; ++number)
            QFile::remove(pieceName(m_path, number));
        QFile::remove(m_path + QStringLiteral(".bat"));
    }
    return true;
}

void FileJoiner::undo()
{
    m_piece.reset();
    if (m_output.isOpen())
        m_output.close();
    if (!m_output.fileName().isEmpty())
        QFile::remove(m_output.fileName());
}

} // namespace tarvo
