// Prepares a Tarvo program folder: creates the delivered database "Tarvodb.mdb" and "Tarvo.ini" in it
// when they are missing. Existing files are never changed.
//
//   tarvo-setup <program folder>

#include "core/AppState.h"
#include "core/DeliveredDatabase.h"
#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        err << "usage: tarvo-setup <program folder>\n";
        return 2;
    }
    const QString folder = QDir(args.at(1)).absolutePath();
    if (!QDir().mkpath(folder)) {
        err << "Cannot create the folder " << folder << "\n";
        return 1;
    }

    const QString database = tarvo::joinPath(folder, tarvo::DatabaseFileName);
    if (!QFileInfo::exists(database)) {
        if (auto created = tarvo::createDeliveredDatabase(database); !created) {
            err << created.error() << "\n";
            return 1;
        }
        out << "Created " << database << "\n";
    }

    const QString ini = tarvo::joinPath(folder, tarvo::IniFileName);
    if (!QFileInfo::exists(ini)) {
        QSaveFile file(ini);
        const QByteArray text = tarvo::deliveredIniText().toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
            err << "Cannot write " << ini << ": " << file.errorString() << "\n";
            return 1;
        }
        out << "Created " << ini << "\n";
    }
    return 0;
}
