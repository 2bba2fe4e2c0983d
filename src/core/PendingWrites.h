#pragma once

#include <QString>
#include <QStringList>

namespace tarvo {

// A record, kept while a long write runs, of the folder where it writes its temporary file (the copy
// of a database being moved, a file being joined), so that when the process is killed midway the next
// start removes what it left there, even in a folder that nothing writes to again. Each record is a
// small file of its own in the folder ".tarvo-writes" of the program folder, named after the writing
// process and holding the folder written to; it is written whole through a temporary and removed when
// the write ends. A record that cannot be written does not stop the write.
class PendingWrite
{
public:
    PendingWrite(const QString& programFolder, const QString& folder);
    ~PendingWrite();
    PendingWrite(const PendingWrite&) = delete;
    PendingWrite& operator=(const PendingWrite&) = delete;

    // The record's path; empty when it could not be written.
    const QString& recordPath() const { return m_record; }

private:
    QString m_record;
};

// The folder of the records in a program folder.
QString pendingWritesFolder(const QString& programFolder);

// For each record left by an ended process of this computer: removes the stale temporaries of the
// folder it names (see removeStaleTemporaries), then the record. Returns those folders.
QStringList finishEndedWrites(const QString& programFolder);

} // namespace tarvo
