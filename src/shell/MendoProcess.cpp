#include "shell/MendoProcess.h"

#include "shell/MendoAppDelegate.h"
#include "shell/MendoNativeApp.h"
#include "shell/RealPlatform.h"
#include "shell/SingleInstance.h"
#include "shell/StartupTrace.h"
#include "shell/TerminationSignals.h"
#include "platform/UserDefaults.h"
#include "platform/x11/OwnApplicationIds.h"
#include "base/Clock.h"
#include "base/SystemLog.h"
#include "clipboard/ClipboardHistoryService.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace mendo {

int runMendoProcess(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("MendoAI"));
    QApplication::setOrganizationName(QStringLiteral("MendoAI"));
    QApplication::setApplicationVersion(QStringLiteral(MENDO_VERSION));
    // The id of its installed desktop entry, through which the desktop finds
    // MendoAI's name and icon.
    QApplication::setDesktopFileName(ownApplicationIds().first());
    // The delegate decides whether closing the last window ends MendoAI.
    QApplication::setQuitOnLastWindowClosed(false);

    // Settled before anything grabs hotkeys or the clipboard.
    SingleInstance instance(SingleInstance::defaultDirectory());
    switch (instance.claim()) {
    case SingleInstance::Claim::alreadyRunning: {
        RealClock clock;
        const bool sent = QCoro::waitFor(instance.notifyRunningInstance(clock));
        if (!sent)
            std::fputs("MendoAI is already running but does not answer.\n", stderr);
        return sent ? 0 : 1;
    }
    case SingleInstance::Claim::unavailable:
        SyslogSystemLog().write(QStringLiteral("runs without the single-instance guard: ") + instance.errorString());
        break;
    case SingleInstance::Claim::primary:
        break;
    }

    startupMark("single instance");
    RealPlatform desktop;
    startupMark("desktop seams");
    MendoNativeApp::Factory factory;
    MendoNativeApp mendo(desktop.platform(), factory);
    startupMark("application objects");

    QObject::connect(&instance, &SingleInstance::reopenRequested, &mendo,
        [&mendo] { mendo.delegate().applicationShouldHandleReopen(true); });
    // Killing MendoAI ends it like quitting it. The settings and the
    // clipboard history go to disk first, whatever the rest of the ending does.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &mendo, [&mendo, &desktop] {
        mendo.clipboardHistory().store().flush();
        desktop.platform().defaults->flush();
        mendo.delegate().terminate();
    });

    mendo.start();
    startupMark("started");
    QTimer::singleShot(0, [] { startupMark("event loop"); });
    return app.exec();
}

}  // namespace mendo
