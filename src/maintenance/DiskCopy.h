#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tarvo {

class FileDialogs;
class Messenger;

// Copies the pieces of a split file onto a series of removable disks, one piece per disk and the
// joining batch file onto the last. For each disk the user is asked to put it in and to choose its
// folder; only the piece of the same name is replaced there, nothing else on the disk is touched. A
// folder that cannot be written is reported as a missing disk, a failed copy is reported and the disk
// tried again; Cancel at any question ends the copy. The database in use is never written over.
class DiskCopy
{
public:
    // What the small message window shows while a disk is written, and hiding it.
    struct Status
    {
        std::function<void(const QString&)> show;
        std::function<void()> hide;
    };

    DiskCopy(Messenger& messenger, FileDialogs& dialogs, QWidget* owner, Status status,
             QString databaseInUse = {});

    // Copies path.1 .. path.count and path.bat. Returns the number of disks written.
    int run(const QString& path, qint64 count);

private:
    // Writes disk number; false when the user cancelled.
    bool copyDisk(const QString& path, qint64 number, qint64 count);
    bool copyOne(const QString& source, const QString& folder);

    Messenger& m_messenger;
    FileDialogs& m_dialogs;
    QWidget* m_owner;
    Status m_status;
    QString m_databaseInUse;
};

} // namespace tarvo
