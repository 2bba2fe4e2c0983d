#include "core/FileDownloader.h"

#include "core/NetworkGuard.h"
#include "core/ProgramFolder.h"
#include "core/ReplacingFile.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

namespace tarvo {

FileDownloader::FileDownloader(QObject* parent)
    : Downloader(parent), m_manager(new QNetworkAccessManager(this)), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (m_reply)
            m_reply->abort();
    });
    if (NetworkGuard::isActive())
        m_manager->setProxy(QNetworkProxy::NoProxy);
}

FileDownloader::~FileDownloader()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

DownloaderFactory FileDownloader::factory()
{
    return [](QObject* parent) -> Downloader* { return new FileDownloader(parent); };
}

QString FileDownloader::fileNameOf(const QString& address)
{
    const qsizetype slash = address.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : address.mid(slash + 1);
}

void FileDownloader::finishWithError(const QString& error)
{
    // Reported from the event loop, so that callers connect before they hear of the result.
    QTimer::singleShot(0, this, [this, error] { Q_EMIT finished(false, QString(), error); });
}

namespace {
bool isSuccess(const QNetworkReply& reply)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status <= 299;
}
} // namespace

bool FileDownloader::DownloadFile(const QString& address, const QString& folder, qint64 sizeLimit)
{
    if (isBusy())
        return false;

    const QString name = fileNameOf(address);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        finishWithError(QStringLiteral("The address %1 names no file.").arg(address));
        return true;
    }
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        finishWithError(QStringLiteral("The address %1 is not an HTTP address.").arg(address));
        return true;
    }
    if (!NetworkGuard::allowsHost(url.host())) {
        finishWithError(NetworkGuard::refusal(url.host()));
        return true;
    }
    auto file = std::make_unique<ReplacingFile>(joinPath(folder, name));
    if (!file->open()) {
        finishWithError(QStringLiteral("%1: %2").arg(file->target(), file->errorString()));
        return true;
    }

    m_file = std::move(file);
    m_address = address;
    m_stopError.clear();
    m_sizeLimit = sizeLimit;
    m_received = 0;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    m_reply = m_manager->get(request);
    // What is not yet written to the file waits in a bounded buffer.
    m_reply->setReadBufferSize(256 * 1024);
    connect(m_reply, &QNetworkReply::redirected, m_reply, [reply = m_reply](const QUrl& target) {
        // A redirect may lead only where a first request may go.
        if (NetworkGuard::allowsHost(target.host()))
            Q_EMIT reply->redirectAllowed();
        else
            reply->abort();
    });
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        // A body announced beyond the limit is not fetched at all.
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (isSuccess(*m_reply) && length.isValid() && length.toLongLong() > m_sizeLimit)
            stop(tooLargeMessage());
    });
    connect(m_reply, &QNetworkReply::readyRead, this, [this] {
        if (m_reply)
            keep(*m_reply);
    });
    connect(m_reply, &QNetworkReply::finished, this, &FileDownloader::onReplyFinished);
    m_timer->start(m_timeoutMs);
    return true;
}

QString FileDownloader::tooLargeMessage() const
{
    return QStringLiteral("The file at %1 is larger than %2 bytes; the download was stopped.")
        .arg(m_address)
        .arg(m_sizeLimit);
}

void FileDownloader::stop(const QString& error)
{
    if (m_stopError.isEmpty())
        m_stopError = error;
    if (m_reply)
        m_reply->abort(); // finished() follows at once
}

void FileDownloader::keep(QNetworkReply& reply)
{
    // Only the body of a 2xx answer is the file; what other answers send is dropped.
    const QByteArray bytes = reply.readAll();
    if (!m_stopError.isEmpty() || !isSuccess(reply))
        return;
    m_received += bytes.size();
    if (m_received > m_sizeLimit)
        return stop(tooLargeMessage());
    if (!m_file->write(bytes))
        stop(QStringLiteral("%1: %2").arg(m_file->target(), m_file->errorString()));
}

void FileDownloader::onReplyFinished()
{
    m_timer->stop();
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    keep(*reply); // what came with the end of the transfer
    const std::unique_ptr<ReplacingFile> file = std::move(m_file);

    QString error = m_stopError;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!error.isEmpty()) {
        // Stopped here: a body beyond the limit or a failed write.
    } else if (reply->error() == QNetworkReply::OperationCanceledError) {
        error = QStringLiteral("The transfer timed out or was cancelled.");
    } else if (status != 0 && !isSuccess(*reply)) {
        error = QStringLiteral("The server answered HTTP %1 %2.")
                    .arg(status)
                    .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    } else if (reply->error() != QNetworkReply::NoError) {
        error = reply->errorString();
    } else if (status == 0) {
        error = QStringLiteral("The server gave no HTTP answer.");
    } else if (!file->commit()) {
        error = QStringLiteral("%1: %2").arg(file->target(), file->errorString());
    }
    if (!error.isEmpty()) {
        file->discard();
        Q_EMIT finished(false, QString(), error);
        return;
    }
    Q_EMIT finished(true, file->target(), QString());
}

} // namespace tarvo
