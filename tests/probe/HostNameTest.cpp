#include "FakeProbes.h"
#include "ScriptedMessenger.h"
#include "probe/HostNameLookup.h"
#include "probe/ProbeState.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <optional>

using namespace tarvo;
using Outcome = HostLookupResult::Outcome;

Q_DECLARE_METATYPE(tarvo::HostLookupResult::Outcome)

namespace {

// The first name /etc/hosts gives 127.0.0.1, or an empty text: only then may the real lookup run in a
// test (otherwise the system would ask a name server over the network).
QString loopbackNameInHostsFile()
{
    QFile hosts(QStringLiteral("/etc/hosts"));
    if (!hosts.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    while (!hosts.atEnd()) {
        const QString line = QString::fromLocal8Bit(hosts.readLine()).section(QLatin1Char('#'), 0, 0);
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (fields.size() >= 2 && fields.at(0) == QLatin1String("127.0.0.1"))
            return fields.at(1);
    }
    return {};
}

} // namespace

class HostNameTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Run by hand as well as by CTest, the tests reach no address outside loopback.
    void initTestCase() { qputenv("TARVO_LOOPBACK_ONLY", "1"); }
    void lookUpWithoutNameService_data();
    void lookUpWithoutNameService();
    void loopbackNameFromTheHostsFile();
    void hostsFileEntries_data();
    void hostsFileEntries();
    void hostNotFoundFlagAndMessages_data();
    void hostNotFoundFlagAndMessages();
    void lookupRunsOffTheUserInterfaceThread();
    void contextEndedDuringTheMessage();
};

void HostNameTest::lookUpWithoutNameService_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<Outcome>("outcome");

    QTest::newRow("all ones") << "255.255.255.255" << Outcome::InvalidAddress;
    QTest::newRow("words") << "not an address" << Outcome::InvalidAddress;
    QTest::newRow("empty") << "" << Outcome::InvalidAddress;
    QTest::newRow("octet above 255") << "10.1.2.300" << Outcome::InvalidAddress;
    // The guard keeps the lookup from asking a name server about an address outside loopback.
    QTest::newRow("outside loopback") << "10.1.2.3" << Outcome::NotFound;
    QTest::newRow("short form outside loopback") << "10.258" << Outcome::NotFound;
    // A loopback address that the hosts file does not name would be asked of a name server.
    QTest::newRow("loopback address without a hosts entry") << "127.77.0.1" << Outcome::NotFound;
}

void HostNameTest::lookUpWithoutNameService()
{
    QFETCH(QString, address);
    QFETCH(Outcome, outcome);
    QVERIFY(SocketsInitialize());
    const HostLookupResult result = lookUpHostName(address);
    QCOMPARE(result.outcome, outcome);
    QVERIFY(result.hostName.isEmpty());
}

void HostNameTest::loopbackNameFromTheHostsFile()
{
    const QString expected = loopbackNameInHostsFile();
    if (expected.isEmpty())
        QSKIP("/etc/hosts names no host for 127.0.0.1; the lookup would ask a name server");
    const HostLookupResult result = lookUpHostName(QStringLiteral("127.0.0.1"));
    QCOMPARE(result.outcome, Outcome::Found);
    QCOMPARE(result.hostName, expected);
}

