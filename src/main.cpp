#include "shell/MendoProcess.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return mendo::runMendoProcess(app);
}
