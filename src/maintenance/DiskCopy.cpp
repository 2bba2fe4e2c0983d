#include "maintenance/DiskCopy.h"

#include "core/FileDialogs.h"
#include "core/Messenger.h"
#include "core/ProgramFolder.h"
#include "maintenance/FilePieces.h"

#include <QFileInfo>

namespace tarvo {

DiskCopy::DiskCopy(Messenger& messenger, FileDialogs& dialogs, QWidget* owner, Status status,
                   QString databaseInUse)
    : m_messenger(messenger), m_dialogs(dialogs), m_owner(owner), m_status(std::move(status)),
      m_databaseInUse(std::move(databaseInUse))
{}

int DiskCopy::run(const QString& path, qint64 count)
{
    int written = 0;
    for (qint64 number = 1; number <= count; ++number) {
        const bool copied = copyDisk(path, number, count);
        m_status.hide();
        if (!copied)
            break;
        ++written;
    }
    return written;
}

bool DiskCopy::copyDisk(const QString& path, qint64 number, qint64 count)
{
    const QString disk = QString::number(number);
    if (!m_messenger.confirm(m_owner,
                             QStringLiteral("Please enter Disk #%1, then choose its folder").arg(disk),
                             QStringLiteral("Coppy to Floppy"), MessageIcon::Information,
                             MessageButtons::OkCancel, MessageAnswer::Ok))
        return false;
    for (;;) {
        const QString folder =
            BrowseForFolder(m_dialogs, m_owner, QStringLiteral("Folder of Disk #%1 :").arg(disk));
        if (folder.isEmpty())
            return false;
        const QFileInfo place(folder);
        if (!place.isDir() || !place.isWritable()) {
            m_status.hide();
            if (!m_messenger.confirm(
                    m_owner,
                    QStringLiteral("Unable to find disk in drive or disk is write-protected\r"
                                   "Please insert another disk and press OK"),
                    QStringLiteral("Disk Missing"), MessageIcon::Critical, MessageButtons::OkCancel,
                    MessageAnswer::Ok))
                return false;
            continue;
        }
        if (!copyOne(pieceName(path, number), folder))
            continue;
        if (number == count && !copyOne(path + QStringLiteral(".bat"), folder))
            continue;
        return true;
    }
}

bool DiskCopy::copyOne(const QString& source, const QString& folder)
{
    const QString name = FileNameOf(source);
    const QString target = joinPath(folder, name);
    if (const QString refusal = databaseInUseRefusal(target, m_databaseInUse); !refusal.isEmpty()) {
        m_status.hide();
        m_messenger.inform(m_owner, refusal, QStringLiteral("File Copy Failed"), MessageIcon::Critical);
        return false;
    }
    m_status.show(QStringLiteral("Copying %1 to %2...").arg(name, target));
    if (copyFileReplacing(source, target))
        return true;
    m_status.hide();
    m_messenger.inform(m_owner, QStringLiteral("Unable to copy %1 to  %2").arg(name, target),
                       QStringLiteral("File Copy Failed"), MessageIcon::Critical);
    return false;
}

} // namespace tarvo
