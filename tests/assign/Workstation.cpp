// A workstation that assigns addresses into a shared database file, for the test of two workstations at
// once: it proposes the next free address of one place and saves it, over and over, until it has saved
// the number asked for. Each saved address is printed on a line of its own; a save refused because the
// other workstation was quicker is proposed again. With a program folder, every save appends its block
// to the assignment log there, as the assignment window does, and the blocks a killed run left pending
// are appended first, as at the program's start; the addresses are then taken from the prefix given
// (default 10.100.5.).
//
// Usage: assign_workstation DATABASE COUNT NAME [PROGRAMFOLDER [PREFIX]]

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
    if (arguments.size() < 4 || arguments.size() > 6)
        return 64;
    const QString folder = arguments.value(4);
    const QString prefix = arguments.value(5, QStringLiteral("10.100.5."));
    const Octet4Range range{71, 240};

    DatabaseConnection connection;
    if (auto opened = connection.open(arguments.at(1)); !opened) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.error()));
        return 2;
    }
    IpRecordStore store(connection);
    const PendingAssignLog log(connection, folder);
    if (!folder.isEmpty()) {
        if (auto appended = log.appendPending(); !appended) {
            std::fprintf(stderr, "%s\n", qPrintable(appended.error()));
            return 2;
        }
    }
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
        record.Name = QStringLiteral("PC%1ITD").arg(prefix.section(QLatin1Char('.'), 2, 2).toInt(), 2, 10,
                                                    QLatin1Char('0')) +
                      free->SeqCode;
        record.Type = QStringLiteral("PC");
        record.InputBy = arguments.at(3);
        SaveResult result;
        if (folder.isEmpty()) {
            auto stored = store.save(record);
            if (!stored) {
                std::fprintf(stderr, "%s\n", qPrintable(stored.error()));
                return 2;
            }
            result = *stored;
        } else {
            auto assigned = saveAssignment(store, record, arguments.at(3), QDateTime::currentDateTime(), log);
            if (!assigned || !assigned->logError.isEmpty()) {
                std::fprintf(stderr, "%s\n", qPrintable(assigned ? assigned->logError : assigned.error()));
                return 2;
            }
            result = assigned->result;
        }
        if (!result.saved()) {
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
