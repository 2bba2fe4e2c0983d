#include "LoopbackHttpServer.h"

#include "core/FileDownloader.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvo;

class DownloadTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    struct Outcome
    {
        bool ok = false;
        QString path;
        QString error;
    };
    Outcome download(FileDownloader& downloader, const QString& address)
    {
        QSignalSpy spy(&downloader, &FileDownloader::finished);
        if (!downloader.DownloadFile(address, m_dir.path()))
            return {false, {}, QStringLiteral("busy")};
        if (!spy.wait(10000))
            return {false, {}, QStringLiteral("no finished signal")};
        return {spy.at(0).at(0).toBool(), spy.at(0).at(1).toString(), spy.at(0).at(2).toString()};
    }

private Q_SLOTS:
    void savesTheBodyOfA200()
    {
        test::LoopbackHttpServer server;
        QVERIFY(server.start());
        server.serve(QStringLiteral("/updates/TarvoWebPatch"), 200, "1.00.0001 -> 1.01.0000\r\n");
        FileDownloader downloader;
        const Outcome result = download(downloader, server.url(QStringLiteral("/updates/TarvoWebPatch")));
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.path, m_dir.filePath(QStringLiteral("TarvoWebPatch")));
        QFile file(result.path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("1.00.0001 -> 1.01.0000\r\n"));
        QVERIFY(!downloader.isBusy());
    }

    void httpErrorsAreFailures()
    {
        test::LoopbackHttpServer server;
        QVERIFY(server.start());
        server.serve(QStringLiteral("/gone"), 500, "oops");
        FileDownloader downloader;
        Outcome result = download(downloader, server.url(QStringLiteral("/missing")));
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(QStringLiteral("404")), qPrintable(result.error));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("missing"))));
        result = download(downloader, server.url(QStringLiteral("/gone")));
        QVERIFY(!result.ok);
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("gone"))));
    }

    void refusedConnectionIsAFailure()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();
        FileDownloader downloader;
        const Outcome result = download(downloader, QStringLiteral("http://127.0.0.1:%1/file").arg(port));
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
    }

    void silentServerTimesOut()
    {
        test::LoopbackHttpServer server;
        QVERIFY(server.start());
        server.setSilent(true);
        FileDownloader downloader;
        downloader.setTimeout(300);
        const Outcome result = download(downloader, server.url(QStringLiteral("/slow")));
        QVERIFY(!result.ok);
        QVERIFY(!downloader.isBusy());
    }

    void addressesWithoutAFileNameAreRefused_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("ends in slash") << "http://127.0.0.1:9/updates/";
        QTest::newRow("dot") << "http://127.0.0.1:9/updates/.";
        QTest::newRow("dot dot") << "http://127.0.0.1:9/updates/..";
        QTest::newRow("no slash") << "TarvoWebPatch";
    }
    void addressesWithoutAFileNameAreRefused()
    {
        QFETCH(QString, address);
        FileDownloader downloader;
        const Outcome result = download(downloader, address);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
    }

    void guardRefusesOtherHosts()
    {
        FileDownloader downloader;
        const Outcome result = download(downloader, QStringLiteral("http://10.1.1.1/TarvoWebPatch"));
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(QStringLiteral("guard")), qPrintable(result.error));
    }

    void busyDownloaderRefusesASecondRequest()
    {
        test::LoopbackHttpServer server;
        QVERIFY(server.start());
        server.setSilent(true);
        FileDownloader downloader;
        downloader.setTimeout(300);
        QSignalSpy spy(&downloader, &FileDownloader::finished);
        QVERIFY(downloader.DownloadFile(server.url(QStringLiteral("/a")), m_dir.path()));
        QVERIFY(!downloader.DownloadFile(server.url(QStringLiteral("/b")), m_dir.path()));
        QVERIFY(spy.wait(5000));
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_GUILESS_MAIN(DownloadTest)
#include "DownloadTest.moc"
