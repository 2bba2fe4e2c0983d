#pragma once

#include "core/AppContext.h"
#include "core/FileDialogs.h"
#include "core/Shell.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>

namespace tarvo::test {

// Records what the program asked the desktop to open or start.
class FakeShell final : public Shell
{
public:
    struct Program
    {
        QString program;
        QStringList arguments;
        QString folder;
    };

    bool openDocument(const QString& fileOrUrl) override
    {
        opened << fileOrUrl;
        return !fileOrUrl.trimmed().isEmpty() && openSucceeds;
    }
    bool startProgram(const QString& program, const QStringList& arguments, const QString& folder) override
    {
        started.append({program, arguments, folder});
        return startSucceeds;
    }

    QStringList opened;
    QList<Program> started;
    bool openSucceeds = true;
    bool startSucceeds = true;
};

// File and folder dialogs with scripted answers (files answers the open and the save dialogs in turn);
// an empty script answers as a cancel.
class FakeFileDialogs final : public FileDialogs
{
public:
    QString browseForFolder(QWidget* owner, const QString& title) override
    {
        Q_UNUSED(owner)
        folderTitles << title;
        return next(folders);
    }
    QString chooseFileToOpen(QWidget* owner, const OpenFileRequest& request) override
    {
        Q_UNUSED(owner)
        fileRequests.append(request);
        return next(files);
    }
    QString chooseFileToSave(QWidget* owner, const SaveFileRequest& request) override
    {
        Q_UNUSED(owner)
        saveRequests.append(request);
        return next(files);
    }

    std::deque<QString> folders;
    std::deque<QString> files;
    QStringList folderTitles;
    QList<OpenFileRequest> fileRequests;
    QList<SaveFileRequest> saveRequests;

private:
    static QString next(std::deque<QString>& queue)
    {
        if (queue.empty())
            return {};
        QString value = queue.front();
        queue.pop_front();
        return value;
    }
};

// Records that the program asked to end instead of ending the test.
class FakeProgramExit final : public ProgramExit
{
public:
    void endProgram(int) override { ended = true; }
    bool ended = false;
};

} // namespace tarvo::test
