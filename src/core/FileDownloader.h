#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace tarvo {

// Fetches one file over HTTP into a folder without blocking the user interface. Any HTTP status other
// than 2xx, a connection failure, a time-out or a failed write is a failure. The local file name is
// the part of the address after its last "/"; the names "", "." and ".." are refused.
class FileDownloader : public QObject
{
    Q_OBJECT
public:
    explicit FileDownloader(QObject* parent = nullptr);
    ~FileDownloader() override;

    // The message shown when a download fails.
    static QString failureMessage();

    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    int timeout() const { return m_timeoutMs; }
    bool isBusy() const { return !m_reply.isNull(); }

    // Starts the download. Returns false, and emits nothing, when an earlier download is still running;
    // otherwise finished() follows once (also for failures found before anything is sent).
    bool DownloadFile(const QString& address, const QString& folder);

    // The local file name that an address gives ("" when it has no "/").
    static QString fileNameOf(const QString& address);

Q_SIGNALS:
    // ok: the file was saved at filePath. Otherwise error says why.
    void finished(bool ok, const QString& filePath, const QString& error);

private:
    void finishWithError(const QString& error);
    void onReplyFinished();

    QNetworkAccessManager* m_manager;
    QTimer* m_timer;
    QPointer<QNetworkReply> m_reply;
    QString m_target;
    int m_timeoutMs = 15000;
};

} // namespace tarvo
