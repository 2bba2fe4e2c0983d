#include "core/FileDownloader.h"

#include "core/NetworkGuard.h"
#include "core/ProgramFolder.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

namespace tarvo {

FileDownloader::FileDownloader(QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_timer(new QTimer(this))
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

QString FileDownloader::failureMessage()
{
    return QStringLiteral("An error has occured in the file transfer or write.  Please try again later.");
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

bool FileDownloader::DownloadFile(const QString& address, const QString& folder)
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

    m_target = joinPath(folder, name);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::redirected, m_reply, [reply = m_reply](const QUrl& target) {
        // A redirect may lead only where a first request may go.
        if (NetworkGuard::allowsHost(target.host()))
            Q_EMIT reply->redirectAllowed();
        else
            reply->abort();
    });
    connect(m_reply, &QNetworkReply::finished, this, &FileDownloader::onReplyFinished);
    m_timer->start(m_timeoutMs);
    return true;
}

void FileDownloader::onReplyFinished()
{
    m_timer->stop();
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();

    QString error;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::OperationCanceledError) {
        error = QStringLiteral("The transfer timed out or was cancelled.");
    } else if (status != 0 && (status < 200 || status > 299)) {
        error = QStringLiteral("The server answered HTTP %1 %2.")
                    .arg(status)
                    .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    } else if (reply->error() != QNetworkReply::NoError) {
        error = reply->errorString();
    } else if (status == 0) {
        error = QStringLiteral("The server gave no HTTP answer.");
    }
    if (!error.isEmpty()) {
        Q_EMIT finished(false, QString(), error);
        return;
    }

    QSaveFile file(m_target);
    const QByteArray body = reply->readAll();
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit()) {
        Q_EMIT finished(false, QString(), QStringLiteral("%1: %2").arg(m_target, file.errorString()));
        return;
    }
    Q_EMIT finished(true, m_target, QString());
}

} // namespace tarvo
