// The rules of the maintenance subsystem that need no window: pieces and their batch file, the texts of
// times and sizes, the progress bar's picture and the user's settings store.

#include "MaintenanceTestKit.h"

#include "maintenance/Compaction.h"
#include "maintenance/FilePieces.h"
#include "maintenance/Registry.h"
#include "maintenance/SplitFileVerb.h"
#include "maintenance/ctlProgress.h"

#include <QImage>
#include <QSettings>

using namespace tarvo;
using namespace Qt::StringLiterals;

class MaintenanceRulesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void piecesOfAFile_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("pieces");
        QTest::addColumn<qint64>("lastOffset");
        QTest::addColumn<qint64>("lastLength");
        const qint64 gib = 1024LL * 1024 * 1024;
        QTest::newRow("empty") << 0LL << 0LL << 0LL << 0LL;
        QTest::newRow("one byte") << 1LL << 1LL << 0LL << 1LL;
        QTest::newRow("exactly one piece") << 1392640LL << 1LL << 0LL << 1392640LL;
        QTest::newRow("one byte more") << 1392641LL << 2LL << 1392640LL << 1LL;
        QTest::newRow("eleven pieces") << 13926401LL << 11LL << 13926400LL << 1LL;
        // 4 GiB is 3084 whole pieces and 65,536 bytes; 32-bit lengths and offsets would wrap here.
        QTest::newRow("4 GiB") << 4 * gib << 3085LL << 4294901760LL << 65536LL;
        QTest::newRow("past 4 GiB") << 5 * gib + 1 << 3856LL << 5368627200LL << 81921LL;
    }
    void piecesOfAFile()
    {
        QFETCH(qint64, length);
        QFETCH(qint64, pieces);
        QFETCH(qint64, lastLength);
        QCOMPARE(pieceCount(length), pieces);
        if (pieces == 0)
            return;
        QTEST(pieceOffset(pieces), "lastOffset");
        QCOMPARE(pieceLength(pieces, length), lastLength);
        QCOMPARE(pieceLength(pieces + 1, length), 0LL);
        QCOMPARE(pieceOffset(pieces) + lastLength, length);
    }

    void joiningBatchFile_data()
    {
        QTest::addColumn<qint64>("pieces");
        QTest::addColumn<bool>("deleteParts");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray head =
            "@ECHO OFF\r\nECHO Joining Files...\r\nIF EXIST \"db.mdb\" DEL \"db.mdb\"\r\n";
        QTest::newRow("one piece, keep")
            << 1LL << false << head + "COPY \"db.mdb.1\" \"db.mdb\"\r\nECHO Done!\r\n";
        QTest::newRow("one piece, delete")
            << 1LL << true << head + "REN \"db.mdb.1\" \"db.mdb\"\r\nDEL \"db.mdb.bat\"\r\nECHO Done!\r\n";
        QTest::newRow("three pieces, keep")
            << 3LL << false
            << head + "COPY \"db.mdb.1\" \"db.mdb\"\r\nCOPY /B \"db.mdb\"+\"db.mdb.2\"+\"db.mdb.3\"\r\nECHO "
                      "Done!\r\n";
        QTest::newRow("three pieces, delete")
            << 3LL << true
            << head + "COPY /B \"db.mdb.1\"+\"db.mdb.2\"+\"db.mdb.3\"\r\nDEL \"db.mdb.2\"\r\nDEL "
                      "\"db.mdb.3\"\r\n"
                      "REN \"db.mdb.1\" \"db.mdb\"\r\nDEL \"db.mdb.bat\"\r\nECHO Done!\r\n";
    }
    void joiningBatchFile()
    {
        QFETCH(qint64, pieces);
        QFETCH(bool, deleteParts);
        QTEST(tarvo::joiningBatchFile(u"db.mdb"_s, pieces, deleteParts), "expected");
    }

    void timesAndSizes()
    {
        for (const auto& [seconds, text] : std::initializer_list<std::pair<double, QString>>{
                 {0.25, u".25"_s}, {0.0, u".00"_s}, {1.5, u"1.50"_s}, {12.004, u"12.00"_s}})
            QCOMPARE(formatElapsed(seconds), text);
        const qint64 gb = 1073741824;
        for (const auto& [bytes, text] :
             std::initializer_list<std::pair<qint64, QString>>{{1023, u"1023 bytes"_s},
                                                               {1536, u"1.50 KB"_s},
                                                               {1048576, u"1.00 MB"_s},
                                                               {gb, u"1.00 GB"_s},
                                                               {5 * gb + gb / 2, u"5.50 GB"_s}}) // past 4 GB
            QCOMPARE(formatByteCount(bytes), text);
    }

    void progressPicture_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("style");
        QTest::addColumn<qint64>("min");
        QTest::addColumn<qint64>("max");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("filled");
        const qint64 gib = 1024LL * 1024 * 1024;
        // clang-format off
        QTest::newRow("percentage") << QString() << 2 << 0LL << 200LL << 50LL << u"25%"_s << 0.25;
        QTest::newRow("caption and percentage") << u"Splitting"_s << 3 << 0LL << 200LL << 100LL << u"Splitting 50%"_s << 0.5;
        QTest::newRow("caption alone, empty") << QString() << 1 << 0LL << 100LL << 10LL << QString() << 0.1;
        QTest::newRow("style 5, empty caption") << QString() << 5 << 0LL << 100LL << 10LL << u"10%"_s << 0.1;
        QTest::newRow("no text") << u"Joining"_s << 0 << 0LL << 100LL << 10LL << QString() << 0.1;
        QTest::newRow("above Max") << QString() << 2 << 0LL << 100LL << 150LL << u"100%"_s << 1.0;
        QTest::newRow("below Min") << QString() << 2 << 10LL << 100LL << 5LL << u"0%"_s << 0.0;
        QTest::newRow("Max equal to Min") << QString() << 3 << 0LL << 0LL << 0LL << u"100%"_s << 1.0;
        QTest::newRow("past 4 GiB") << QString() << 2 << 0LL << 6 * gib << 3 * gib << u"50%"_s << 0.5;
        // clang-format on
    }
    void progressPicture()
    {
        QFETCH(QString, caption);
        QFETCH(int, style);
        QFETCH(qint64, min);
        QFETCH(qint64, max);
        QFETCH(qint64, value);
        const ProgressPicture picture = tarvo::progressPicture(caption, style, value, min, max);
        QTEST(picture.text, "text");
        QTEST(picture.filled, "filled");
    }

    void progressBarInvertsTheTextItCovers()
    {
        ctlProgress bar;
        bar.resize(200, 24);
        bar.setCaption(u"  Joining  "_s);
        bar.setCaptionStyle(3);
        bar.setMax(200);
        bar.setValue(100);
        QCOMPARE(bar.shownText(), u"Joining 50%"_s);
        const QImage image = bar.grab().toImage();
        QCOMPARE(QColor(image.pixel(5, 3)), QColor(Qt::blue));    // the bar
        QCOMPARE(QColor(image.pixel(195, 3)), QColor(Qt::white)); // the empty part
        // The text reads on both parts: black on white, yellow on blue.
        auto shows = [&image](Qt::GlobalColor colour, int from, int to) {
            for (int x = from; x < to; ++x)
                for (int y = 0; y < image.height(); ++y)
                    if (QColor(image.pixel(x, y)) == QColor(colour))
                        return true;
            return false;
        };
        QVERIFY(shows(Qt::black, 101, 200) && shows(Qt::yellow, 0, 99));
    }

    void keyPaths()
    {
        QCOMPARE(BuildKeyPath(u"SOFTWARE"_s, u"Tarvo"_s, u"Settings"_s), u"SOFTWARE\\Tarvo\\Settings"_s);
        QCOMPARE(BuildKeyPath(QString(), u"*\\shell\\open2"_s, QString()), u"*\\shell\\open2"_s);
        QCOMPARE(BuildKeyPath(u"SOFTWARE"_s, u"A/B"_s, u"C"_s), u"SOFTWARE\\A\\B\\C"_s);
        QCOMPARE(BuildKeyPath(u"SOFTWARE"_s, u"\\Tarvo\\"_s, u"Settings"_s), u"SOFTWARE\\Tarvo\\Settings"_s);
    }

    void settingsStore()
    {
        QTemporaryDir dir;
        const Registry registry(dir.filePath(u"user/Registry.ini"_s));
        auto read = [&](const QString& name, RegistryRoot root = RegistryRoot::CurrentUser) {
            return registry.RegReadValue(u"Tarvo"_s, u"Settings"_s, name, u"d"_s, root, u"SOFTWARE"_s);
        };
        QCOMPARE(read(u"DeleteParts"_s), QVariant(u"d"_s));
        QVERIFY(registry.RegWriteValue(u"Tarvo"_s, u"Settings"_s, u"DeleteParts"_s, u"0"_s,
                                       RegistryRoot::CurrentUser, u"SOFTWARE"_s));
        QCOMPARE(read(u"DeleteParts"_s), QVariant(u"0"_s));
        // The same key under the other root is another key.
        QCOMPARE(read(u"DeleteParts"_s, RegistryRoot::ClassesRoot), QVariant(u"d"_s));

        const Registry::Key key{RegistryRoot::CurrentUser, u"SOFTWARE\\Tarvo\\Settings"_s};
        QCOMPARE(registry.RegSetValueByType(key, u"Count"_s, REG_DWORD, 5), 0);
        QCOMPARE(registry.RegSetValueByType(key, u"Empty"_s, REG_SZ, QString()), 0);
        // A text that looks like another kind stays text.
        QCOMPARE(registry.RegSetValueByType(key, u"Text"_s, REG_SZ, u"dword:00000001"_s), 0);
        QCOMPARE(QVariantList({read(u"Count"_s), read(u"Empty"_s), read(u"Text"_s)}),
                 QVariantList({5, u"d"_s, u"dword:00000001"_s}));
        // Binary data as an exported file holds it reads as hexadecimal pairs.
        QSettings(registry.filePath(), QSettings::IniFormat)
            .setValue(u"HKEY_CURRENT_USER/SOFTWARE/Tarvo/Settings/Blob"_s, u"hex:01,ab,ff"_s);
        QVariant blob;
        int type = 0;
        QCOMPARE(registry.RegQueryValueByType(key, u"Blob"_s, blob, type), 0);
        QCOMPARE(type, int(REG_BINARY));
        QCOMPARE(blob, QVariant(u"01 AB FF"_s));
        QCOMPARE(registry.RegQueryValueByType(key, u"Missing"_s, blob, type), 2);
    }

    void splitFileEntryStartsTheProgramWithTheFile()
    {
        test::UserFolders folders;
        QVERIFY(registerSplitFileVerb(u"/opt/My Tarvo/tarvo$1"_s));
        QCOMPARE(splitFileEntryPath(), folders.dataHome() + u"/applications/tarvo-split-file.desktop"_s);
        const QByteArray entry = test::readBytes(splitFileEntryPath());
        QVERIFY(entry.contains("Name=Split File\n"));
        QVERIFY(entry.contains("Exec=\"/opt/My Tarvo/tarvo\\\\$1\" %f\n"));
        QVERIFY(entry.contains("MimeType=application/octet-stream;\n"));
    }
};

QTEST_MAIN(MaintenanceRulesTest)
#include "MaintenanceRulesTest.moc"
