// A workstation that assigns addresses into a shared database file, for the test of two workstations at
// once: it proposes the next free address of one place and saves it, over and over, until it has saved
// the number asked for. Each saved address is printed on a line of its own; a save refused because the
// other workstation was quicker is proposed again.
//
// Usage: assign_workstation DATABASE COUNT NAME

#include "assign/AddressAssignment.h"
#include "core/DatabaseConnection.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

using namespace tarvo;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 4)
        return 64;
    const QString prefix = QStringLiteral("10.100.5.");
    const Octet4Range range{71, 240};

    DatabaseConnection connection;
    if (auto opened = connection.open(arguments.at(1)); !opened) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.error()));
        return 2;
    }
    IpRecordStore store(connection);
    const int count = arguments.at(2).toInt();
    int saved = 0;
    int refused = 0;
    while (saved < count) {
        // A moment between rounds, as between a user's clicks, lets the other workstation in.
        QThread::msleep(3);
        auto free = proposeNextFree(store, prefix, range, false);
        if (!free || free->rangeFull()) {
            std::fprintf(stderr, "%s\n", free ? "range full" : qPrintable(free.error()));
            return 3;
        }
        IpRecord record;
        record.IP_Address = prefix + QString::number(*free->IPOctet4);
        record.Name = QStringLiteral("PC05ITD") + free->SeqCode;
        record.Type = QStringLiteral("PC");
        record.InputBy = arguments.at(3);
        auto result = store.save(record);
        if (!result) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error()));
            return 2;
        }
        if (!result->saved()) {
            ++refused;
            continue;
        }
        ++saved;
        std::printf("%s\n", qPrintable(record.IP_Address));
        std::fflush(stdout);
    }
    std::fprintf(stderr, "refused %d\n", refused);
    return 0;
}
