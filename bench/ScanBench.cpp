// Benchmark of the network scan: a block of 30 silent addresses, pinged with the real pinger inside a
// network namespace of the benchmark's own (the requests leave through one end of a veth pair towards a
// neighbour that does not exist, and the other end drops them), must take
// about one check of four 200 ms requests, 0.8 s, not 30 of them one after the other. Without
// permission for network namespaces it is skipped.

#include "TestNetworkNamespace.h"

#include "assign/AssignmentState.h"
#include "assign/ScanController.h"
#include "probe/IcmpPinger.h"

#include <QEventLoop>
#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

using namespace tarvo;

// Ends the event loop once the walk is over.
class EndOfWalk final : public ScanView
{
public:
    explicit EndOfWalk(QEventLoop& loop) : m_loop(loop) {}
    void showScreen(ScanScreen screen) override
    {
        idle = screen == ScanScreen::Idle;
        if (idle)
            m_loop.quit();
    }
    void showAddress(const QString&) override {}
    void showNote(const QString&) override {}
    void beep() override {}
    MessageAnswer ask(const Message& message) override
    {
        lastMessage = message.text;
        return MessageAnswer::Ok;
    }
    std::optional<int> chooseStartPoint(const Octet4Range&) override { return std::nullopt; }
    void deviceAnswered(int) override { answered = true; }

    bool idle = false;
    bool answered = false;
    QString lastMessage;

private:
    QEventLoop& m_loop;
};

void BM_ScanSilentBlock30(benchmark::State& state)
{
    test::TestNetworkNamespace ns;
    bool ready = ns.enter();
    for (const char* command :
         {"link add va type veth peer name vb", "addr add 198.18.5.1/24 dev va", "link set va up",
          "link set vb up", "neigh add 198.18.5.2 lladdr 02:00:00:00:00:02 dev va nud permanent",
          "route add 198.18.6.0/24 via 198.18.5.2"})
        ready = ready && ns.ip(QString::fromLatin1(command).split(QLatin1Char(' ')));
    if (!ready) {
        state.SkipWithError(qPrintable(QStringLiteral("skipped: ") + ns.error()));
        return;
    }
    IcmpPinger pinger;
    const ScanTarget silentBlock{QStringLiteral("198.18.6."), {1, 30}, {}};
    for (auto _ : state) {
        QEventLoop loop;
        EndOfWalk view(loop);
        ScanMembers members;
        ScanController scan(pinger, members, view);
        scan.run(silentBlock);
        if (!view.idle)
            loop.exec();
        if (view.answered || view.lastMessage != scanFinishedMessage().text) {
            state.SkipWithError(qPrintable(QStringLiteral("the block was not silent: ") + view.lastMessage));
            return;
        }
    }
    state.counters["limit_s"] = 0.8;
}
BENCHMARK(BM_ScanSilentBlock30)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
