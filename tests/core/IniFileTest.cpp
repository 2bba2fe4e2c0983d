#include "CoreTestHelpers.h"

#include "core/IniFile.h"

#include <QFileInfo>

using namespace tarvo;
using namespace Qt::StringLiterals;

class IniFileTest : public QObject
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

    void readsWithWindowsProfileRules_data()
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
    void readsWithWindowsProfileRules()
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

    void writeKeepsEveryOtherLine()
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
    void valuesRoundTripAndKeepTheFilesText_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("backslashes") << u"C:\\Program Files\\Tarvo\\"_s;
        QTest::newRow("comma, semicolon, equals sign") << u"a, b; c=d"_s;
        QTest::newRow("empty") << u""_s;
        QTest::newRow("in the code page") << u"/srv/caf\u00e9"_s;
        QTest::newRow("beyond the code page") << u"/srv/\u6570\u636e"_s;
    }
    void valuesRoundTripAndKeepTheFilesText()
    {
        QFETCH(QString, value);
        test::writeFile(m_path, "[Backup]\r\nBackupLocation=D:\\Sauvegard\xe9\r\n");
        IniFile ini(m_path);
        QVERIFY(ini.write(u"Database"_s, u"DatabaseLocation"_s, value));
        QCOMPARE(ini.read(u"Database"_s, u"DatabaseLocation"_s), value);
        QCOMPARE(ini.read(u"Backup"_s, u"BackupLocation"_s), u"D:\\Sauvegard\u00e9"_s);
    }

    void missingFileReadsEmptyAndFailedWritesAreReported()
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
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "IniFileTest.moc"
