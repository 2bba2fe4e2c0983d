#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace tarvo {

class Messenger;

// Opens documents, web pages and mail links with the desktop's associated program, and starts other
// programs detached from this one. Tests supply a fake that records the requests.
class Shell
{
public:
    virtual ~Shell() = default;

    // A local file, a URL ("https://...") or a mail link ("mailto:..."). False when nothing could
    // be opened (an empty text included).
    virtual bool openDocument(const QString& fileOrUrl) = 0;

    // Starts a program detached; false when it could not be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments,
                              const QString& workingFolder) = 0;
};

// The shell's "open" of a file, a URL or a mail link. An existing executable file is started as a
// program with the parameters (split at blanks) in the working folder; a local path that does not exist
// is not handed on; anything else is opened as a document. Returns whether it was opened or started.
bool ShellOpen(Shell& shell, const QString& operation, const QString& file, const QString& parameters = {},
               const QString& folder = {}, int showMode = 1);

// Opens a file or an address as ShellOpen does and, when that fails, tells the user why, naming it.
// origin says where the text came from (for example an INI key), for the message about an empty text.
bool openOrTell(Shell& shell, Messenger& messenger, QWidget* parent, const QString& fileOrUrl,
                const QString& origin = {});

// The real shell: QDesktopServices for documents and links, QProcess for programs.
class DesktopShell final : public Shell
{
public:
    bool openDocument(const QString& fileOrUrl) override;
    bool startProgram(const QString& program, const QStringList& arguments,
                      const QString& workingFolder) override;
};

} // namespace tarvo
