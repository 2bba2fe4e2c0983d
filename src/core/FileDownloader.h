#pragma once

#include "core/Downloader.h"

#include <QPointer>
#include <QString>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace tarvo {

class ReplacingFile;

// Fetches one file over HTTP into a folder without blocking the user interface. The body goes to the
// file as it arrives, through a temporary file that replaces the file only once the body is complete.
// Any HTTP status other than 2xx, a connection failure, a time-out, a body larger than the caller's
// limit or a failed write is a failure, and leaves no file behind. The local file name is the part of
// the address after its last "/"; the names "", "." and ".." are refused.
class FileDownloader final : public Downloader
{
    Q_OBJECT
public:
    explicit FileDownloader(QObject* parent = nullptr);
    ~FileDownloader() override;

    // Makes downloaders of this kind.
    static DownloaderFactory factory();

    void setTimeout(int milliseconds) override { m_timeoutMs = milliseconds; }
    int timeout() const { return m_timeoutMs; }
    bool isBusy() const override { return !m_reply.isNull(); }

    bool DownloadFile(const QString& address, const QString& folder, qint64 sizeLimit) override;

    // The local file name that an address gives ("" when it has no "/").
    static QString fileNameOf(const QString& address);

private:
    void finishWithError(const QString& error);
    // Writes what the reply holds to the file; stops at the size limit.
    void keep(QNetworkReply& reply);
    void onReplyFinished();
    // Stops the transfer; finished() then reports the error.
    void stop(const QString& error);
    QString tooLargeMessage() const;

    QNetworkAccessManager* m_manager;
    QTimer* m_timer;
    QPointer<QNetworkReply> m_reply;
    std::unique_ptr<ReplacingFile> m_file;
    QString m_address;
    QString m_stopError;
    qint64 m_sizeLimit = 0;
    qint64 m_received = 0;
    int m_timeoutMs = 15000;
};

} // namespace tarvo
