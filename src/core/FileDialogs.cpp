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

namespace {

// Runs the dialog; the file chosen, or an empty text on cancel.
QString runFileDialog(QFileDialog& dialog, const QStringList& filters, int selectedFilter,
                      const QString& startFolder, const QString& fileName)
{
    dialog.setNameFilters(filters);
    if (selectedFilter >= 0 && selectedFilter < filters.size())
        dialog.selectNameFilter(filters.at(selectedFilter));
    if (!fileName.isEmpty())
        dialog.selectFile(joinPath(startFolder, fileName));
    return run(dialog);
}

} // namespace

QString QtFileDialogs::chooseFileToOpen(QWidget* owner, const OpenFileRequest& request)
{
    QFileDialog dialog(owner, request.title, request.startFolder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return runFileDialog(dialog, request.filters, request.selectedFilter, request.startFolder,
                         request.fileName);
}

QString QtFileDialogs::chooseFileToSave(QWidget* owner, const SaveFileRequest& request)
{
    QFileDialog dialog(owner, request.title, request.startFolder);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultSuffix);
    return runFileDialog(dialog, request.filters, 0, request.startFolder, request.fileName);
}

} // namespace tarvo
