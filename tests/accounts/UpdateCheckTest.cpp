#include "FakeMainWindow.h"
#include "FakePinger.h"
#include "LoopbackHttpServer.h"
#include "TestProgram.h"

#include "accounts/UpdateCheck.h"
#include "core/FileDownloader.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

using namespace tarvo;

Q_DECLARE_METATYPE(tarvo::UpdateOffer)

namespace {

const QString Running = QStringLiteral("1.30.0522");
const QString UpdatePath = QStringLiteral("/tarvo/update");

// A program folder whose Web/UpdateURL names a folder of the loopback HTTP server.
struct UpdateSite
{
    test::TestProgram program;
    test::LoopbackHttpServer server;
    test::FakePinger pinger;
    test::FakeMainWindow mainWindow;

    bool start()
    {
        if (!server.start())
            return false;
        setUpdateUrl(server.url(UpdatePath));
        pinger.answers(QStringLiteral("127.0.0.1"));
        program.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"), QStringLiteral("Sistem"));
        return true;
    }
    void setUpdateUrl(const QString& url)
    {
        program.context.WriteINI(QStringLiteral("Web"), QStringLiteral("UpdateURL"), url);
    }
    void publish(const QByteArray& contents)
    {
        server.serve(UpdatePath + QStringLiteral("/TarvoWebPatch"), 200, contents);
    }

    // Runs one check to its end.
    bool check()
    {
        UpdateCheck check(program.context, pinger, mainWindow, nullptr);
        check.setRunningVersion(Running);
        QSignalSpy spy(&check, &UpdateCheck::finished);
        check.start();
        return spy.wait(20000) && spy.size() == 1;
    }
    bool leftNoFile() const { return !QFileInfo::exists(program.path(UpdateInformationFile)); }
};

} // namespace

class UpdateCheckTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("TARVO_LOOPBACK_ONLY", "1"); }

    void versionsCompareAsTexts_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<UpdateOffer>("offer");
        QTest::newRow("already the new version") << "1.29.0500"
                                                 << "1.30.0522" << UpdateOffer::None;
        QTest::newRow("update from the running version") << "1.30.0522"
                                                         << "1.31.0600" << UpdateOffer::Update;
        QTest::newRow("too old for the update") << "1.31.0000"
                                                << "1.32.0000" << UpdateOffer::MajorUpdate;
        QTest::newRow("update from an older version") << "1.29.0000"
                                                      << "1.31.0000" << UpdateOffer::Update;
        QTest::newRow("newer than offered") << "1.00.0000"
                                            << "1.29.9999" << UpdateOffer::None;
        QTest::newRow("revision counts") << "1.30.0000"
                                         << "1.30.0523" << UpdateOffer::Update;
    }
    void versionsCompareAsTexts()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(UpdateOffer, offer);
        QCOMPARE(compareVersions(Running, UpdateVersions{from, to}), offer);
    }

    void readsTheFirstItem_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("versions"); // empty: nothing readable
        QTest::newRow("plain") << QByteArray("1.29.0500 -> 1.30.0522\r\n")
                               << QStringList{"1.29.0500", "1.30.0522"};
        QTest::newRow("leading blanks, later lines")
            << QByteArray("   1.29.0500 -> 1.30.0522\nnotes\n") << QStringList{"1.29.0500", "1.30.0522"};
        QTest::newRow("cut at a comma") << QByteArray("1.2 -> 1.3,extra -> 9") << QStringList{"1.2", "1.3"};
        QTest::newRow("quoted item") << QByteArray("\"1.2 -> 1.3, quoted\"")
                                     << QStringList{"1.2", "1.3, quoted"};
        QTest::newRow("no arrow") << QByteArray("1.29.0500 1.30.0522\r\n") << QStringList{};
        QTest::newRow("arrow on the second line") << QByteArray("\r\n1.2 -> 1.3\r\n") << QStringList{};
        QTest::newRow("empty") << QByteArray() << QStringList{};
    }
    void readsTheFirstItem()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, versions);
        const std::optional<UpdateVersions> parsed = parseUpdateInformation(contents);
        QCOMPARE(parsed.has_value(), !versions.isEmpty());
        if (parsed)
            QCOMPARE((QStringList{parsed->from, parsed->to}), versions);
    }

    void hostIsTheThirdPart_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("host");
        QTest::newRow("plain") << "http://updates.example.com/tarvo"
                               << "updates.example.com";
        QTest::newRow("port") << "http://127.0.0.1:8080/tarvo"
                              << "127.0.0.1";
        QTest::newRow("user") << "http://me:pw@host.example/x"
                              << "host.example";
        QTest::newRow("IPv6") << "http://[::1]:80/x"
                              << "::1";
        QTest::newRow("no host part") << "updates"
                                      << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void hostIsTheThirdPart()
    {
        QFETCH(QString, url);
        QFETCH(QString, host);
        QCOMPARE(updateHostOf(url), host);
    }

    void tellsOfAnUpdateAndEnablesWebPatch_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("webPatch");
        QTest::newRow("nothing newer")
            << QByteArray("1.29.0500 -> 1.30.0522\r\n") << QString() << QString() << false;
        QTest::newRow("update")
            << QByteArray("1.30.0522 -> 1.31.0600\r\n")
            << QStringLiteral(
                   "Administrator,\n\nThere is an update available to version 1.31.0600. Please update "
                   "using Utility - Web Patch menu.")
            << QStringLiteral("Web Patch Info ...") << true;
        QTest::newRow("major update")
            << QByteArray("1.31.0000 -> 1.32.0000\r\n")
            << QStringLiteral(
                   "Administrator,\n\nThere are Major Update to Tarvo software. Please download Tarvo from "
                   "Tarvo website !")
            << QStringLiteral("Information") << false;
        QTest::newRow("to-version without a dot")
            << QByteArray("1 -> 2\r\n") << QString() << QString() << false;
        QTest::newRow("no arrow") << QByteArray("garbage\r\n") << QString() << QString() << false;
    }
    void tellsOfAnUpdateAndEnablesWebPatch()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        QFETCH(QString, title);
        QFETCH(bool, webPatch);
        UpdateSite site;
        QVERIFY(site.start());
        site.publish(contents);
        QVERIFY(site.check());
        QCOMPARE(site.pinger.calls.size(), 1);
        const test::FakePinger::Call& ping = site.pinger.calls.first();
        QCOMPARE(ping.address, QStringLiteral("127.0.0.1"));
        QCOMPARE(ping.timeoutMs, 500);
        QCOMPARE(ping.payload.size(), 32);
        QVERIFY(!ping.payload.contains('\0'));
        QCOMPARE(site.server.requestedPaths(), QStringList{UpdatePath + QStringLiteral("/TarvoWebPatch")});
        if (message.isEmpty()) {
            QVERIFY2(site.program.messenger.isEmpty(), qPrintable(site.program.messenger.texts().join('|')));
        } else {
            QCOMPARE(site.program.messenger.texts(), QStringList{message});
            QCOMPARE(site.program.messenger.last().title, title);
            QCOMPARE(site.program.messenger.last().icon, MessageIcon::Information);
        }
        QCOMPARE(site.mainWindow.webPatch, webPatch);
        QVERIFY(site.leftNoFile());
    }

    void unreachableHostEndsSilently()
    {
        UpdateSite site;
        QVERIFY(site.start());
        site.publish("1.30.0522 -> 1.31.0600\r\n");
        site.pinger = test::FakePinger(); // nothing answers
        QVERIFY(site.check());
        QCOMPARE(site.pinger.calls.size(), 1);
        QVERIFY(site.server.requestedPaths().isEmpty());
        QVERIFY(site.program.messenger.isEmpty());
        QVERIFY(!site.mainWindow.webPatch);
    }

    void failedDownloadShowsItsMessage()
    {
        UpdateSite site;
        QVERIFY(site.start()); // nothing published: 404
        QVERIFY(site.check());
        QCOMPARE(site.program.messenger.texts(), QStringList{FileDownloader::failureMessage()});
        QCOMPARE(site.program.messenger.last().title, QString());
        QVERIFY(!site.mainWindow.webPatch);
        QVERIFY(site.leftNoFile());
    }

    void hostNamesAreResolvedOnlyWhenAllowed_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QStringList>("pinged");
        QTest::newRow("localhost is looked up") << "localhost" << QStringList{"127.0.0.1"};
        QTest::newRow("other names are never looked up") << "updates.example.com" << QStringList{};
        QTest::newRow("outside addresses are never pinged") << "10.0.0.1" << QStringList{};
        QTest::newRow("no update address") << "" << QStringList{};
    }
    void hostNamesAreResolvedOnlyWhenAllowed()
    {
        QFETCH(QString, host);
        QFETCH(QStringList, pinged);
        UpdateSite site;
        QVERIFY(site.start());
        site.setUpdateUrl(host.isEmpty() ? QString() : QStringLiteral("http://%1/tarvo").arg(host));
        site.pinger = test::FakePinger(); // answers nothing, so no download follows
        QVERIFY(site.check());
        QCOMPARE(site.pinger.addresses(), pinged);
        QVERIFY(site.program.messenger.isEmpty());
    }
};

QTEST_MAIN(UpdateCheckTest)
#include "UpdateCheckTest.moc"
