#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace tarvo {

// Fetches one file into a folder without blocking the user interface. The program downloads over HTTP
// (FileDownloader); tests hand in a fake that serves files without the network.
class Downloader : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The message shown when a download fails.
    static QString failureMessage()
    {
        return QStringLiteral("An error has occured in the file transfer or write.  Please try again later.");
    }

    virtual void setTimeout(int milliseconds) = 0;
    virtual bool isBusy() const = 0;

    // Starts the download of at most sizeLimit bytes. Returns false, and emits nothing, when an earlier
    // download is still running; otherwise finished() follows once (also for failures found before
    // anything is sent).
    virtual bool DownloadFile(const QString& address, const QString& folder, qint64 sizeLimit) = 0;

Q_SIGNALS:
    // ok: the file was saved at filePath. Otherwise error says why.
    void finished(bool ok, const QString& filePath, const QString& error);
};

// Creates a downloader owned by parent.
using DownloaderFactory = std::function<Downloader*(QObject* parent)>;

} // namespace tarvo
