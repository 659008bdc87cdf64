#include "app/shell/SingleInstance.h"
#include "app/shell/TerminationSignals.h"
#include "base/Clock.h"
#include "base/SystemLog.h"
#include "platform/Platform.h"
#include "platform/SystemTransparency.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("MendoAI"));
    QApplication::setOrganizationName(QStringLiteral("MendoAI"));
    QApplication::setApplicationVersion(QStringLiteral(MENDO_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    mendo::RealClock clock;
    mendo::SyslogSystemLog log;

    // A second launch hands the running MendoAI a reopen and leaves.
    mendo::SingleInstance instance(mendo::SingleInstance::defaultDirectory());
    switch (instance.claim()) {
    case mendo::SingleInstance::Claim::alreadyRunning: {
        const bool sent = QCoro::waitFor(instance.notifyRunningInstance(clock));
        if (!sent)
            std::fputs("MendoAI is already running but does not answer.\n", stderr);
        return sent ? 0 : 1;
    }
    case mendo::SingleInstance::Claim::unavailable:
        log.write(QStringLiteral("runs without the single-instance guard: ") + instance.errorString());
        break;
    case mendo::SingleInstance::Claim::primary:
        break;
    }

    // Killing MendoAI ends it like quitting it.
    mendo::TerminationSignals termination;
    QObject::connect(&termination, &mendo::TerminationSignals::received, &app, [] { QCoreApplication::quit(); });

    mendo::UnsetSystemTransparency transparency;
    mendo::Platform platform{&clock, &log};
    platform.transparency = &transparency;
    (void)platform;

    return app.exec();
}
