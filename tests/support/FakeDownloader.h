#pragma once

#include "core/FileDownloader.h"
#include "core/ProgramFolder.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <QTimer>

namespace tarvo::test {

// Files that the fake downloaders of factory() serve by address; an address not served fails, as an
// HTTP 404 does. Nothing is fetched from the network.
class FakeDownloads
{
public:
    void serve(const QString& address, const QByteArray& contents) { m_files.insert(address, contents); }
    bool serves(const QString& address) const { return m_files.contains(address); }
    QByteArray contents(const QString& address) const { return m_files.value(address); }

    DownloaderFactory factory();

    QStringList requested;

private:
    QHash<QString, QByteArray> m_files;
};

// A downloader that writes what a FakeDownloads serves into the folder, under the name the real one
// gives, and reports from the event loop.
class FakeDownloader final : public Downloader
{
public:
    FakeDownloader(FakeDownloads& downloads, QObject* parent) : Downloader(parent), m_downloads(downloads) {}

    void setTimeout(int) override {}
    bool isBusy() const override { return m_busy; }

    bool DownloadFile(const QString& address, const QString& folder, qint64 sizeLimit) override
    {
        if (m_busy)
            return false;
        m_busy = true;
        m_downloads.requested << address;
        QTimer::singleShot(0, this, [this, address, folder, sizeLimit] {
            m_busy = false;
            const QByteArray contents = m_downloads.contents(address);
            const QString path = joinPath(folder, FileDownloader::fileNameOf(address));
            QFile file(path);
            const bool written = m_downloads.serves(address) && contents.size() <= sizeLimit &&
                                 file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                                 file.write(contents) == contents.size();
            file.close();
            if (written)
                Q_EMIT finished(true, path, QString());
            else
                Q_EMIT finished(false, QString(), QStringLiteral("%1 was not served.").arg(address));
        });
        return true;
    }

private:
    FakeDownloads& m_downloads;
    bool m_busy = false;
};

inline DownloaderFactory FakeDownloads::factory()
{
    return [this](QObject* parent) -> Downloader* { return new FakeDownloader(*this, parent); };
}

} // namespace tarvo::test
