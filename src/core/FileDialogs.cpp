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

QString QtFileDialogs::browseForFolder(QWidget* owner, const QString& title)
{
    return QFileDialog::getExistingDirectory(owner, title, QDir::homePath(), QFileDialog::ShowDirsOnly);
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace tarvo
