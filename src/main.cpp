#include "shell/MendoProcess.h"
#include "shell/X11Session.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    const QString unavailable = mendo::X11Session::unavailableReason();
    if (!unavailable.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(unavailable));
        return 1;
    }
    mendo::X11Session::useX11Platform();
    QApplication app(argc, argv);
    return mendo::runMendoProcess(app);
}
