// The display watchdog's share of an idle MendoAI. While the built-in output
// is switched off, BuiltInDisplayService checks every 2 s that another output
// still shows something, and mendo-display-guard waits beside it in a process
// of its own. Neither runs under Xvfb, which has no built-in output, so the
// real mendo never shows them idling: this program runs the service in
// process on Xorg's dummy outputs (DUMMY0 declared built in, DUMMY1 the
// external monitor on its right) and measures, over the same time each,
//  - this process with the panel on: the event loop with the service and its
//    X connection, no watchdog;
//  - this process with the panel off: the same plus the watchdog;
//  - the guard process meanwhile.
// Its CPU time and wake-ups (voluntary context switches of all threads, from
// getrusage) are exact to the microsecond and the switch.
// Run: scripts/with-xorg-dummy.sh build/bench/bench_display_watchdog [--seconds=60]

#include "ProcessUsage.h"
#include "base/Clock.h"
#include "desktop/BuiltInDisplayService.h"
#include "fakes/MemoryUserDefaults.h"
#include "fakes/RecordingSystemLog.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11DisplayGuard.h"
#include "platform/x11/X11Displays.h"
#include "platform/x11/X11Errors.h"
#include "support/Xrandr.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

using namespace mendo;
using mendo::testing::runXrandr;

namespace {

// CPU seconds and wake-ups of this whole process so far, its ended threads
// included.
struct OwnUsage {
    double cpuSeconds = 0;
    long wakeUps = 0;

    static OwnUsage now()
    {
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        const auto seconds = [](const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; };
        return { seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_nvcsw };
    }
};

// The event loop alone for `seconds`: QTest::qWait would wake every 10 ms.
void idle(int seconds)
{
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Share {
    double cpuPercent = 0;
    double wakeUpsPerSecond = 0;
};

Share ownShareOver(int seconds)
{
    const OwnUsage before = OwnUsage::now();
    idle(seconds);
    const OwnUsage after = OwnUsage::now();
    return { 100.0 * (after.cpuSeconds - before.cpuSeconds) / seconds,
        double(after.wakeUps - before.wakeUps) / seconds };
}

int fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    x11::installX11ErrorHandler();
    const QString secondsOption = app.arguments().filter(QStringLiteral("--seconds=")).value(0).mid(10);
    const int seconds = secondsOption.isEmpty() ? 60 : secondsOption.toInt();
    if (seconds <= 0)
        return fail("--seconds takes a whole number above 0");
    const QString display = qEnvironmentVariable("MENDO_XORG_DUMMY_DISPLAY");
    if (display.isEmpty()) {
        std::fprintf(stderr, "no Xorg with the dummy driver: %s\n",
            qPrintable(qEnvironmentVariable("MENDO_XORG_DUMMY_MISSING", QStringLiteral("run through with-xorg-dummy.sh"))));
        return 1;
    }

    // DUMMY1 starts disconnected and without modes; one added connects it,
    // once the server probes its outputs (a plain query).
    const std::optional<QString> outputs = runXrandr(display, { "--addmode", "DUMMY1", "1024x768" })
            && runXrandr(display, { "--output", "DUMMY0", "--mode", "1024x768", "--pos", "0x0", "--primary", "--output",
                "DUMMY1", "--mode", "1024x768", "--right-of", "DUMMY0" })
        ? runXrandr(display, {})
        : std::nullopt;
    if (!outputs)
        return fail("xrandr could not arrange DUMMY0 and DUMMY1");
    // Every output the server has, connected or not.
    const qsizetype outputCount = outputs->count(QStringLiteral(" connected")) + outputs->count(QStringLiteral(" disconnected"));

    x11::X11Connection connection(display.toUtf8());
    if (!connection.isOpen())
        return fail("no connection to the dummy server");
    RealClock clock;
    MemoryUserDefaults defaults;
    RecordingSystemLog log;
    X11Displays displays(connection, { QStringLiteral("DUMMY0") });
    BuiltInDisplayService service(displays, defaults, clock, log, [] { });
    X11DisplayGuard guard(QStringLiteral(MENDO_DISPLAY_GUARD), display.toUtf8());
    service.setGuard(&guard);
    // As at mendo's launch: the reconfiguration notices are watched.
    service.restoreAfterPreviousLaunch();
    const auto panel = service.activeBuiltInDisplay();
    if (!panel || service.otherActiveDisplays(*panel).size() != 1)
        return fail("DUMMY0 and DUMMY1 do not both show");
    idle(1);

    std::printf("%d outputs on the server, 2 of them connected; %d s each\n", int(outputCount), seconds);
    const Share on = ownShareOver(seconds);
    std::printf("panel on (no watchdog): CPU %.3f %%, %.2f wake-ups a second\n", on.cpuPercent, on.wakeUpsPerSecond);

    service.disableBuiltIn();
    if (!service.watchdogRunning() || guard.pid() <= 0) {
        std::fprintf(stderr, "%s\n", qPrintable(log.lines.join(u'\n')));
        return fail("the panel was not switched off with its watchdog and guard");
    }
    const pid_t guardPid = guard.pid();
    idle(1);
    const auto guardBefore = bench::ProcessSample::of(guardPid);
    const Share off = ownShareOver(seconds);
    const auto guardUsage = bench::ProcessUsage::between(guardBefore, bench::ProcessSample::of(guardPid), seconds);
    service.enableBuiltIn();
    if (service.disabledDisplayID())
        return fail("the panel did not come back on");

    const Share watchdog { off.cpuPercent - on.cpuPercent, off.wakeUpsPerSecond - on.wakeUpsPerSecond };
    std::printf("panel off (watchdog every %lld ms): CPU %.3f %%, %.2f wake-ups a second\n",
        qint64(BuiltInDisplayService::watchdogInterval.count()), off.cpuPercent, off.wakeUpsPerSecond);
    std::printf("guard process meanwhile: CPU %.3f %%, %.2f wake-ups a second, resident %lld kB\n",
        guardUsage.cpuPercent, guardUsage.wakeUpsPerSecond, guardUsage.residentKb);
    std::printf("the watchdog's share: CPU %.3f %%, %.2f wake-ups a second (%.1f a check); with the guard: CPU %.3f %%, "
                "%.2f wake-ups a second\n",
        watchdog.cpuPercent, watchdog.wakeUpsPerSecond,
        watchdog.wakeUpsPerSecond * BuiltInDisplayService::watchdogInterval.count() / 1000.0,
        watchdog.cpuPercent + guardUsage.cpuPercent, watchdog.wakeUpsPerSecond + guardUsage.wakeUpsPerSecond);
    return 0;
}
