#include "maintenance/PieceJobs.h"

#include "core/DatabaseConnection.h"
#include "core/PendingWrites.h"
#include "core/ReplacingFile.h"
#include "core/SqliteLink.h"
#include "maintenance/DatabaseSnapshot.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tarvo {

namespace {

// Deletes pieces count down to 1; the name of the first that could not be deleted, or empty.
QString removePieces(const QString& path, qint64 count)
{
    for (qint64 number = count; number >= 1; --number) {
        if (!QFile::remove(pieceName(path, number)) && QFileInfo::exists(pieceName(path, number)))
            return pieceName(path, number);
    }
    return {};
}

// Deletes the batch file of path and then its pieces, so that whatever stops it midway leaves pieces
// without a batch file, which no join takes.
QString removePieceSet(const QString& path, qint64 count)
{
    const QString batch = path + QStringLiteral(".bat");
    if (QFileInfo::exists(batch) && !QFile::remove(batch))
        return batch;
    return removePieces(path, count);
}

bool renameFile(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Asks the system to start writing what was written to a file to the disk, without waiting for it, so
// that the sync that follows has little left to wait for. Only a hint.
void startWriteback(int fd)
{
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

// Waits until the file's contents are on the disk; false on failure (errno tells why).
bool syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fdatasync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

// How every SQLite database file begins.
const QByteArray SqliteHeader("SQLite format 3", 16);

} // namespace

PieceJob::PieceJob(QString folder) : m_folder(std::move(folder)) {}

PieceJob::~PieceJob() = default;

PieceJob::Step PieceJob::step()
{
    if (m_state != Step::More)
        return m_state;
    if (!m_opened) {
        m_opened = true;
        m_buffer.resize(BufferSize);
        if (!m_programFolder.isEmpty())
            m_record = std::make_unique<PendingWrite>(m_programFolder, m_folder);
        if (!open())
            return m_state;
        return m_state = Step::More;
    }
    bool done = false;
    if (!moveNext(done))
        return m_state;
    if (done) {
        m_state = Step::Done;
        m_record.reset();
    }
    return m_state;
}

void PieceJob::cancel()
{
    if (m_state == Step::More && !m_committed)
        fail(PieceError::Cancelled, QStringLiteral("Stopped."));
}

bool PieceJob::fail(PieceError error, const QString& text)
{
    m_error = error;
    m_errorText = text;
    m_state = Step::Failed;
    undo();
    m_record.reset();
    return false;
}

bool PieceJob::isDatabaseInUse(const QString& path) const
{
    return !databaseInUseRefusal(path, m_databaseInUse).isEmpty();
}

bool PieceJob::mayWrite(const QString& target)
{
    const QString refusal = databaseInUseRefusal(target, m_databaseInUse);
    return refusal.isEmpty() || fail(PieceError::InUse, refusal);
}

bool runToEnd(PieceJob& job)
{
    PieceJob::Step step = PieceJob::Step::More;
    while (step == PieceJob::Step::More)
        step = job.step();
    return step == PieceJob::Step::Done;
}

FileSplitter::FileSplitter(QString path, qint64 pieceSize, bool deleteParts)
    : PieceJob(QFileInfo(path).absolutePath()), m_path(std::move(path)), m_pieceSize(pieceSize),
      m_deleteParts(deleteParts)
{}

FileSplitter::~FileSplitter() = default;

bool FileSplitter::open()
{
    if (!isSqliteFile())
        return startReading(m_path);
    // Only through SQLite, and only where its library is the one of Qt's driver.
    if (const QString problem = sqliteLinkProblem(); !problem.isEmpty())
        return fail(PieceError::Read, problem);
    m_phase = Phase::Snapshot;
    m_snapshot = std::make_unique<DatabaseSnapshot>(m_path, DefaultBusyTimeoutMs);
    return true;
}

bool FileSplitter::isSqliteFile() const
{
    // The database in use is one, without a look. Any other file is looked at through SQLite's file
    // layer, which never drops a lock of the program's connections (see readFileHead); where that layer
    // cannot be used, with a plain read: the split of an SQLite file then fails anyway.
    if (isDatabaseInUse(m_path))
        return true;
    if (sqliteLinkProblem().isEmpty())
        return readFileHead(m_path, static_cast<int>(SqliteHeader.size())) == SqliteHeader;
    QFile file(m_path);
    return file.open(QIODevice::ReadOnly) && file.read(SqliteHeader.size()) == SqliteHeader;
}

bool FileSplitter::startReading(const QString& from)
{
    m_phase = Phase::Pieces;
    m_source.setFileName(from);
    if (!m_source.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(PieceError::Read,
                    QStringLiteral("Cannot read \"%1\": %2").arg(m_path, m_source.errorString()));
    const qint64 length = m_source.size();
    if (length <= 0)
        return fail(PieceError::Read,
                    QStringLiteral("\"%1\" is empty: there is nothing to split.").arg(m_path));
    m_progress.bytesTotal = length;
    m_progress.pieces = pieceCount(length, m_pieceSize);
    if (!mayWrite(m_path + QStringLiteral(".bat")))
        return false;
    for (qint64 number = 1; number <= m_progress.pieces; ++number) {
        if (!mayWrite(pieceName(m_path, number)))
            return false;
    }
    // What killed splits and joins left in the folder, then the earlier set: from here until the batch
    // file is written, no join takes what lies there.
    removeStaleTemporaries(QFileInfo(m_path).absolutePath());
    if (const QString kept = removePieceSet(m_path, consecutivePieces(m_path).size()); !kept.isEmpty())
        return fail(PieceError::Write, QStringLiteral("Cannot delete the old piece \"%1\".").arg(kept));
    return true;
}

bool FileSplitter::moveNext(bool& done)
{
    switch (m_phase) {
    case Phase::Snapshot:
        // A short wait: the window's events go on between the steps.
        if (!m_snapshot->wait(std::chrono::milliseconds(20)))
            return true;
        if (m_snapshot->outcome())
            return startReading(m_snapshot->path());
        // A file that is not a plain database (SQLite cannot read it, or its length is not that of its
        // pages): cut as it is, like any other file. Not the database in use: the program's connection
        // holds it, and a plain descriptor closed on it would drop that connection's locks.
        if (m_snapshot->sourceUnreadable() && !isDatabaseInUse(m_path)) {
            m_snapshot.reset();
            return startReading(m_path);
        }
        return fail(PieceError::Read,
                    QStringLiteral("Cannot read \"%1\": %2").arg(m_path, m_snapshot->outcome().error()));
    case Phase::Pieces:
        return movePiece();
    case Phase::Sync:
        return syncPiece(done);
    }
    return false;
}

bool FileSplitter::movePiece()
{
    if (!m_piece) {
        ++m_progress.piece;
        m_piece =
            std::make_unique<QFile>(ReplacingFile::newTemporaryPath(pieceName(m_path, m_progress.piece)));
        if (!m_piece->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return fail(PieceError::Write,
                        QStringLiteral("Cannot write \"%1\": %2")
                            .arg(pieceName(m_path, m_progress.piece), m_piece->errorString()));
        m_pieceLeft = pieceLength(m_progress.piece, m_progress.bytesTotal, m_pieceSize);
    }
    const qint64 wanted = std::min<qint64>(m_pieceLeft, m_buffer.size());
    const qint64 got = moveBytes(m_source.handle(), m_piece->handle(), wanted, m_buffer);
    if (got < 0)
        return fail(PieceError::Write, QStringLiteral("Cannot write \"%1\": %2")
                                           .arg(pieceName(m_path, m_progress.piece), lastSystemError()));
    if (got != wanted)
        return fail(PieceError::Changed,
                    QStringLiteral("\"%1\" became shorter while it was split.").arg(m_path));
    startWriteback(m_piece->handle());
    m_progress.bytesDone += got;
    m_pieceLeft -= got;
    if (m_pieceLeft > 0)
        return true;
    if (!placePiece())
        return false;
    return m_progress.piece < m_progress.pieces || endReading();
}

bool FileSplitter::placePiece()
{
    const QString name = pieceName(m_path, m_progress.piece);
    m_piece->close();
    if (!renameFile(m_piece->fileName(), name))
        return fail(PieceError::Write,
                    QStringLiteral("Cannot write \"%1\": %2").arg(name, lastSystemError()));
    m_piece.reset();
    ++m_written;
    return true;
}

bool FileSplitter::endReading()
{
    if (m_source.size() != m_progress.bytesTotal)
        return fail(PieceError::Changed, QStringLiteral("\"%1\" changed while it was split.").arg(m_path));
    m_source.close();
    // Pieces of an earlier split into more pieces, which a gap had kept from the first deletion.
    for (qint64 stale = m_progress.pieces + 1; QFileInfo::exists(pieceName(m_path, stale)); ++stale) {
        if (!QFile::remove(pieceName(m_path, stale)))
            return fail(PieceError::Write,
                        QStringLiteral("Cannot delete the old piece \"%1\".").arg(pieceName(m_path, stale)));
    }
    m_phase = Phase::Sync;
    return true;
}

bool FileSplitter::syncPiece(bool& done)
{
    // Every piece on the disk before the batch file that is written last can say that the set is whole.
    // Their write-back started as they were written, so little is left to wait for.
    const QString name = pieceName(m_path, ++m_synced);
    if (!syncFile(name))
        return fail(PieceError::Write,
                    QStringLiteral("Cannot write \"%1\": %2").arg(name, lastSystemError()));
    if (m_synced < m_written)
        return true;
    done = true;
    return finish();
}

bool FileSplitter::finish()
{
    ReplacingFile batch(m_path + QStringLiteral(".bat"));
    if (!batch.open() ||
        !batch.write(joiningBatchFile(FileNameOf(m_path), m_progress.pieces, m_deleteParts)) ||
        !batch.commit())
        return fail(
            PieceError::Write,
            QStringLiteral("Cannot write the batch file \"%1.bat\": %2").arg(m_path, batch.errorString()));
    m_snapshot.reset();
    return true;
}

void FileSplitter::undo()
{
    if (m_piece) {
        m_piece->close();
        QFile::remove(m_piece->fileName());
        m_piece.reset();
    }
    m_source.close();
    m_snapshot.reset();
    removePieces(m_path, m_written);
}

FileJoiner::FileJoiner(QString path, bool deleteParts, qint64 pieceSize)
    : PieceJob(QFileInfo(path).absolutePath()), m_path(std::move(path)), m_deleteParts(deleteParts),
      m_pieceSize(pieceSize)
{}

FileJoiner::~FileJoiner() = default;

bool FileJoiner::open()
{
    if (!mayWrite(m_path))
        return false;
    const PieceSet set = findWholePieceSet(m_path, m_pieceSize);
    if (set.lengths.isEmpty())
        return fail(consecutivePieces(m_path).isEmpty() ? PieceError::Read : PieceError::Incomplete,
                    set.problem);
    m_lengths = set.lengths;
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
    if (m_toDelete > 0) {
        deleteSomePieces();
        done = m_toDelete == 0;
        return true;
    }
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
    startWriteback(m_output.handle());
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
    if (!finish())
        return false;
    done = m_toDelete == 0;
    return true;
}

bool FileJoiner::finish()
{
    // The rebuilt file must be on the disk before it replaces a file and before the pieces go. Its
    // write-back started as it was written, so little is left to wait for.
    if (::fdatasync(m_output.handle()) != 0)
        return fail(PieceError::Write,
                    QStringLiteral("Cannot write \"%1\": %2").arg(m_output.fileName(), lastSystemError()));
    m_output.close();
    if (QFileInfo(m_output.fileName()).size() != m_progress.bytesTotal)
        return fail(PieceError::Write,
                    QStringLiteral("\"%1\" was not written whole.").arg(m_output.fileName()));
    if (!mayWrite(m_path))
        return false;
    if (QFileInfo::exists(m_path))
        m_output.setPermissions(QFileInfo(m_path).permissions());
    if (!renameFile(m_output.fileName(), m_path))
        return fail(PieceError::Write,
                    QStringLiteral("Cannot replace \"%1\": %2").arg(m_path, lastSystemError()));
    // The file is whole: from here the job goes to its end. The batch file goes first, so that the
    // pieces a stop midway leaves are not taken for a set; a batch file that stays keeps its pieces.
    commit();
    const QString batch = m_path + QStringLiteral(".bat");
    if (m_deleteParts && (QFile::remove(batch) || !QFileInfo::exists(batch)))
        m_toDelete = m_progress.pieces;
    return true;
}

void FileJoiner::deleteSomePieces()
{
    for (int n = 0; n < PiecesDeletedPerStep && m_toDelete > 0; ++n, --m_toDelete)
        QFile::remove(pieceName(m_path, m_toDelete));
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
