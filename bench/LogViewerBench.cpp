// The assignment-log viewer on a log of 50 MB: the time to its first screen and the peak memory of the
// whole process. It runs in a process of its own, so that no other benchmark raises the peak.

#include "TestProgram.h"
#include "WidgetDriver.h"

#include "assign/AssignLog.h"
#include "core/AppState.h"
#include "records/IndexedTextFile.h"
#include "records/TextLinesView.h"
#include "records/frmAssignLog.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

using namespace tarvo;

constexpr qint64 LogBytes = 50 * 1024 * 1024;

// Blocks as the assignment window writes them, with and without a unit, one after another up to the
// given size. Written a block at a time: the log is never held whole.
void writeLog(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("%s", qPrintable(file.errorString()));
    QDateTime savedAt({2020, 1, 1}, {8, 0});
    for (int i = 0; file.size() < size; ++i) {
        IpRecord record;
        record.IP_Address =
            QStringLiteral("10.%1.%2.%3").arg(i / 65536 % 256).arg(i / 256 % 256).arg(i % 256);
        record.Name = QStringLiteral("PCKL%1").arg(i);
        record.Type = QStringLiteral("Workstation");
        record.Username = QStringLiteral("Nur Aisyah binti Abdullah %1").arg(i);
        if (i % 3 != 0) {
            record.UnitDivision = QStringLiteral("Information Technology Division");
            record.Floor = QStringLiteral("Level %1").arg(i % 40);
            record.Building = QStringLiteral("Menara Tarvo");
            record.Roadname = QStringLiteral("Jalan Sultan Ismail");
            record.Postcode = QStringLiteral("50250");
            record.City = QStringLiteral("Kuala Lumpur");
            record.State = QStringLiteral("Wilayah Persekutuan");
        }
        savedAt = savedAt.addSecs(97);
        if (file.write(AssignLogBlock(record, savedAt).toUtf8()) < 0)
            qFatal("%s", qPrintable(file.errorString()));
    }
}

double peakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// From the window's creation to its first screen painted; then, untimed, the whole index and the last
// screen after Ctrl+End.
void BM_LogViewerOpen(benchmark::State& state)
{
    test::quietOffscreenNotes();
    test::TestProgram program(test::TestProgram::Setup::IniOnly);
    writeLog(program.path(AssignLogFileName), LogBytes);
    double indexMs = 0;
    double lastScreenMs = 0;
    qint64 longestGapMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        frmAssignLog window(program.context);
        window.show();
        auto* view = window.findChild<TextLinesView*>(QStringLiteral("txtAssignLog"));
        const QPixmap firstScreen = window.grab();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (firstScreen.isNull() || view->visibleLines().isEmpty())
            state.SkipWithError("the first screen shows nothing");

        // While the rest is indexed, the event loop keeps turning.
        QElapsedTimer sinceBeat;
        sinceBeat.start();
        QTimer beat;
        QObject::connect(&beat, &QTimer::timeout,
                         [&] { longestGapMs = qMax(longestGapMs, sinceBeat.restart()); });
        beat.start(0);
        QEventLoop indexing;
        QObject::connect(view->source(), &IndexedTextFile::completed, &indexing, &QEventLoop::quit);
        QTimer::singleShot(60000, &indexing, &QEventLoop::quit);
        if (!view->source()->isComplete())
            indexing.exec();
        if (!view->source()->isComplete())
            state.SkipWithError("the log was not indexed to its end");
        indexMs = double(clock.nsecsElapsed()) / 1e6;
        QElapsedTimer end;
        end.start();
        QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
        view->viewport()->grab();
        lastScreenMs = double(end.nsecsElapsed()) / 1e6;
        // The last block's closing rule, then the empty line after its line end.
        const QStringList last = view->visibleLines();
        if (last.size() < 2 || last.last() != QString() ||
            last[last.size() - 2] != QString(53, QLatin1Char('-')))
            state.SkipWithError("the end of the log is not shown");
    }
    state.counters["whole_index_ms"] = indexMs;
    state.counters["last_screen_ms"] = lastScreenMs;
    state.counters["longest_event_gap_ms"] = double(longestGapMs);
    state.counters["peak_RSS_MB"] = peakRssMegabytes();
}

[[maybe_unused]] const auto* const registered =
    benchmark::RegisterBenchmark("BM_LogViewerOpen/50MB", BM_LogViewerOpen) -> Unit(benchmark::kMillisecond)
        -> UseManualTime() -> Iterations(5);

} // namespace
