#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace tarvo {

// What the open-file dialog is set up with.
struct OpenFileRequest
{
    QString title;
    QString fileName;    // proposed file name
    QString startFolder; // folder shown first
    QStringList filters; // "Label (*.ext)" entries
    int selectedFilter = 0;
};

// What the save-file dialog is set up with.
struct SaveFileRequest
{
    QString title;
    QString fileName;      // proposed file name
    QString startFolder;   // folder shown first
    QStringList filters;   // "Label (*.ext)" entries
    QString defaultSuffix; // added to a typed name without a suffix, "pdf"
};

// The file and folder dialogs of the desktop. Tests supply a fake with scripted answers.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;

    // The folder chosen, or an empty text when the user cancels.
    virtual QString browseForFolder(QWidget* owner, const QString& title) = 0;

    // The full path of the file chosen, or an empty text when the user cancels.
    virtual QString chooseFileToOpen(QWidget* owner, const OpenFileRequest& request) = 0;

    // The full path of the file to write, or an empty text when the user cancels. The dialog asks
    // before an existing file is chosen.
    virtual QString chooseFileToSave(QWidget* owner, const SaveFileRequest& request) = 0;
};

// The folder dialog: only folders of the file system can be chosen (every caller passes the flags 1).
// Returns the folder without a trailing "/" except for the root, or an empty text on cancel.
QString BrowseForFolder(FileDialogs& dialogs, QWidget* owner, const QString& title, int flags = 1);

// The real dialogs, through QFileDialog.
class QtFileDialogs final : public FileDialogs
{
public:
    QString browseForFolder(QWidget* owner, const QString& title) override;
    QString chooseFileToOpen(QWidget* owner, const OpenFileRequest& request) override;
    QString chooseFileToSave(QWidget* owner, const SaveFileRequest& request) override;
};

} // namespace tarvo
