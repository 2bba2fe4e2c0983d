#include "app/Program.h"
#include "core/ProductArt.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvo"));
    // Every window, the start window and the dialogs included, carries the program's icon.
    QApplication::setWindowIcon(tarvo::programIcon());
    tarvo::app::Program program(QApplication::arguments());
    return program.run();
}
