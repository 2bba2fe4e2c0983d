#include "app/Program.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvo"));
    tarvo::app::Program program(QApplication::arguments());
    return program.run();
}
