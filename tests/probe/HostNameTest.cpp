#include "FakeProbes.h"
#include "ScriptedMessenger.h"
#include "probe/HostNameLookup.h"
#include "probe/ProbeState.h"

#include <QFile>
#include <QtTest>

#include <optional>

using namespace tarvo;
using Outcome = HostLookupResult::Outcome;

Q_DECLARE_METATYPE(tarvo::HostLookupResult::Outcome)

namespace {

// A lookup's outcome applied to the flag "host name not found": the flag before and after, the message.
struct Applied
{
    bool flagBefore;
    Outcome outcome;
    const char* name;
    bool flagAfter;
    const char* message;
};

} // namespace

class HostNameTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void systemLookup_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("all ones") << QStringLiteral("255.255.255.255") << Outcome::InvalidAddress;
        QTest::newRow("words") << QStringLiteral("not an address") << Outcome::InvalidAddress;
        QTest::newRow("empty") << QString() << Outcome::InvalidAddress;
        QTest::newRow("octet above 255") << QStringLiteral("10.1.2.300") << Outcome::InvalidAddress;
        // The guard keeps the lookup from asking a name server about an address outside loopback, or about a
        // loopback address that the hosts file does not name.
        QTest::newRow("outside loopback") << QStringLiteral("10.1.2.3") << Outcome::NotFound;
        QTest::newRow("short form outside loopback") << QStringLiteral("10.258") << Outcome::NotFound;
        QTest::newRow("loopback without a hosts entry") << QStringLiteral("127.77.0.1") << Outcome::NotFound;
        // The real lookup of a name runs in a test only for an address the hosts file names.
        QFile hosts(QStringLiteral("/etc/hosts"));
        if (hosts.open(QIODevice::ReadOnly) && hostsFileNames(hosts.readAll(), 0x7F000001))
            QTest::newRow("loopback named by the hosts file")
                << QStringLiteral("127.0.0.1") << Outcome::Found;
    }

    void systemLookup()
    {
        QFETCH(QString, address);
        QVERIFY(SocketsInitialize());
        // The system resolver looks up off the user interface thread and answers on the caller's thread.
        SystemHostResolver resolver;
        std::optional<HostLookupResult> result;
        QObject context;
        resolver.lookUp(address, &context, [&](const HostLookupResult& r) {
            QCOMPARE(QThread::currentThread(), context.thread());
            result = r;
        });
        QVERIFY(!result.has_value());
        QTRY_VERIFY(result.has_value());
        QTEST(result->outcome, "outcome");
        QCOMPARE(result->hostName.isEmpty(), result->outcome != Outcome::Found);
    }

    void hostsFileEntries()
    {
        // Whether the hosts file names 127.0.1.1.
        const std::pair<QByteArray, bool> files[] = {
            {"127.0.0.1 localhost\n127.0.1.1 pc.example pc\n", true},
            {"  127.0.1.1\t\tpc  # the workstation\n", true},
            {"127.0.1.1 pc#old name", true},
            {"# 127.0.1.1 pc\n127.0.0.1 localhost\n", false},
            {"127.0.1.1\n", false},
            {"127.0.1.1 # pc\n", false},
            {"127.0.1.10 pc\n127.0.1.11 pc2", false},
            {"::1 localhost ip6-localhost\n", false},
        };
        for (const auto& [hosts, named] : files)
            QCOMPARE(std::pair(hosts, hostsFileNames(hosts, 0x7F000101)), std::pair(hosts, named));
    }

    void flagAndMessages_data()
    {
        QTest::addColumn<Applied>("c");
        QTest::newRow("found after not found") << Applied{true, Outcome::Found, "PC01", false, ""};
        QTest::newRow("found, empty name") << Applied{true, Outcome::Found, "", false, ""};
        QTest::newRow("not found") << Applied{false, Outcome::NotFound, "", true, "Host Name not Found."};
        QTest::newRow("invalid address")
            << Applied{true, Outcome::InvalidAddress, "", false, "String passed is an invalid IP."};
        QTest::newRow("sockets failed keep the flag")
            << Applied{true, Outcome::SocketsFailed, "", true, "Sockets failed to initialize."};
        QTest::newRow("sockets failed keep a clear flag")
            << Applied{false, Outcome::SocketsFailed, "", false, "Sockets failed to initialize."};
    }

    void flagAndMessages()
    {
        QFETCH(Applied, c);
        test::ScriptedMessenger messenger;
        ProbeState state;
        state.HostNotFound = c.flagBefore;
        QCOMPARE(applyHostLookup({c.outcome, c.name}, state, messenger, nullptr), c.name);
        QCOMPARE(state.HostNotFound, c.flagAfter);
        QCOMPARE(messenger.texts(), *c.message ? QStringList{c.message} : QStringList{});
        if (*c.message)
            QCOMPARE(messenger.last().icon, MessageIcon::None);
    }

    void lookupEnds()
    {
        // A context that is gone gets nothing.
        SystemHostResolver resolver;
        bool called = false;
        auto* gone = new QObject;
        resolver.lookUp(QStringLiteral("10.1.2.3"), gone, [&](const HostLookupResult&) { called = true; });
        delete gone;
        QThreadPool::globalInstance()->waitForDone(10000);
        QCoreApplication::sendPostedEvents();
        QVERIFY(!called);

        // The window's lookup ends while "Host Name not Found." is shown: its continuation does not run.
        test::FakeHostResolver fake;
        test::ScriptedMessenger messenger;
        ProbeState state;
        QWidget window;
        auto* context = new QObject;
        messenger.onMessage([&](const Message&) { delete context; });
        GetHostNameFromIP(
            fake, state, messenger, &window, QStringLiteral("10.1.2.3"),
            [&](const QString&) { called = true; }, context);
        QTRY_COMPARE(messenger.count(), 1);
        QCoreApplication::processEvents();
        QVERIFY(!called);
        QVERIFY(state.HostNotFound);
    }
};

QTEST_MAIN(HostNameTest)
#include "HostNameTest.moc"
