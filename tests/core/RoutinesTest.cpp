#include "CoreTestHelpers.h"

#include "core/FileDialogs.h"
#include "core/IniFile.h"
#include "core/NetworkGuard.h"
#include "core/ProgramFolder.h"
#include "core/Shell.h"
#include "core/Version.h"

#include <QFileInfo>

using namespace tarvo;
using namespace Qt::StringLiterals;

class RoutinesTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_path;

    QByteArray content() const
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

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

    void iniWriteKeepsEveryOtherLine()
    {
        test::writeFile(m_path, "; keep this comment\r\n"
                                "[Database]\r\n"
                                "DatabaseLocation=old\r\n"
                                "\r\n"
                                "[Web]\r\n"
                                "IntraURL=http://a,b;c\r\n"
                                "; trailing comment\r\n");
        IniFile ini(m_path);
        QVERIFY(ini.write(u"DATABASE"_s, u"databaselocation"_s, u"new"_s));
        // A new key goes to the end of its section, a new section to the end of the file.
        QVERIFY(ini.write(u"Database"_s, u"Extra"_s, u"1"_s));
        QVERIFY(ini.write(u"Version"_s, u"Version"_s, u"1.00.0001"_s));
        QCOMPARE(content(), QByteArray("; keep this comment\r\n"
                                       "[Database]\r\n"
                                       "DatabaseLocation=new\r\n"
                                       "Extra=1\r\n"
                                       "\r\n"
                                       "[Web]\r\n"
                                       "IntraURL=http://a,b;c\r\n"
                                       "; trailing comment\r\n"
                                       "\r\n"
                                       "[Version]\r\n"
                                       "Version=1.00.0001\r\n"));
    }

    // A file from Windows is in a single-byte code page: its text survives a write, also one of a value
    // that the code page cannot hold.
    void iniValuesRoundTripAndKeepTheFilesText_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("backslashes") << u"C:\\Program Files\\Tarvo\\"_s;
        QTest::newRow("comma, semicolon, equals sign") << u"a, b; c=d"_s;
        QTest::newRow("empty") << u""_s;
        QTest::newRow("in the code page") << u"/srv/caf\u00e9"_s;
        QTest::newRow("beyond the code page") << u"/srv/\u6570\u636e"_s;
    }
    void iniValuesRoundTripAndKeepTheFilesText()
    {
        QFETCH(QString, value);
        test::writeFile(m_path, "[Backup]\r\nBackupLocation=D:\\Sauvegard\xe9\r\n");
        IniFile ini(m_path);
        QVERIFY(ini.write(u"Database"_s, u"DatabaseLocation"_s, value));
        QCOMPARE(ini.read(u"Database"_s, u"DatabaseLocation"_s), value);
        QCOMPARE(ini.read(u"Backup"_s, u"BackupLocation"_s), u"D:\\Sauvegard\u00e9"_s);
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
    }

    void readIniCutsLongValuesAndNeedsAnIniPath()
    {
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
        QFile program(p.path(u"HostWatch"_s));
        QVERIFY(program.open(QIODevice::WriteOnly));
        QVERIFY(program.setPermissions(program.permissions() | QFileDevice::ExeOwner));
        p.shell.openSucceeds = p.shell.startSucceeds = shellSucceeds;
        file.replace(u"<program>"_s, p.folder());

        QCOMPARE(ShellOpen(p.shell, u"open"_s, file, u"-a  -b"_s, p.folder()), message.isEmpty());
        QStringList asked;
        for (const QString& opened : std::as_const(p.shell.opened))
            asked << u"open:"_s + opened;
        for (const auto& started : std::as_const(p.shell.started))
            asked << u"start:%1 %2 in %3"_s.arg(started.program, started.arguments.join(u'|'),
                                                started.folder);
        QCOMPARE(asked.replaceInStrings(p.folder(), u"<program>"_s),
                 done.isEmpty() ? QStringList() : QStringList{done});
        QVERIFY(p.messenger.isEmpty());

        QCOMPARE(openOrTell(p.shell, p.messenger, nullptr, file, u"the key K"_s), message.isEmpty());
        QCOMPARE(p.messenger.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(QString(p.messenger.last().text).replace(p.folder(), u"<program>"_s).contains(message),
                     qPrintable(p.messenger.last().text));
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
