#include "maintenance/FilePieces.h"

#include "core/ReplacingFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvo {

namespace {

const QByteArray Quote = QByteArrayLiteral("\"");

QByteArray quoted(const QString& name)
{
    return Quote + QFile::encodeName(name) + Quote;
}

} // namespace

QString lastSystemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

qint64 pieceCount(qint64 length, qint64 pieceSize)
{
    if (length <= 0 || pieceSize <= 0)
        return 0;
    return (length - 1) / pieceSize + 1;
}

qint64 pieceOffset(qint64 number, qint64 pieceSize)
{
    return (number - 1) * pieceSize;
}

qint64 pieceLength(qint64 number, qint64 length, qint64 pieceSize)
{
    const qint64 rest = length - pieceOffset(number, pieceSize);
    return std::clamp<qint64>(rest, 0, pieceSize);
}

QString pieceName(const QString& path, qint64 number)
{
    return path + QLatin1Char('.') + QString::number(number);
}

QList<qint64> consecutivePieces(const QString& path)
{
    QList<qint64> lengths;
    for (qint64 number = 1;; ++number) {
        const QFileInfo piece(pieceName(path, number));
        if (!piece.isFile())
            return lengths;
        lengths << piece.size();
    }
}

PieceSet findWholePieceSet(const QString& path, qint64 pieceSize)
{
    const QList<qint64> lengths = consecutivePieces(path);
    const QString again = QStringLiteral(" They cannot be joined; split the file again.");
    if (lengths.isEmpty())
        return {{}, QStringLiteral("\"%1\" has no pieces.").arg(path)};
    const QString batchPath = path + QStringLiteral(".bat");
    QFile batch(batchPath);
    if (!QFileInfo(batchPath).isFile())
        return {{},
                QStringLiteral("The pieces of \"%1\" have no batch file \"%2\": they are what is left of a "
                               "join that deleted its pieces, or of a split that did not finish.")
                        .arg(path, batchPath) +
                    again};
    const qint64 count = lengths.size();
    const QString bareName = FileNameOf(path);
    const QByteArray keeping = joiningBatchFile(bareName, count, false);
    const QByteArray deleting = joiningBatchFile(bareName, count, true);
    // Read no more than the longer of the two texts it may be, and one byte to tell a longer file.
    const QByteArray text = batch.open(QIODevice::ReadOnly)
                                ? batch.read(std::max(keeping.size(), deleting.size()) + 1)
                                : QByteArray();
    if (text != keeping && text != deleting)
        return {{},
                QStringLiteral("The batch file \"%1\" does not name the %2 pieces found beside \"%3\": they "
                               "are not the pieces of one split.")
                        .arg(batchPath)
                        .arg(count)
                        .arg(path) +
                    again};
    for (qint64 number = 1; number <= count; ++number) {
        const qint64 length = lengths.at(number - 1);
        const bool last = number == count;
        if (last ? (length > 0 && length <= pieceSize) : length == pieceSize)
            continue;
        return {{},
                QStringLiteral("The piece \"%1\" holds %2 bytes, where %3: the pieces are not the pieces of "
                               "one split.")
                        .arg(pieceName(path, number))
                        .arg(length)
                        .arg(last ? QStringLiteral("the last piece holds 1 to %1").arg(pieceSize)
                                  : QStringLiteral("every piece but the last holds %1").arg(pieceSize)) +
                    again};
    }
    return {lengths, {}};
}

QString databaseInUseRefusal(const QString& target, const QString& databaseInUse)
{
    // The same file however it is reached: by its path, through a link or through a second mount of its
    // folder, where the paths differ but the file is one.
    struct stat written = {};
    struct stat live = {};
    if (databaseInUse.isEmpty() || ::stat(QFile::encodeName(target).constData(), &written) != 0 ||
        ::stat(QFile::encodeName(databaseInUse).constData(), &live) != 0 || written.st_dev != live.st_dev ||
        written.st_ino != live.st_ino)
        return {};
    return QStringLiteral("\"%1\" is the Tarvo database in use: writing it would replace the database "
                          "under the running program. Nothing was written; choose another file.")
        .arg(target);
}

QString PathOf(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString FileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QByteArray joiningBatchFile(const QString& bareName, qint64 pieces, bool deleteParts)
{
    const QByteArray eol = QByteArrayLiteral("\r\n");
    const QByteArray file = quoted(bareName);
    const QByteArray first = quoted(pieceName(bareName, 1));
    QByteArray text = "@ECHO OFF" + eol + "ECHO Joining Files..." + eol;
    text += "IF EXIST " + file + " DEL " + file + eol;
    if (!deleteParts)
        text += "COPY " + first + " " + file + eol;
    if (pieces > 1) {
        text += "COPY /B " + (deleteParts ? first : file);
        for (qint64 j = 2; j <= pieces; ++j)
            text += "+" + quoted(pieceName(bareName, j));
        text += eol;
    }
    if (deleteParts) {
        for (qint64 j = 2; j <= pieces; ++j)
            text += "DEL " + quoted(pieceName(bareName, j)) + eol;
        text += "REN " + first + " " + file + eol;
        text += "DEL " + quoted(bareName + QStringLiteral(".bat")) + eol;
    }
    text += "ECHO Done!" + eol;
    return text;
}

QString formatElapsed(double seconds)
{
    QString text = QString::number(seconds, 'f', 2);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    return text;
}

qint64 moveBytes(int in, int out, qint64 length, QByteArray& buffer)
{
    qint64 moved = 0;
    bool inKernel = true;
    while (moved < length) {
        const auto wanted = static_cast<size_t>(std::min<qint64>(length - moved, buffer.size()));
        if (inKernel) {
            const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, wanted, 0);
            if (copied > 0) {
                moved += copied;
                continue;
            }
            if (copied == 0)
                return moved;
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP && errno != EBADF)
                return -1;
            inKernel = false; // file systems that cannot copy in the kernel
        }
        const ssize_t got = ::read(in, buffer.data(), wanted);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got < 0 ? -1 : moved;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.constData() + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return -1;
            done += put;
        }
        moved += got;
    }
    return moved;
}

DbOutcome copyFileReplacing(const QString& source, const QString& target)
{
    auto failed = [&target](const QString& reason) {
        return DbOutcome::failure(QStringLiteral("Cannot copy to \"%1\": %2").arg(target, reason));
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return DbOutcome::failure(QStringLiteral("Cannot read \"%1\": %2").arg(source, in.errorString()));
    // A temporary beside the target that the program recognises: what a crash left goes at the next copy
    // into the folder (or the next start).
    removeStaleTemporaries(QFileInfo(target).absolutePath());
    const QString temporary = ReplacingFile::newTemporaryPath(target);
    QFile out(temporary);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return failed(out.errorString());
    QByteArray buffer(1024 * 1024, Qt::Uninitialized);
    QString problem;
    const qint64 length = in.size();
    const qint64 moved = moveBytes(in.handle(), out.handle(), length, buffer);
    if (moved < 0)
        problem = lastSystemError();
    else if (moved != length)
        problem = QStringLiteral("\"%1\" changed while it was copied").arg(source);
    if (problem.isEmpty() && ::fsync(out.handle()) != 0)
        problem = lastSystemError();
    out.close();
    if (problem.isEmpty()) {
        out.setPermissions(in.permissions());
        if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
            problem = lastSystemError();
    }
    if (problem.isEmpty())
        return DbOutcome::success();
    QFile::remove(temporary);
    return failed(problem);
}

} // namespace tarvo
