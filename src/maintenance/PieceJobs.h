#pragma once

#include "maintenance/FilePieces.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <memory>

namespace tarvo {

class DatabaseSnapshot;
class PendingWrite;

// How far a split or join is.
struct PieceProgress
{
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;
    qint64 piece = 0;  // the piece being moved, from 1 (0 before the first)
    qint64 pieces = 0; // how many there are
};

// Why a split or join stopped.
enum class PieceError
{
    None,
    Read,      // the file or a piece cannot be read
    Write,     // a piece, the batch file or the output cannot be written
    Changed,   // a file changed size while it was being read
    Cancelled, // stopped by the user
    InUse,     // a file to write is the database in use
    Incomplete // the pieces are not one whole set
};

// A split or join done in steps, each moving at most one buffer of bytes, so that a window can run it
// on its event loop and show progress between the steps. A job that fails or is cancelled takes back
// what it wrote, so that no set of pieces or output is left that looks whole but is not.
class PieceJob
{
public:
    enum class Step
    {
        More,
        Done,
        Failed
    };

    virtual ~PieceJob();
    PieceJob(const PieceJob&) = delete;
    PieceJob& operator=(const PieceJob&) = delete;

    // The first step opens the files. Steps after Done or Failed do nothing.
    Step step();
    // Stops the job and takes back what it wrote (error Cancelled); a job past the point where its
    // result is in place (see commit) goes on to its end instead.
    void cancel();
    // The database in use, which the job refuses to write over (error InUse) before it writes anything.
    void setDatabaseInUse(const QString& path) { m_databaseInUse = path; }
    // Keeps a record of the job's folder in the program folder while it runs (see PendingWrite).
    void recordWhileWriting(const QString& programFolder) { m_programFolder = programFolder; }

    bool isFinished() const { return m_state != Step::More; }
    const PieceProgress& progress() const { return m_progress; }
    PieceError error() const { return m_error; }
    const QString& errorText() const { return m_errorText; }

    // The size of the buffer one step moves at most.
    static constexpr qint64 BufferSize = 4 * 1024 * 1024;

protected:
    // folder: where the job writes.
    explicit PieceJob(QString folder);
    virtual bool open() = 0;
    // Moves the next buffer; false on failure. Sets done when all is moved and finished.
    virtual bool moveNext(bool& done) = 0;
    // Takes back what was written.
    virtual void undo() = 0;
    bool fail(PieceError error, const QString& text);
    // False, after failing with InUse, when target is the database in use.
    bool mayWrite(const QString& target);
    // The result is in place: what is left to do is tidying, which a stop does not interrupt.
    void commit() { m_committed = true; }
    // Whether path is the database in use (see setDatabaseInUse).
    bool isDatabaseInUse(const QString& path) const;

    PieceProgress m_progress;
    QByteArray m_buffer;

private:
    Step m_state = Step::More;
    bool m_opened = false;
    bool m_committed = false;
    PieceError m_error = PieceError::None;
    QString m_errorText;
    QString m_databaseInUse;
    QString m_folder;
    QString m_programFolder;
    std::unique_ptr<PendingWrite> m_record;
};

// Runs a job to its end at once; true when it is done.
bool runToEnd(PieceJob& job);

// Cuts a file into pieces of pieceSize bytes (path.1, path.2, ...) and writes the joining batch file
// (path.bat). The file is only read. So that a join only ever finds one whole set, the split first
// deletes the batch file and then the pieces of an earlier split (the last first), writes each piece
// under a temporary name and renames it into place, deletes the pieces of an earlier, longer split
// that would follow its last, and writes the batch file last, once every piece is on the disk. An empty
// file is refused, and so is a file that changes size while it is read.
// An SQLite database file, which this program and other workstations may be writing meanwhile, is not
// read byte by byte: one state of it is first copied through SQLite (see DatabaseSnapshot), on a thread
// of its own while the steps wait for it, and the pieces are cut from that copy, which goes at the end.
// A file that begins as an SQLite file but is not a plain database (SQLite refuses it as not a database
// or as damaged, or its length is not that of the pages its database counts) is cut as it is, as any
// other file; the database in use never is, and its split is refused.
class FileSplitter final : public PieceJob
{
public:
    FileSplitter(QString path, qint64 pieceSize, bool deleteParts);
    ~FileSplitter() override;

protected:
    bool open() override;
    bool moveNext(bool& done) override;
    void undo() override;

private:
    enum class Phase
    {
        Snapshot, // waiting for the copy of an SQLite file
        Pieces,   // writing the pieces
        Sync      // waiting for the pieces to reach the disk, one a step
    };

    bool isSqliteFile() const;
    bool startReading(const QString& from);
    bool movePiece();
    bool placePiece();
    bool endReading();
    bool syncPiece(bool& done);
    bool finish();

    QString m_path;
    qint64 m_pieceSize;
    bool m_deleteParts;
    Phase m_phase = Phase::Pieces;
    std::unique_ptr<DatabaseSnapshot> m_snapshot; // the state of an SQLite file that is cut
    QFile m_source;
    std::unique_ptr<QFile> m_piece; // the temporary of the piece being written
    qint64 m_pieceLeft = 0;
    qint64 m_written = 0; // pieces in place so far
    qint64 m_synced = 0;  // of those, the pieces on the disk
};

// Rebuilds a file from its pieces (path.1, path.2, ...), which must be one whole set (see
// findWholePieceSet; error Incomplete otherwise). The output is written under a temporary name beside
// the file, checked against the pieces' lengths and renamed into place; only then, with deleteParts,
// are the batch file and then the pieces (the last first) deleted, so that what a kill leaves is the
// whole set or pieces without a batch file. An existing file at path stays as it was until the rename.
class FileJoiner final : public PieceJob
{
public:
    FileJoiner(QString path, bool deleteParts, qint64 pieceSize = PieceSize);
    ~FileJoiner() override;

    // The temporary name of the output while it is written (empty before the join opens).
    QString temporaryPath() const { return m_output.fileName(); }

protected:
    bool open() override;
    bool moveNext(bool& done) override;
    void undo() override;

private:
    bool finish();
    void deleteSomePieces();

    // So that a step stays short however many pieces there are.
    static constexpr int PiecesDeletedPerStep = 64;

    QString m_path;
    bool m_deleteParts;
    qint64 m_pieceSize;
    qint64 m_toDelete = 0; // pieces left to delete, the last first
    QList<qint64> m_lengths;
    QFile m_output;
    std::unique_ptr<QFile> m_piece;
    qint64 m_pieceLeft = 0;
};

} // namespace tarvo
