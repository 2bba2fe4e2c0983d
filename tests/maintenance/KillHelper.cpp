// Runs one maintenance operation over and over (a join once) until it is killed, for the tests that
// kill an operation midway. Prints "ready" once it has started.
//   maintenance_kill_helper backup <live database> <copy>
//   maintenance_kill_helper restore <live database> <copy> <other copy>
//   maintenance_kill_helper compact <live database>
//   maintenance_kill_helper join <file>

#include "core/AppState.h"
#include "core/DatabaseService.h"
#include "maintenance/PieceJobs.h"

#include <QCoreApplication>

#include <cstdio>

using namespace tarvo;

namespace {

void ready()
{
    std::puts("ready");
    std::fflush(stdout);
}

int fail(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return fail(QStringLiteral("usage: operation path ..."));
    const QString operation = args.at(1);
    if (operation == QLatin1String("join")) {
        ready();
        FileJoiner joiner(args.at(2), true);
        return runToEnd(joiner) ? 0 : fail(joiner.errorText());
    }
    ProgramState program;
    DatabaseService service(program);
    if (auto opened = service.switchTo(args.at(2)); !opened)
        return fail(opened.error());
    ready();
    for (int round = 0;; ++round) {
        DbOutcome done = DbOutcome::success();
        if (operation == QLatin1String("backup"))
            done = service.copyTo(args.at(3));
        else if (operation == QLatin1String("restore"))
            done = service.replaceWith(args.at(3 + round % 2));
        else if (operation == QLatin1String("compact"))
            done = service.compact();
        else
            return fail(QStringLiteral("unknown operation"));
        if (!done)
            return fail(done.error());
    }
}
