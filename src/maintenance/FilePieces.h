#pragma once

#include "core/DbResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tarvo {

// Files cut into numbered pieces: path.1, path.2, ... beside the file, every piece PieceSize bytes long
// except the last, which holds the rest.

// 1360 KB, a floppy disk's worth.
inline constexpr qint64 PieceSizeKB = 1360;
inline constexpr qint64 PieceSize = PieceSizeKB * 1024;

// The number of pieces a file of length bytes makes (0 for an empty file).
qint64 pieceCount(qint64 length, qint64 pieceSize = PieceSize);
// Where piece number (from 1) starts in the file, and how long it is.
qint64 pieceOffset(qint64 number, qint64 pieceSize = PieceSize);
qint64 pieceLength(qint64 number, qint64 length, qint64 pieceSize = PieceSize);

// path + "." + number.
QString pieceName(const QString& path, qint64 number);

// The lengths of the pieces path.1, path.2, ... that exist one after another from 1; a piece after a
// gap in the numbering is not counted.
QList<qint64> consecutivePieces(const QString& path);

// The pieces of path as one split left them, or why they are not such a set. A split removes the old
// set and its batch file first and writes the batch file last, and a join deletes the batch file
// before the pieces; so a set is whole when path.bat is there and names exactly the pieces path.1 ..
// path.k found one after another, every piece but the last holds pieceSize bytes and the last 1 to
// pieceSize. Pieces without the batch file are what a finished join or an unfinished split left.
struct PieceSet
{
    QList<qint64> lengths; // the pieces' lengths when the set is whole, else empty
    QString problem;       // for the user when it is not whole; empty when it is
};
PieceSet findWholePieceSet(const QString& path, qint64 pieceSize = PieceSize);

// Why target may not be written: it is the database in use (the same file, also through a link or
// another path), which this program and other workstations hold open. Empty when it may be written.
QString databaseInUseRefusal(const QString& target, const QString& databaseInUse);

// The part of a path up to and including its last separator (empty when there is none), and the part
// after it.
QString PathOf(const QString& path);
QString FileNameOf(const QString& path);

// The batch file (name.bat) that rebuilds the file from its pieces with the command interpreter, run in
// the pieces' folder, lines ending in CR LF. With deleteParts it appends every piece onto piece 1,
// deletes the other pieces, renames piece 1 and deletes itself; without, it copies piece 1 to the file
// and appends the rest, keeping the pieces.
QByteArray joiningBatchFile(const QString& bareName, qint64 pieces, bool deleteParts);

// Seconds with two decimals and no digit before the point under one second: ".25", "3.50".
QString formatElapsed(double seconds);

// The text of the last system call's error (errno).
QString lastSystemError();

// Moves up to length bytes from the current position of file descriptor in to that of out, in the
// kernel where it can (copy_file_range), else through buffer. Returns the bytes moved, fewer only at
// the end of in, or -1 on failure (errno tells why).
qint64 moveBytes(int in, int out, qint64 length, QByteArray& buffer);

// Copies a file whole: the copy is written beside target under a temporary name, flushed to the disk
// and renamed over target, so that target is either the old file or the whole copy.
DbOutcome copyFileReplacing(const QString& source, const QString& target);

} // namespace tarvo
