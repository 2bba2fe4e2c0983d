#include "Fakes.h"

#include "core/FileDialogs.h"
#include "core/NetworkGuard.h"
#include "core/ProgramFolder.h"
#include "core/Shell.h"
#include "core/Version.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvo;

class RoutinesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void guardAllowsOnlyLoopback_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("loopback") << "127.0.0.1" << true;
        QTest::newRow("other loopback") << "127.45.6.7" << true;
        QTest::newRow("ipv6 loopback") << "::1" << true;
        QTest::newRow("sample data") << "10.1.1.1" << false;
        QTest::newRow("private") << "192.168.1.1" << false;
        QTest::newRow("public") << "8.8.8.8" << false;
        QTest::newRow("mapped private") << "::ffff:10.1.1.1" << false;
        QTest::newRow("mapped loopback") << "::ffff:127.0.0.1" << true;
        QTest::newRow("namespace range without its flag") << "198.18.0.2" << false;
    }
    void guardAllowsOnlyLoopback()
    {
        QFETCH(QString, address);
        QFETCH(bool, allowed);
        qputenv("TARVO_LOOPBACK_ONLY", "1");
        qunsetenv("TARVO_TEST_NETNS");
        QVERIFY(NetworkGuard::isActive());
        QCOMPARE(NetworkGuard::allows(QHostAddress(address)), allowed);
        QCOMPARE(NetworkGuard::allowsHost(address), allowed);
    }

    void guardNamesAndNamespaceRange()
    {
        qputenv("TARVO_LOOPBACK_ONLY", "1");
        QVERIFY(NetworkGuard::allowsHost(QStringLiteral("localhost")));
        QVERIFY(!NetworkGuard::allowsHost(QStringLiteral("update.example.org")));
        QVERIFY(!NetworkGuard::allowsHost(QString()));
        qputenv("TARVO_TEST_NETNS", "1");
        QVERIFY(NetworkGuard::allows(QHostAddress(QStringLiteral("198.19.255.1"))));
        QVERIFY(!NetworkGuard::allows(QHostAddress(QStringLiteral("198.20.0.1"))));
        QVERIFY(!NetworkGuard::allows(QHostAddress(QStringLiteral("10.1.1.1"))));
        qunsetenv("TARVO_TEST_NETNS");
    }

    void versionText()
    {
        QCOMPARE(formatVersion(1, 30, 522), QStringLiteral("1.30.0522"));
        QCOMPARE(formatVersion(2, 0, 0), QStringLiteral("2.00.0000"));
        QCOMPARE(tarvo::versionText().count(QLatin1Char('.')), 2);
    }

    void pathsJoinWithOneSeparator()
    {
        QCOMPARE(joinPath(QStringLiteral("/data"), QStringLiteral("Tarvodb.mdb")),
                 QStringLiteral("/data/Tarvodb.mdb"));
        QCOMPARE(joinPath(QStringLiteral("/data/"), QStringLiteral("Tarvodb.mdb")),
                 QStringLiteral("/data/Tarvodb.mdb"));
        QCOMPARE(joinPath(QStringLiteral("/"), QStringLiteral("Tarvodb.mdb")),
                 QStringLiteral("/Tarvodb.mdb"));
        QCOMPARE(folderOf(QStringLiteral("/data/Tarvodb.mdb")), QStringLiteral("/data"));
        QCOMPARE(folderOf(QStringLiteral("/Tarvodb.mdb")), QStringLiteral("/"));
        QCOMPARE(withTrailingSeparator(QStringLiteral("/data")), QStringLiteral("/data/"));
        QCOMPARE(withTrailingSeparator(QStringLiteral("/")), QStringLiteral("/"));
        QVERIFY(sameFolder(QStringLiteral("/data/"), QStringLiteral("/data")));
        QVERIFY(!sameFolder(QStringLiteral("/Data"), QStringLiteral("/data")));
    }

    void programFolderFollowsTarvoHome()
    {
        qputenv("TARVO_HOME", "/opt/tarvo/");
        QCOMPARE(programFolder(), QStringLiteral("/opt/tarvo"));
        qunsetenv("TARVO_HOME");
    }

    void shellOpenStartsProgramsAndOpensDocuments()
    {
        test::FakeShell shell;
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("HostWatch"));
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));

        QVERIFY(ShellOpen(shell, QStringLiteral("open"), program, QStringLiteral("-a  -b"), dir.path()));
        QCOMPARE(shell.started.size(), 1);
        QCOMPARE(shell.started.at(0).arguments, (QStringList{QStringLiteral("-a"), QStringLiteral("-b")}));
        QCOMPARE(shell.started.at(0).folder, dir.path());

        QVERIFY(ShellOpen(shell, QStringLiteral("open"), QStringLiteral("https://intranet.example/")));
        QVERIFY(ShellOpen(shell, QStringLiteral("open"), QStringLiteral("mailto:admin@example.org")));
        QCOMPARE(shell.opened.size(), 2);

        // An empty address opens nothing.
        QVERIFY(!ShellOpen(shell, QStringLiteral("open"), QStringLiteral("  ")));
        QCOMPARE(shell.opened.size(), 2);
    }

    void browseForFolderDropsTrailingSeparatorExceptRoot()
    {
        test::FakeFileDialogs dialogs;
        dialogs.folders = {QStringLiteral("/srv/data/"), QStringLiteral("/"), QString()};
        QCOMPARE(BrowseForFolder(dialogs, nullptr, QStringLiteral("Choose Folder :")),
                 QStringLiteral("/srv/data"));
        QCOMPARE(BrowseForFolder(dialogs, nullptr, QStringLiteral("Choose Folder :")), QStringLiteral("/"));
        QCOMPARE(BrowseForFolder(dialogs, nullptr, QStringLiteral("Choose Folder :")), QString());
        QCOMPARE(dialogs.folderTitles.size(), 3);
    }
};

QTEST_GUILESS_MAIN(RoutinesTest)
#include "RoutinesTest.moc"
