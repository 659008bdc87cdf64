#include "shell/MendoProcess.h"
#include "shell/StartupTrace.h"
#include "shell/X11Session.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    mendo::startupMark("main");
    const QString unavailable = mendo::X11Session::unavailableReason();
    if (!unavailable.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(unavailable));
        return 1;
    }
    mendo::X11Session::useX11Platform();
    mendo::startupMark("display checked");
    QApplication app(argc, argv);
    mendo::startupMark("Qt application");
    return mendo::runMendoProcess(app);
}
