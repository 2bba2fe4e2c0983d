#include "maintenance/Compaction.h"

#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"

#include <QFileInfo>
#include <QLocale>

namespace tarvo {

QString formatByteCount(qint64 bytes)
{
    constexpr qint64 KB = 1024;
    constexpr qint64 MB = KB * 1024;
    constexpr qint64 GB = MB * 1024;
    const QLocale locale;
    auto scaled = [&locale, bytes](qint64 unit, const char* name) {
        return locale.toString(static_cast<double>(bytes) / static_cast<double>(unit), 'f', 2) +
               QLatin1Char(' ') + QLatin1String(name);
    };
    if (bytes < KB)
        return QString::number(bytes) + QStringLiteral(" bytes");
    if (bytes < MB)
        return scaled(KB, "KB");
    if (bytes >= GB)
        return scaled(GB, "GB");
    return scaled(MB, "MB");
}

QString FormatFileSize(const QString& path)
{
    return formatByteCount(QFileInfo(path).size());
}

bool CompressDatabase(const AppContext& context, QWidget* parent)
{
    const QString path = context.program().DatabasePath;
    bool inUse = false;
    QString before;
    DbOutcome compacted = DbOutcome::success();
    {
        const BusyCursor busy;
        before = FormatFileSize(path);
        compacted = context.databaseService().compact(&inUse);
    }
    if (!compacted) {
        // Another workstation's connection, a busy window or an unsaved edit of this program: the
        // database is in use, and every window keeps what it holds.
        if (inUse)
            context.messenger().inform(parent, QStringLiteral("Not Allowed : Tarvo database was in use ... "),
                                       QStringLiteral("Database in use ..."), MessageIcon::Critical);
        else
            context.messenger().inform(
                parent, QStringLiteral("The Tarvo database was not compacted: %1").arg(compacted.error()),
                MessageTitle::ErrorBang3, MessageIcon::Critical);
        return false;
    }
    context.messenger().inform(parent,
                               QStringLiteral("Tarvo database compacted successfully.\r\n\r\n"
                                              "Size before compacting:\t%1\r\nSize after compacting:\t%2")
                                   .arg(before, FormatFileSize(path)),
                               QStringLiteral("Compact Successful"), MessageIcon::Information);
    return true;
}

void mnuCompactDB_Click(const AppContext& context, QWidget* parent)
{
    if (context.messenger().confirm(parent, QStringLiteral("Do you want to compact Tarvo database ?"),
                                    QStringLiteral("Compact Database"), MessageIcon::None,
                                    MessageButtons::YesNo, MessageAnswer::Yes))
        CompressDatabase(context, parent);
}

} // namespace tarvo
