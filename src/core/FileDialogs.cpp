#include "core/FileDialogs.h"

#include "core/ProgramFolder.h"

#include <QDir>
#include <QFileDialog>

namespace tarvo {

QString BrowseForFolder(FileDialogs& dialogs, QWidget* owner, const QString& title, int flags)
{
    Q_UNUSED(flags) // only file-system folders can be chosen here anyway
    QString folder = QDir::fromNativeSeparators(dialogs.browseForFolder(owner, title));
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

namespace {

// Qt's own dialog needs room for its name, size, type and date columns; a native dialog of the desktop
// sizes itself and never shows this widget.
constexpr QSize FileDialogMinimumSize(760, 480);

// The path chosen in a dialog, or an empty text when the user cancels.
QString run(QFileDialog& dialog)
{
    dialog.setMinimumSize(FileDialogMinimumSize);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString QtFileDialogs::browseForFolder(QWidget* owner, const QString& title)
{
    QFileDialog dialog(owner, title, QDir::homePath());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return run(dialog);
}

QString QtFileDialogs::chooseFileToOpen(QWidget* owner, const OpenFileRequest& request)
{
    QFileDialog dialog(owner, request.title, request.startFolder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(request.filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.selectedFilter));
    if (!request.fileName.isEmpty())
        dialog.selectFile(joinPath(request.startFolder, request.fileName));
    return run(dialog);
}

} // namespace tarvo
