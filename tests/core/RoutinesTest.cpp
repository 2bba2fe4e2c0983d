#include "CoreTestHelpers.h"

#include "core/FileDialogs.h"
#include "core/NetworkGuard.h"
#include "core/ProgramFolder.h"
#include "core/Shell.h"
#include "core/Version.h"

using namespace tarvo;
using namespace Qt::StringLiterals;

class RoutinesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void guardAllowsOnlyLoopback_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("namespaceTest"); // TARVO_TEST_NETNS=1
        QTest::addColumn<bool>("allowed");
        QTest::newRow("loopback") << u"127.45.6.7"_s << false << true;
        QTest::newRow("ipv6 loopback") << u"::1"_s << false << true;
        QTest::newRow("mapped loopback") << u"::ffff:127.0.0.1"_s << false << true;
        QTest::newRow("localhost") << u"LocalHost"_s << false << true;
        QTest::newRow("sample data") << u"10.1.1.1"_s << false << false;
        QTest::newRow("public") << u"8.8.8.8"_s << false << false;
        QTest::newRow("mapped private") << u"::ffff:10.1.1.1"_s << false << false;
        QTest::newRow("host name") << u"update.example.org"_s << false << false;
        QTest::newRow("nothing") << u""_s << false << false;
        QTest::newRow("namespace range without its flag") << u"198.18.0.2"_s << false << false;
        QTest::newRow("namespace range") << u"198.19.255.1"_s << true << true;
        QTest::newRow("beyond the namespace range") << u"198.20.0.1"_s << true << false;
        QTest::newRow("sample data in a namespace test") << u"10.1.1.1"_s << true << false;
    }
    void guardAllowsOnlyLoopback()
    {
        QFETCH(QString, host);
        QFETCH(bool, namespaceTest);
        QFETCH(bool, allowed);
        if (namespaceTest)
            qputenv("TARVO_TEST_NETNS", "1");
        QVERIFY(NetworkGuard::isActive());
        QCOMPARE(NetworkGuard::allowsHost(host), allowed);
        if (const QHostAddress address(host); !address.isNull())
            QCOMPARE(NetworkGuard::allows(address), allowed);
        qunsetenv("TARVO_TEST_NETNS");
    }

    void versionAndPaths()
    {
        QCOMPARE(formatVersion(1, 30, 522), u"1.30.0522"_s);
        QCOMPARE(formatVersion(2, 0, 0), u"2.00.0000"_s);
        QCOMPARE(joinPath(u"/data/"_s, u"Tarvodb.mdb"_s), u"/data/Tarvodb.mdb"_s);
        QCOMPARE(joinPath(u"/"_s, u"Tarvodb.mdb"_s), u"/Tarvodb.mdb"_s);
        QCOMPARE(folderOf(u"/data/Tarvodb.mdb"_s), u"/data"_s);
        QCOMPARE(folderOf(u"/Tarvodb.mdb"_s), u"/"_s);
        QCOMPARE(withTrailingSeparator(u"/data"_s), u"/data/"_s);
        QCOMPARE(withTrailingSeparator(u"/"_s), u"/"_s);
        QVERIFY(sameFolder(u"/data/"_s, u"/data"_s));
        QVERIFY(!sameFolder(u"/Data"_s, u"/data"_s));
        qputenv("TARVO_HOME", "/opt/tarvo/");
        QCOMPARE(programFolder(), u"/opt/tarvo"_s);
        qunsetenv("TARVO_HOME");
    }

    void shellOpenStartsProgramsAndOpensDocuments()
    {
        test::TestProgram p(test::TestProgram::Setup::Empty);
        const QString program = p.path(u"HostWatch"_s);
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
        QVERIFY(ShellOpen(p.shell, u"open"_s, program, u"-a  -b"_s, p.folder()));
        QCOMPARE(p.shell.started.size(), 1);
        QCOMPARE(p.shell.started.at(0).arguments, (QStringList{u"-a"_s, u"-b"_s}));
        QCOMPARE(p.shell.started.at(0).folder, p.folder());
        QVERIFY(ShellOpen(p.shell, u"open"_s, u"https://intranet.example/"_s));
        // An empty address opens nothing.
        QVERIFY(!ShellOpen(p.shell, u"open"_s, u"  "_s));
        QCOMPARE(p.shell.opened, QStringList{u"https://intranet.example/"_s});
    }

    void browseForFolderDropsTrailingSeparatorExceptRoot()
    {
        test::FakeFileDialogs dialogs;
        dialogs.folders = {u"/srv/data/"_s, u"/"_s, QString()};
        for (const QString& expected : {u"/srv/data"_s, u"/"_s, QString()})
            QCOMPARE(BrowseForFolder(dialogs, nullptr, u"Choose Folder :"_s), expected);
    }
};

QTEST_GUILESS_MAIN(RoutinesTest)
#include "RoutinesTest.moc"
