#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <optional>

namespace tarvo {

// Writes a file through a temporary file beside it, which replaces the file in one rename once it is
// complete: a reader sees the old file or the new one, never a part of one. The temporary's name says
// that this program made it, on which computer and in which process:
// "." + target name + ".tarvo-tmp-" + host + "-" + process id + "-" + 8 random letters or digits.
// A crash leaves it behind; removeStaleTemporaries() removes it later. Until commit() succeeds, the
// target stays as it was, and a ReplacingFile that is destroyed or discarded removes its temporary.
class ReplacingFile
{
public:
    // A target that is a symbolic link is written where the link points.
    explicit ReplacingFile(const QString& target);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Removes the stale temporaries of the target's folder, then creates an empty temporary file there.
    bool open();

    // A new name of the form above for a temporary of target, for a writer that keeps the file itself.
    // The file is not made.
    static QString newTemporaryPath(const QString& target);
    bool write(QByteArrayView bytes);
    // Closes this handle, for example so that another writer (SQLite) fills the temporary file.
    void close() { m_file.close(); }
    // The access rights the file gets; by default those of the file it replaces.
    void setPermissions(QFileDevice::Permissions permissions) { m_permissions = permissions; }
    // Flushes the temporary to the disk and renames it over the target. On failure the temporary is
    // removed and the target stays as it was.
    bool commit();
    // Removes the temporary (and a journal SQLite left beside it); the target stays as it was.
    void discard();

    const QString& target() const { return m_target; }
    QString temporaryPath() const { return m_file.fileName(); }
    // Why the last call failed.
    const QString& errorString() const { return m_error; }

private:
    bool fail(const QString& error);

    QString m_target;
    QFile m_file;
    QString m_error;
    std::optional<QFileDevice::Permissions> m_permissions;
    bool m_created = false;
};

// Removes from a folder the temporaries of ReplacingFile (and SQLite's journals beside them) that no
// running process writes any more: those of an ended process of this computer, and those of another
// computer (the folder may be shared) that have not changed for a day. No other file is touched.
// Returns how many files it removed.
int removeStaleTemporaries(const QString& folder);

// This computer and process as the names of the temporaries carry them: host + "-" + process id.
QString writerName();
// Whether a name of that form is that of a process of this computer that no longer runs.
bool writerHasEnded(const QString& writer);

} // namespace tarvo
