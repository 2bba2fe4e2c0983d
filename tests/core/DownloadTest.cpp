#include "LoopbackHttpServer.h"

#include "core/FileDownloader.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {
const QByteArray Body = "1.00.0001 -> 1.01.0000\r\n";
} // namespace

class DownloadTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void downloadsOnlyWhatA2xxAnswerHolds_data()
    {
        QTest::addColumn<QString>("address"); // <server>: the loopback server, <closed>: a closed port
        QTest::addColumn<bool>("silent");
        QTest::addColumn<qint64>("limit");  // bytes
        QTest::addColumn<QString>("error"); // part of the failure text; "-" for success
        const QString file = u"<server>/updates/TarvoWebPatch"_s;
        const qint64 size = Body.size();
        QTest::newRow("200, as large as the limit") << file << false << size << u"-"_s;
        QTest::newRow("one byte beyond the limit") << file << false << size - 1 << u"larger than 23 bytes"_s;
        QTest::newRow("endless body")
            << u"<server>/endless"_s << false << qint64(64 * 1024) << u"larger than"_s;
        QTest::newRow("404") << u"<server>/missing"_s << false << size << u"404"_s;
        QTest::newRow("500") << u"<server>/gone"_s << false << size << u"500"_s;
        QTest::newRow("refused connection") << u"<closed>/file"_s << false << size << u""_s;
        QTest::newRow("silent server") << u"<server>/slow"_s << true << size << u""_s;
        QTest::newRow("ends in slash") << u"<server>/updates/"_s << false << size << u"names no file"_s;
        QTest::newRow("dot") << u"<server>/updates/."_s << false << size << u"names no file"_s;
        QTest::newRow("dot dot") << u"<server>/updates/.."_s << false << size << u"names no file"_s;
        QTest::newRow("no slash") << u"TarvoWebPatch"_s << false << size << u"names no file"_s;
        QTest::newRow("outside loopback")
            << u"http://10.1.1.1/TarvoWebPatch"_s << false << size << u"guard"_s;
    }
    void downloadsOnlyWhatA2xxAnswerHolds()
    {
        QFETCH(QString, address);
        QFETCH(bool, silent);
        QFETCH(qint64, limit);
        QFETCH(QString, error);
        test::LoopbackHttpServer server;
        QVERIFY(server.start());
        server.setSilent(silent);
        server.serve(u"/updates/TarvoWebPatch"_s, 200, Body);
        server.serveEndless(u"/endless"_s);
        server.serve(u"/gone"_s, 500, "oops");
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        address.replace(u"<server>"_s, server.url(QString()))
            .replace(u"<closed>"_s, u"http://127.0.0.1:%1"_s.arg(closed.serverPort()));
        closed.close();

        QTemporaryDir folder;
        FileDownloader downloader;
        downloader.setTimeout(silent ? 300 : 10000);
        QSignalSpy finished(&downloader, &FileDownloader::finished);
        QVERIFY(downloader.DownloadFile(address, folder.path(), limit));
        // A downloader that waits for an answer takes no second request.
        if (silent)
            QVERIFY(!downloader.DownloadFile(server.url(u"/b"_s), folder.path(), limit));
        QVERIFY(finished.wait(15000));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!downloader.isBusy());
        const bool ok = finished.at(0).at(0).toBool();
        const QString path = finished.at(0).at(1).toString();
        const QString failure = finished.at(0).at(2).toString();
        QCOMPARE(ok, error == u"-");
        if (!ok) {
            QVERIFY2(!failure.isEmpty() && failure.contains(error), qPrintable(failure));
            // No file is left, not even a part of one.
            QVERIFY(QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
            return;
        }
        QCOMPARE(path, folder.filePath(u"TarvoWebPatch"_s));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), Body);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"TarvoWebPatch"_s});
    }
};

QTEST_GUILESS_MAIN(DownloadTest)
#include "DownloadTest.moc"
