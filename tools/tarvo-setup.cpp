// Prepares a Tarvo program folder: creates the delivered database "Tarvodb.mdb" and "Tarvo.ini" in it
// when they are missing, and puts the help file there. The database and Tarvo.ini are never changed
// once they exist; the help file is the program's own and follows the one beside this tool.
//
//   tarvo-setup <program folder>

#include "core/AppState.h"
#include "core/DeliveredDatabase.h"
#include "core/ProgramFolder.h"
#include "core/ReplacingFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

bool writeWhole(const QString& path, const QByteArray& bytes, QTextStream& err)
{
    tarvo::ReplacingFile file(path);
    if (!file.open() || !file.write(bytes) || !file.commit()) {
        err << "Cannot write " << path << ": " << file.errorString() << "\n";
        return false;
    }
    return true;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

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
        if (!writeWhole(ini, tarvo::deliveredIniText().toUtf8(), err))
            return 1;
        out << "Created " << ini << "\n";
    }

    // Help opens the help file of the program folder.
    const QString shipped = tarvo::joinPath(QCoreApplication::applicationDirPath(), tarvo::HelpFileName);
    const QString help = tarvo::joinPath(folder, tarvo::HelpFileName);
    if (QFileInfo::exists(shipped) &&
        QFileInfo(shipped).canonicalFilePath() != QFileInfo(help).canonicalFilePath()) {
        const QByteArray text = contentOf(shipped);
        if (!text.isEmpty() && contentOf(help) != text) {
            if (!writeWhole(help, text, err))
                return 1;
            out << "Copied " << help << "\n";
        }
    }
    return 0;
}
