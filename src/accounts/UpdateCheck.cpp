#include "accounts/UpdateCheck.h"

#include "accounts/AccountsNetwork.h"

#include "core/AppContext.h"
#include "core/MainWindowAccess.h"
#include "core/Messenger.h"
#include "core/NetworkGuard.h"
#include "core/ProgramFolder.h"
#include "core/Version.h"
#include "probe/Pinger.h"

#include <QFile>
#include <QHostAddress>
#include <QHostInfo>
#include <QRandomGenerator>
#include <QTimer>
#include <QWidget>

namespace tarvo {

namespace {

constexpr int PingTimeoutMs = 500;
constexpr int PingPayloadSize = 32;
constexpr int PingTimeToLive = 128; // the usual default of the system the update site expects

const QString Separator = QStringLiteral(" -> ");

QByteArray randomPayload()
{
    QByteArray payload(PingPayloadSize, '\0');
    for (char& byte : payload)
        byte = static_cast<char>(QRandomGenerator::global()->bounded(1, 256));
    return payload;
}

} // namespace

UpdateOffer compareVersions(const QString& running, const UpdateVersions& versions)
{
    if (QString::compare(running, versions.to, Qt::CaseSensitive) >= 0)
        return UpdateOffer::None;
    if (QString::compare(running, versions.from, Qt::CaseSensitive) < 0)
        return UpdateOffer::MajorUpdate;
    return UpdateOffer::Update;
}

std::optional<UpdateVersions> parseUpdateInformation(const QByteArray& contents)
{
    QString line = QString::fromUtf8(
        contents.left(contents.indexOf('\n') < 0 ? contents.size() : contents.indexOf('\n')));
    line.remove(QLatin1Char('\r'));
    qsizetype start = 0;
    while (start < line.size() && (line.at(start) == QLatin1Char(' ') || line.at(start) == QLatin1Char('\t')))
        ++start;
    QString item;
    if (start < line.size() && line.at(start) == QLatin1Char('"')) {
        const qsizetype close = line.indexOf(QLatin1Char('"'), start + 1);
        item = line.mid(start + 1, close < 0 ? -1 : close - start - 1);
    } else {
        const qsizetype comma = line.indexOf(QLatin1Char(','), start);
        item = line.mid(start, comma < 0 ? -1 : comma - start);
        while (item.endsWith(QLatin1Char(' ')) || item.endsWith(QLatin1Char('\t')))
            item.chop(1);
    }
    const QStringList parts = item.split(Separator);
    if (parts.size() < 2)
        return std::nullopt;
    return UpdateVersions{parts.at(0), parts.at(1)};
}

QString updateHostOf(const QString& updateUrl)
{
    const QStringList parts = updateUrl.split(QLatin1Char('/'));
    if (parts.size() < 3)
        return {};
    QString host = parts.at(2);
    if (const qsizetype at = host.lastIndexOf(QLatin1Char('@')); at >= 0)
        host = host.mid(at + 1);
    if (host.startsWith(QLatin1Char('['))) {
        const qsizetype close = host.indexOf(QLatin1Char(']'));
        return close < 0 ? QString() : host.mid(1, close - 1);
    }
    if (const qsizetype colon = host.indexOf(QLatin1Char(':')); colon >= 0)
        host.truncate(colon);
    return host.trimmed();
}

UpdateCheck::UpdateCheck(const AppContext& context, const AccountsNetwork& network,
                         MainWindowAccess& mainWindow, QWidget* messageParent, QObject* parent)
    : QObject(parent), m_context(context), m_pinger(network.pinger), m_mainWindow(mainWindow),
      m_messageParent(messageParent), m_downloader(network.download(this)), m_runningVersion(versionText())
{
    connect(m_downloader, &Downloader::finished, this,
            [this](bool ok, const QString& filePath, const QString&) { onDownloaded(ok, filePath); });
}

UpdateCheck::~UpdateCheck()
{
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
    if (m_running)
        QFile::remove(joinPath(m_context.program().ProgramFolder, UpdateInformationFile));
}

void UpdateCheck::start()
{
    if (m_running)
        return;
    m_running = true;
    const QString host = updateHostOf(m_context.ReadINI(QStringLiteral("Web"), QStringLiteral("UpdateURL")));
    QHostAddress literal;
    if (host.isEmpty() || !NetworkGuard::allowsHost(host)) {
        // No host, or one the network guard keeps the program from contacting (a name is then never
        // looked up: that alone would query a name server).
        QTimer::singleShot(0, this, &UpdateCheck::finish);
    } else if (literal.setAddress(host)) {
        QTimer::singleShot(0, this, [this, literal] { pingAddress(literal); });
    } else {
        m_lookupId = QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
            m_lookupId = -1;
            for (const QHostAddress& address : info.addresses()) {
                if (address.protocol() == QAbstractSocket::IPv4Protocol)
                    return pingAddress(address);
            }
            finish();
        });
    }
}

void UpdateCheck::pingAddress(const QHostAddress& address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (!isV4 || !NetworkGuard::allows(address))
        return finish();
    m_pinger.ping(QHostAddress(v4).toString(), PingTimeToLive, PingTimeoutMs, randomPayload(), this,
                  [this](const PingResult& result) {
                      if (result.succeeded())
                          download();
                      else
                          finish();
                  });
}

void UpdateCheck::download()
{
    const QString updateUrl = m_context.ReadINI(QStringLiteral("Web"), QStringLiteral("UpdateURL"));
    m_downloader->DownloadFile(updateUrl + QLatin1Char('/') + UpdateInformationFile,
                               m_context.program().ProgramFolder, 64 * 1024); // a few short lines
}

void UpdateCheck::onDownloaded(bool ok, const QString& filePath)
{
    if (!ok) {
        m_context.messenger().inform(m_messageParent, Downloader::failureMessage(), QString(),
                                     MessageIcon::Information);
        return finish();
    }
    QFile file(filePath);
    std::optional<UpdateVersions> versions;
    if (file.open(QIODevice::ReadOnly))
        versions = parseUpdateInformation(file.readLine(4096));
    file.close();
    if (!versions || !versions->to.contains(QLatin1Char('.')))
        return finish();

    const QString name = m_context.session().LoginName;
    switch (compareVersions(m_runningVersion, *versions)) {
    case UpdateOffer::None:
        break;
    case UpdateOffer::MajorUpdate:
        m_context.messenger().inform(
            m_messageParent,
            name + QStringLiteral(",\n\nThere are Major Update to Tarvo software. Please download Tarvo from "
                                  "Tarvo website !"),
            QStringLiteral("Information"), MessageIcon::Information);
        break;
    case UpdateOffer::Update:
        m_context.messenger().inform(m_messageParent,
                                     name + QStringLiteral(",\n\nThere is an update available to version ") +
                                         versions->to +
                                         QStringLiteral(". Please update using Utility - Web Patch menu."),
                                     QStringLiteral("Web Patch Info ..."), MessageIcon::Information);
        m_mainWindow.setWebPatchAvailable(true);
        break;
    }
    finish();
}

void UpdateCheck::finish()
{
    QFile::remove(joinPath(m_context.program().ProgramFolder, UpdateInformationFile));
    m_running = false;
    Q_EMIT finished();
}

} // namespace tarvo
