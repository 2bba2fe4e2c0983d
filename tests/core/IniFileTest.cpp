#include "TestProgram.h"

#include "core/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvo;

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}
void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}
} // namespace

class IniFileTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_path;

private Q_SLOTS:
    void init()
    {
        m_path = m_dir.filePath(QStringLiteral("Tarvo.ini"));
        QFile::remove(m_path);
    }

    void readsWithWindowsProfileRules_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("exact") << "Database"
                               << "DatabaseLocation"
                               << "/srv/tarvo";
        QTest::newRow("names in other case") << "DATABASE"
                                             << "databaselocation"
                                             << "/srv/tarvo";
        QTest::newRow("blanks around value and name") << "Web"
                                                      << "MainURL"
                                                      << "http://intra/tarvo";
        QTest::newRow("double quotes removed once") << "Web"
                                                    << "IntraURL"
                                                    << "say \"hi\"";
        QTest::newRow("single quotes removed") << "Network"
                                               << "SMTP"
                                               << "mail.local";
        QTest::newRow("backslash comma semicolon kept") << "Backup"
                                                        << "BackupLocation"
                                                        << "C:\\a,b;c";
        QTest::newRow("unmatched quote kept") << "Network"
                                              << "Port"
                                              << "\"25";
        QTest::newRow("missing key") << "Network"
                                     << "Missing"
                                     << "";
        QTest::newRow("missing section") << "Nowhere"
                                         << "Port"
                                         << "";
        QTest::newRow("empty value") << "Version"
                                     << "Version"
                                     << "";
        QTest::newRow("key of a later section not mixed in") << "Database"
                                                             << "SMTP"
                                                             << "";
        QTest::newRow("comment line is no key") << "Backup"
                                                << ";Old"
                                                << "";
    }
    void readsWithWindowsProfileRules()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        writeAll(m_path, "; settings\r\n"
                         "[Database]\r\n"
                         "DatabaseLocation=/srv/tarvo\r\n"
                         "[ Web ]\r\n"
                         "  MainURL  =   http://intra/tarvo   \r\n"
                         "IntraURL=\"say \"hi\"\"\r\n"
                         "[Network]\r\n"
                         "SMTP='mail.local'\r\n"
                         "Port=\"25\r\n"
                         "[Version]\r\n"
                         "Version=\r\n"
                         "[Backup]\r\n"
                         ";Old=x\r\n"
                         "BackupLocation=C:\\a,b;c\r\n");
        QCOMPARE(IniFile(m_path).read(section, key), expected);
    }

    void firstOfRepeatedSectionsCounts()
    {
        writeAll(m_path, "[A]\nK=1\n[B]\nK=2\n[a]\nK=3\n");
        QCOMPARE(IniFile(m_path).read(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));
    }

    void missingFileReadsEmptyAndWriteCreatesIt()
    {
        IniFile ini(m_path);
        QVERIFY(!ini.exists());
        QCOMPARE(ini.read(QStringLiteral("Database"), QStringLiteral("DatabaseLocation")), QString());
        QVERIFY(
            ini.write(QStringLiteral("Database"), QStringLiteral("DatabaseLocation"), QStringLiteral("/x")));
        QCOMPARE(ini.read(QStringLiteral("database"), QStringLiteral("DATABASELOCATION")),
                 QStringLiteral("/x"));
    }

    void writeKeepsEveryOtherLine()
    {
        const QByteArray before = "; keep this comment\r\n"
                                  "[Database]\r\n"
                                  "DatabaseLocation=old\r\n"
                                  "\r\n"
                                  "[Web]\r\n"
                                  "IntraURL=http://a,b;c\r\n"
                                  "; trailing comment\r\n";
        writeAll(m_path, before);
        IniFile ini(m_path);
        QVERIFY(
            ini.write(QStringLiteral("DATABASE"), QStringLiteral("databaselocation"), QStringLiteral("new")));
        QCOMPARE(readAll(m_path), QByteArray("; keep this comment\r\n"
                                             "[Database]\r\n"
                                             "DatabaseLocation=new\r\n"
                                             "\r\n"
                                             "[Web]\r\n"
                                             "IntraURL=http://a,b;c\r\n"
                                             "; trailing comment\r\n"));

        // A new key goes to the end of its section, a new section to the end of the file.
        QVERIFY(ini.write(QStringLiteral("Database"), QStringLiteral("Extra"), QStringLiteral("1")));
        QVERIFY(ini.write(QStringLiteral("Version"), QStringLiteral("Version"), QStringLiteral("1.00.0001")));
        QCOMPARE(readAll(m_path), QByteArray("; keep this comment\r\n"
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

    void valuesRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("backslashes") << "C:\\Program Files\\Tarvo\\";
        QTest::newRow("comma and semicolon") << "a, b; c";
        QTest::newRow("equals sign") << "x=y";
        QTest::newRow("empty") << "";
        QTest::newRow("non-ASCII") << QStringLiteral("Kuala Lumpur \u00e9");
    }
    void valuesRoundTrip()
    {
        QFETCH(QString, value);
        IniFile ini(m_path);
        QVERIFY(ini.write(QStringLiteral("S"), QStringLiteral("K"), value));
        QCOMPARE(ini.read(QStringLiteral("S"), QStringLiteral("K")), value);
    }

    // A file from Windows is in a single-byte code page: its text survives a write, also one of a value
    // that the code page cannot hold.
    void singleByteFileKeepsEveryCharacter_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("value in the code page") << QStringLiteral("/srv/caf\u00e9");
        QTest::newRow("value beyond the code page") << QStringLiteral("/srv/\u6570\u636e");
    }
    void singleByteFileKeepsEveryCharacter()
    {
        QFETCH(QString, value);
        writeAll(m_path, "[Backup]\r\nBackupLocation=D:\\Sauvegard\xe9\r\n");
        IniFile ini(m_path);
        QVERIFY(ini.write(QStringLiteral("Database"), QStringLiteral("DatabaseLocation"), value));
        QCOMPARE(ini.read(QStringLiteral("Database"), QStringLiteral("DatabaseLocation")), value);
        QCOMPARE(ini.read(QStringLiteral("Backup"), QStringLiteral("BackupLocation")),
                 QStringLiteral("D:\\Sauvegard\u00e9"));
    }

    void refusesWhatWouldBreakTheFile()
    {
        IniFile ini(m_path);
        QString error;
        QVERIFY(!ini.write(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("a\r\n[Evil]"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!ini.write(QStringLiteral("S]"), QStringLiteral("K"), QStringLiteral("v")));
        QVERIFY(!ini.write(QStringLiteral("S"), QStringLiteral("K=1"), QStringLiteral("v")));
        QVERIFY(!QFileInfo::exists(m_path));
    }

    void failedWriteIsReported()
    {
        IniFile ini(m_dir.filePath(QStringLiteral("no-such-folder/Tarvo.ini")));
        QString error;
        QVERIFY(!ini.write(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"), &error));
        QVERIFY(!error.isEmpty());
    }

    void readIniCutsLongValuesAndNeedsAnIniPath()
    {
        test::TestProgram program(test::TestProgram::Setup::IniOnly);
        const QString longValue(300, QLatin1Char('x'));
        QVERIFY(program.context.WriteINI(QStringLiteral("Web"), QStringLiteral("MainURL"), longValue));
        QCOMPARE(program.context.ReadINI(QStringLiteral("Web"), QStringLiteral("MainURL")),
                 longValue.left(254));

        program.program.INIPath.clear();
        QCOMPARE(program.context.ReadINI(QStringLiteral("Web"), QStringLiteral("MainURL")), QString());
        QVERIFY(
            !program.context.WriteINI(QStringLiteral("Web"), QStringLiteral("MainURL"), QStringLiteral("x")));
    }
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "IniFileTest.moc"
