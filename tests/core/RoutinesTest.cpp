#include "CoreTestHelpers.h"
#include "LoopbackHttpServer.h"

#include "core/FileDialogs.h"
#include "core/FileDownloader.h"
#include "core/IniFile.h"
#include "core/NetworkGuard.h"
#include "core/ProgramFolder.h"
#include "core/ReplacingFile.h"
#include "core/Shell.h"
#include "core/Version.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {
const QByteArray Body = "1.00.0001 -> 1.01.0000\r\n"; // an update check's answer
} // namespace

// The INI file, downloads, the network guard and the other routines that every window shares.
class RoutinesTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_path;

private Q_SLOTS:
    void init()
    {
        m_path = m_dir.filePath(u"Tarvo.ini"_s);
        QFile::remove(m_path);
    }

    void iniReadsWithWindowsProfileRules_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("names in other case") << u"DATABASE"_s << u"databaselocation"_s << u"/srv/tarvo"_s;
        QTest::newRow("blanks around value and name") << u"Web"_s << u"MainURL"_s << u"http://intra/tarvo"_s;
        QTest::newRow("double quotes removed once") << u"Web"_s << u"IntraURL"_s << u"say \"hi\""_s;
        QTest::newRow("single quotes removed") << u"Network"_s << u"SMTP"_s << u"mail.local"_s;
        QTest::newRow("backslash comma semicolon kept")
            << u"Backup"_s << u"BackupLocation"_s << u"C:\\a,b;c"_s;
        QTest::newRow("unmatched quote kept") << u"Network"_s << u"Port"_s << u"\"25"_s;
        QTest::newRow("missing key") << u"Network"_s << u"Missing"_s << u""_s;
        QTest::newRow("missing section") << u"Nowhere"_s << u"Port"_s << u""_s;
        QTest::newRow("key of a later section not mixed in") << u"Database"_s << u"SMTP"_s << u""_s;
        QTest::newRow("comment line is no key") << u"Backup"_s << u";Old"_s << u""_s;
    }
    void iniReadsWithWindowsProfileRules()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        test::writeFile(m_path, "; settings\r\n"
                                "[Database]\r\n"
                                "DatabaseLocation=/srv/tarvo\r\n"
                                "[ Web ]\r\n"
                                "  MainURL  =   http://intra/tarvo   \r\n"
                                "IntraURL=\"say \"hi\"\"\r\n"
                                "[Network]\r\n"
                                "SMTP='mail.local'\r\n"
                                "Port=\"25\r\n"
                                "[Backup]\r\n"
                                ";Old=x\r\n"
                                "BackupLocation=C:\\a,b;c\r\n"
                                "[database]\r\n" // the first of repeated sections counts
                                "DatabaseLocation=/elsewhere\r\n");
        QCOMPARE(IniFile(m_path).read(section, key), expected);
    }

    // A write changes the line of its key and nothing else: every other line keeps its bytes, and so
    // what it means. A file from Windows is in a single-byte code page; a line that the code page cannot
    // hold is written in UTF-8.
    void iniWriteChangesOnlyTheLineOfItsKey_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const QByteArray file = "; keep this comment\r\n[Database]\r\nDatabaseLocation=old\r\n\r\n"
                                "[Web]\r\nIntraURL=http://a,b;c\r\n; trailing comment\r\n";
        QTest::newRow("names in other case")
            << file << u"DATABASE"_s << u"databaselocation"_s << u"C:\\Program Files\\Tarvo\\"_s
            << QByteArray(file).replace("=old", "=C:\\Program Files\\Tarvo\\");
        QTest::newRow("new key at the end of its section")
            << file << u"Database"_s << u"Extra"_s << u"a, b; c=d"_s
            << QByteArray(file).replace("old\r\n", "old\r\nExtra=a, b; c=d\r\n");
        QTest::newRow("new section after a last line without its end")
            << QByteArray("[Web]\nIntraURL=x") << u"Version"_s << u"Version"_s << u""_s
            << QByteArray("[Web]\nIntraURL=x\n\n[Version]\nVersion=\n");
        QTest::newRow("byte order mark")
            << QByteArray("\xef\xbb\xbf[Web]\nMainURL=old\n") << u"Web"_s << u"MainURL"_s << u"new"_s
            << QByteArray("\xef\xbb\xbf[Web]\nMainURL=new\n");
        // Only the file's own mark is dropped: a key may begin with one.
        QTest::newRow("key that begins with a byte order mark")
            << QByteArray() << u"v"_s << u"\uFEFF"_s << u",Network"_s
            << QByteArray("[v]\n\xef\xbb\xbf=,Network\n");
        QTest::newRow("names with blanks around them")
            << QByteArray("[Web]\nMainURL=old\n") << u" Web "_s << u" MainURL "_s << u"new"_s
            << QByteArray("[Web]\nMainURL=new\n");
        QTest::newRow("new names with blanks around them")
            << QByteArray() << u" Web "_s << u" MainURL "_s << u"new"_s << QByteArray("[Web]\nMainURL=new\n");
        // The replaced line was the only one that is not UTF-8.
        QTest::newRow("UTF-8 line beside the replaced code page line")
            << QByteArray(
                   "[Database]\nDatabaseLocation=/srv/caf\xe9\n[Backup]\nBackupLocation=/d/caf\xc3\xa9\n")
            << u"Database"_s << u"DatabaseLocation"_s << u"/new"_s
            << QByteArray("[Database]\nDatabaseLocation=/new\n[Backup]\nBackupLocation=/d/caf\xc3\xa9\n");
        const QByteArray codePage = "[Backup]\r\nBackupLocation=D:\\Sauvegard\xe9\r\n";
        QTest::newRow("value in the code page")
            << codePage << u"Database"_s << u"DatabaseLocation"_s << u"/srv/caf\u00e9"_s
            << codePage + "\r\n[Database]\r\nDatabaseLocation=/srv/caf\xe9\r\n";
        QTest::newRow("value beyond the code page")
            << codePage << u"Database"_s << u"DatabaseLocation"_s << u"/srv/\u6570\u636e"_s
            << codePage + "\r\n[Database]\r\nDatabaseLocation=/srv/\xe6\x95\xb0\xe6\x8d\xae\r\n";
        // In the code page its bytes would read as UTF-8 "\u00e9".
        QTest::newRow("code page value that reads as UTF-8")
            << codePage << u"Database"_s << u"DatabaseLocation"_s << u"\u00c3\u00a9"_s
            << codePage + "\r\n[Database]\r\nDatabaseLocation=\xc3\x83\xc2\xa9\r\n";
    }
    void iniWriteChangesOnlyTheLineOfItsKey()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!before.isEmpty())
            test::writeFile(m_path, before);
        IniFile ini(m_path);
        const QString backup = ini.read(u"Backup"_s, u"BackupLocation"_s);
        QVERIFY(ini.write(section, key, value));
        QCOMPARE(test::readFile(m_path), after);
        QCOMPARE(ini.read(section, key), value);
        QCOMPARE(ini.read(u"Backup"_s, u"BackupLocation"_s), backup);
    }

    // The temporaries that a write left when the program was killed go at the next write; nothing else
    // does. "<ended>" stands for the name of a temporary of Tarvo.ini that an ended process of this
    // computer left, "<running>" for one of this process that is under way.
    void staleTemporariesGoAtTheNextWrite_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("ageDays");
        QTest::addColumn<bool>("removed");
        QTest::newRow("ended process") << u"<ended>"_s << 0 << true;
        QTest::newRow("its journal") << u"<ended>-journal"_s << 0 << true;
        QTest::newRow("running process") << u"<running>-journal"_s << 2 << false;
        QTest::newRow("other computer") << u".Tarvo.ini.tarvo-tmp-elsewhere-7-abcd1234"_s << 0 << false;
        QTest::newRow("other computer, two days old")
            << u".Tarvo.ini.tarvo-tmp-elsewhere-7-abcd1234"_s << 2 << true;
        QTest::newRow("not ours: more after it") << u"<ended>.bak"_s << 2 << false;
        QTest::newRow("not ours: other random part") << u"<ended>9"_s << 2 << false;
        QTest::newRow("not ours: a save file's name") << u"Tarvo.ini.Ab12Cd"_s << 2 << false;
    }
    void staleTemporariesGoAtTheNextWrite()
    {
        QFETCH(QString, name);
        QFETCH(int, ageDays);
        QFETCH(bool, removed);
        test::TestProgram p(test::TestProgram::Setup::IniOnly);
        ReplacingFile running(p.iniPath());
        QVERIFY(running.open());
        name.replace(u"<ended>"_s, QFileInfo(test::endedProcessTemporary(p.iniPath())).fileName())
            .replace(u"<running>"_s, QFileInfo(running.temporaryPath()).fileName());
        QFile file(p.path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (ageDays > 0)
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-ageDays),
                                     QFileDevice::FileModificationTime));
        file.close();

        QVERIFY(p.context.WriteINI(u"Web"_s, u"MainURL"_s, u"x"_s));
        QCOMPARE(!QFile::exists(p.path(name)), removed);
        QVERIFY(QFile::exists(running.temporaryPath()));
        // The write left no temporary of its own.
        QCOMPARE(test::filesIn(p.folder()).size(), removed ? 2 : 3);
    }

    void iniMissingFileReadsEmptyAndFailedWritesAreReported()
    {
        IniFile ini(m_path);
        QCOMPARE(ini.read(u"Database"_s, u"DatabaseLocation"_s), QString());
        // What would break the file is refused, and nothing is written.
        QString error;
        QVERIFY(!ini.write(u"S"_s, u"K"_s, u"a\r\n[Evil]"_s, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!ini.write(u"S]"_s, u"K"_s, u"v"_s));
        QVERIFY(!ini.write(u"S"_s, u"K=1"_s, u"v"_s));
        QVERIFY(!QFileInfo::exists(m_path));
        error.clear();
        QVERIFY(
            !IniFile(m_dir.filePath(u"no-such-folder/Tarvo.ini"_s)).write(u"S"_s, u"K"_s, u"v"_s, &error));
        QVERIFY(!error.isEmpty());
        // A write creates a missing file.
        QVERIFY(ini.write(u"Database"_s, u"DatabaseLocation"_s, u"/x"_s));
        QCOMPARE(ini.read(u"database"_s, u"DATABASELOCATION"_s), u"/x"_s);

        // The program reads at most 254 characters, and nothing without a Tarvo.ini.
        test::TestProgram program(test::TestProgram::Setup::IniOnly);
        const QString longValue(300, u'x');
        QVERIFY(program.context.WriteINI(u"Web"_s, u"MainURL"_s, longValue));
        QCOMPARE(program.context.ReadINI(u"Web"_s, u"MainURL"_s), longValue.left(254));
        program.program.INIPath.clear();
        QCOMPARE(program.context.ReadINI(u"Web"_s, u"MainURL"_s), QString());
        QVERIFY(!program.context.WriteINI(u"Web"_s, u"MainURL"_s, u"x"_s));
    }

    void guardAllowsOnlyLoopback_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("namespaceTest"); // TARVO_TEST_NETNS=1
        QTest::addColumn<bool>("allowed");
        QTest::newRow("loopback") << u"127.45.6.7"_s << false << true;
        QTest::newRow("ipv6 loopback") << u"::1"_s << false << true;
        QTest::newRow("localhost") << u"LocalHost"_s << false << true;
        QTest::newRow("sample data") << u"10.1.1.1"_s << false << false;
        QTest::newRow("mapped private") << u"::ffff:10.1.1.1"_s << false << false;
        QTest::newRow("host name") << u"update.example.org"_s << false << false;
        QTest::newRow("namespace range without its flag") << u"198.18.0.2"_s << false << false;
        QTest::newRow("namespace range") << u"198.19.255.1"_s << true << true;
        QTest::newRow("below the namespace range") << u"198.17.255.255"_s << true << false;
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
        QCOMPARE(joinPath(u"/"_s, u"Tarvodb.mdb"_s), u"/Tarvodb.mdb"_s);
        QCOMPARE(folderOf(u"/Tarvodb.mdb"_s), u"/"_s);
        QCOMPARE(withTrailingSeparator(u"/"_s), u"/"_s);
        QVERIFY(sameFolder(u"/data/"_s, u"/data"_s));
        qputenv("TARVO_HOME", "/opt/tarvo/");
        QCOMPARE(programFolder(), u"/opt/tarvo"_s);
        qunsetenv("TARVO_HOME");
        // A chosen folder loses its trailing separator, except the root.
        test::FakeFileDialogs dialogs;
        dialogs.folders = {u"/srv/data/"_s, u"/"_s, QString()};
        for (const QString& expected : {u"/srv/data"_s, u"/"_s, QString()})
            QCOMPARE(BrowseForFolder(dialogs, nullptr, u"Choose Folder :"_s), expected);
    }

    // What cannot be opened is reported, naming it. "<program>" stands for the program folder, where
    // "HostWatch" is a program.
    void shellOpensStartsOrTellsWhyNot_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("shellSucceeds");
        QTest::addColumn<QString>("done"); // what the shell was asked for; "" for nothing
        QTest::addColumn<QString>("message");
        const QString program = u"<program>/HostWatch"_s;
        const QString address = u"https://intranet.example/"_s;
        const QString help = u"<program>/TarvoHelp.html"_s;
        QTest::newRow("program") << program << true << u"start:<program>/HostWatch -a|-b in <program>"_s
                                 << u""_s;
        QTest::newRow("address") << address << true << u"open:"_s + address << u""_s;
        QTest::newRow("existing document")
            << u"<program>/Tarvo.ini"_s << true << u"open:<program>/Tarvo.ini"_s << u""_s;
        QTest::newRow("empty") << u"  "_s << true << u""_s << u"Nothing can be opened: the key K is empty."_s;
        QTest::newRow("missing file")
            << help << true << u""_s << u"Cannot open \"<program>/TarvoHelp.html\": it does not exist."_s;
        QTest::newRow("missing file URL") << u"file://"_s + help << true << u""_s << u"it does not exist"_s;
        QTest::newRow("no browser") << address << false << u"open:"_s + address
                                    << u"Cannot open \"https://intranet.example/\": the desktop has no"_s;
        QTest::newRow("program cannot start")
            << program << false << u"start:<program>/HostWatch -a|-b in <program>"_s
            << u"could not be started"_s;
    }
    void shellOpensStartsOrTellsWhyNot()
    {
        QFETCH(QString, file);
        QFETCH(bool, shellSucceeds);
        QFETCH(QString, done);
        QFETCH(QString, message);
        test::TestProgram p(test::TestProgram::Setup::IniOnly);
        test::addProgram(p, u"HostWatch"_s);
        p.shell.openSucceeds = p.shell.startSucceeds = shellSucceeds;
        file.replace(u"<program>"_s, p.folder());

        QCOMPARE(ShellOpen(p.shell, u"open"_s, file, u"-a  -b"_s, p.folder()), message.isEmpty());
        QCOMPARE(test::shellCalls(p.shell).replaceInStrings(p.folder(), u"<program>"_s),
                 done.isEmpty() ? QStringList() : QStringList{done});
        QVERIFY(p.messenger.isEmpty());

        QCOMPARE(openOrTell(p.shell, p.messenger, nullptr, file, u"the key K"_s), message.isEmpty());
        QCOMPARE(p.messenger.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(QString(p.messenger.last().text).replace(p.folder(), u"<program>"_s).contains(message),
                     qPrintable(p.messenger.last().text));
    }

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
        QCOMPARE(test::readFile(path), Body);
        QCOMPARE(test::filesIn(folder.path()), QStringList{u"TarvoWebPatch"_s});
    }
};

QTEST_GUILESS_MAIN(RoutinesTest)
#include "RoutinesTest.moc"