void HostNameTest::hostsFileEntries_data()
{
    QTest::addColumn<QByteArray>("hosts");
    QTest::addColumn<bool>("named");

    QTest::newRow("entry") << QByteArray("127.0.0.1 localhost\n127.0.1.1 pc.example pc\n") << true;
    QTest::newRow("tabs and blanks") << QByteArray("  127.0.1.1\t\tpc  # the workstation\n") << true;
    QTest::newRow("commented out") << QByteArray("# 127.0.1.1 pc\n127.0.0.1 localhost\n") << false;
    QTest::newRow("address without a name") << QByteArray("127.0.1.1\n") << false;
    QTest::newRow("another address") << QByteArray("127.0.1.10 pc\n127.0.1.11 pc2") << false;
    QTest::newRow("name before the comment") << QByteArray("127.0.1.1 pc#old name") << true;
    QTest::newRow("IPv6 lines") << QByteArray("::1 localhost ip6-localhost\n") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void HostNameTest::hostsFileEntries()
{
    QFETCH(QByteArray, hosts);
    QFETCH(bool, named);
    QCOMPARE(hostsFileNames(hosts, 0x7F000101), named); // 127.0.1.1
}

void HostNameTest::hostNotFoundFlagAndMessages_data()
{
    QTest::addColumn<bool>("flagBefore");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("flagAfter");
    QTest::addColumn<QString>("message");

    QTest::newRow("found after not found") << true << Outcome::Found << "PC01"
                                           << "PC01" << false << "";
    QTest::newRow("found, empty name") << true << Outcome::Found << ""
                                       << "" << false << "";
    QTest::newRow("not found") << false << Outcome::NotFound << ""
                               << "" << true << "Host Name not Found.";
    QTest::newRow("invalid address") << true << Outcome::InvalidAddress << ""
                                     << "" << false << "String passed is an invalid IP.";
    QTest::newRow("sockets failed keep the flag") << true << Outcome::SocketsFailed << ""
                                                  << "" << true << "Sockets failed to initialize.";
    QTest::newRow("sockets failed keep a clear flag") << false << Outcome::SocketsFailed << ""
                                                      << "" << false << "Sockets failed to initialize.";
}

void HostNameTest::hostNotFoundFlagAndMessages()
{
    QFETCH(bool, flagBefore);
    QFETCH(Outcome, outcome);
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QFETCH(bool, flagAfter);
    QFETCH(QString, message);

    // Through the whole asynchronous path, as the windows use it.
    test::FakeHostResolver resolver;
    if (outcome == Outcome::Found)
        resolver.answers(QStringLiteral("10.1.2.3"), name);
    else
        resolver.fails(QStringLiteral("10.1.2.3"), outcome);
    test::ScriptedMessenger messenger;
    ProbeState state;
    state.HostNotFound = flagBefore;
    QWidget window;
    std::optional<QString> result;
    GetHostNameFromIP(resolver, state, messenger, &window, QStringLiteral("10.1.2.3"),
                      [&](const QString& hostName) { result = hostName; });
    QVERIFY(!result.has_value());
    QTRY_VERIFY(result.has_value());

    QCOMPARE(*result, shown);
    QCOMPARE(state.HostNotFound, flagAfter);
    if (message.isEmpty()) {
        QVERIFY(messenger.isEmpty());
    } else {
        QCOMPARE(messenger.count(), 1);
        QCOMPARE(messenger.last().text, message);
        QCOMPARE(messenger.last().icon, MessageIcon::None);
        QCOMPARE(messenger.last().buttons, MessageButtons::Ok);
        QVERIFY(messenger.last().title.isEmpty());
    }
}

void HostNameTest::lookupRunsOffTheUserInterfaceThread()
{
    SystemHostResolver resolver;
    std::optional<HostLookupResult> result;
    QObject context;
    resolver.lookUp(QStringLiteral("255.255.255.255"), &context, [&](const HostLookupResult& r) {
        QCOMPARE(QThread::currentThread(), context.thread());
        result = r;
    });
    QVERIFY(!result.has_value());
    QTRY_VERIFY(result.has_value());
    QCOMPARE(result->outcome, Outcome::InvalidAddress);

    // A context that is gone gets nothing.
    bool called = false;
    auto* gone = new QObject;
    resolver.lookUp(QStringLiteral("10.1.2.3"), gone, [&](const HostLookupResult&) { called = true; });
    delete gone;
    QThreadPool::globalInstance()->waitForDone(10000);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QVERIFY(!called);
}

void HostNameTest::contextEndedDuringTheMessage()
{
    // The window's lookup ends while "Host Name not Found." is shown: its continuation does not run.
    test::FakeHostResolver resolver;
    test::ScriptedMessenger messenger;
    ProbeState state;
    QWidget window;
    auto* context = new QObject;
    messenger.onMessage([&](const Message&) { delete context; });
    bool called = false;
    GetHostNameFromIP(
        resolver, state, messenger, &window, QStringLiteral("10.1.2.3"),
        [&](const QString&) { called = true; }, context);
    QTRY_COMPARE(messenger.count(), 1);
    QCoreApplication::processEvents();
    QVERIFY(!called);
    QVERIFY(state.HostNotFound);
}

QTEST_MAIN(HostNameTest)
#include "HostNameTest.moc"
