// What the user feels of the real mendo under Xvfb, against a mock service
// that answers at once:
//  - start-up: from launching mendo until it holds its hotkeys, median of 10
//    starts, with the time of each step as mendo marks it
//    (MENDO_STARTUP_TRACE), beside a minimal Qt Widgets program that shows
//    one window, started as often in the same run, and the settings window's
//    first showing after it;
//  - the action road: from pressing the professional style's hotkey until the
//    Qt field shows the answer, less the standard timing's fixed pauses. The
//    keys go to the X server through XTest from this process, as a keyboard
//    sends them: launching a tool for them would add its own start-up;
//  - an idle mendo with every watcher on (started again for it): CPU time,
//    wake-ups of all its threads (context switches they gave up the CPU for)
//    and resident memory over 60 seconds. The display watchdog runs only
//    while a built-in output is off, which Xvfb has none of:
//    bench_display_watchdog measures its share on Xorg's dummy outputs.
// Run inside the test session: scripts/with-session.sh build/bench/bench_main_road
// (--only=startup or --only=idle runs that part alone).

#include "MendoFromOutside.h"
#include "ProcessUsage.h"
#include "e2e/MendoSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QMap>
#include <QProcess>

#include <cstdio>
#include <ctime>

#include <X11/keysym.h>

using namespace mendo;
using namespace mendo::e2e;
using namespace mendo::bench;

namespace {

constexpr int kRuns = 10;
// The standard timing's pauses on this road: the read's activation,
// select-all and copy pauses, the paste's activation and paste pauses.
constexpr qint64 kFixedPausesMs = 180 + 120 + 180 + 180 + 180;
// The idle mendo's layout rule: this layout whenever the target application
// (by its window class) is in front.
const QString kTargetClass = QStringLiteral("MendoIdleTarget");
const QString kRuleLayout = QStringLiteral("Russian");

qint64 monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// From launching the minimal Qt program until its main() begins and until
// its event loop runs, in ns.
QPair<qint64, qint64> minimalQtStart()
{
    QProcess program;
    const qint64 launch = monotonicNs();
    program.start(QStringLiteral(MINIMAL_QT_WINDOW), {});
    if (!program.waitForFinished(20000))
        return { -1, -1 };
    QPair<qint64, qint64> times { -1, -1 };
    for (const QByteArray& line : program.readAllStandardOutput().split('\n')) {
        if (line.startsWith("main "))
            times.first = line.mid(5).toLongLong() - launch;
        else if (line.startsWith("event loop "))
            times.second = line.mid(11).toLongLong() - launch;
    }
    return times;
}

// The action road, ten times; false when it could not be run.
bool runRoad(MendoSession& session)
{
    auto target = session.startInFront(QStringLiteral(MENDO_TARGET_APP), { QStringLiteral("--text"), QStringLiteral("teh text") });
    if (!target) {
        std::fprintf(stderr, "the target app never came to front\n");
        return false;
    }
    Display* keyboard = XOpenDisplay(nullptr);
    if (!keyboard) {
        std::fprintf(stderr, "no X display\n");
        return false;
    }
    QList<qint64> roads;
    for (int i = 0; i < kRuns; ++i) {
        const QString expected = QStringLiteral("Answer number %1.").arg(i);
        MendoSession::press(QStringLiteral("ctrl+a"));
        QElapsedTimer road;
        road.start();
        tapKeys(keyboard, { XK_Alt_L, XK_4 });
        QDeadlineTimer deadline(20000);
        while (target->reportedText() != expected && !deadline.hasExpired())
            QTest::qWait(1);
        if (deadline.hasExpired()) {
            std::fprintf(stderr, "run %d: the answer never arrived\n", i);
            return false;
        }
        roads.append(road.elapsed());
        // The restore of the user's clipboard ends the run.
        QTest::qWait(1800);
    }
    std::printf("action road, median of %d: %lld ms, of it %lld ms fixed pauses: overhead %lld ms\n", kRuns,
        median(roads), kFixedPausesMs, median(roads) - kFixedPausesMs);
    target.reset();
    XCloseDisplay(keyboard);
    return true;
}

// What the user can switch on that keeps watching while nothing happens:
// the clipboard history (recording on the server's owner-change notices),
// per-application layouts with a rule for the target application, and the
// automatic update checks. The surface-mode poll has no switch: it runs only
// where the transparency wishes can change, which they cannot on X11.
QJsonObject everyWatcherOn()
{
    const QJsonObject rule { { QStringLiteral("id"), QStringLiteral("0F7C3A52-5E1B-4C1D-9A57-3B2D8E6A41C0") },
        { QStringLiteral("bundleIdentifier"), kTargetClass }, { QStringLiteral("appName"), kTargetClass },
        { QStringLiteral("appPath"), QString() }, { QStringLiteral("layoutName"), kRuleLayout },
        { QStringLiteral("isEnabled"), true } };
    // Lists are kept as data holding compact JSON text.
    const QByteArray rules = QJsonDocument(QJsonArray { rule }).toJson(QJsonDocument::Compact);
    return { { QStringLiteral("mendo.clipboardHistory.enabled"), true },
        { QStringLiteral("mendo.appLayoutSwitching.enabled"), true },
        { QStringLiteral("mendo.appLayoutSwitching.rules"),
            QJsonObject { { QStringLiteral("$data"), QString::fromLatin1(rules.toBase64()) } } },
        { QStringLiteral("mendo.updates.automaticChecksEnabled"), true } };
}

// mendo started again with every watcher on and the rule's application in
// front, then a minute of nothing; false when it could not be run.
bool runIdle(MendoSession& session)
{
    if (!session.restartMendo(everyWatcherOn())) {
        std::fprintf(stderr, "%s\n", qPrintable(session.failure()));
        return false;
    }
    auto front = session.startInFront(QStringLiteral(MENDO_TARGET_APP), { QStringLiteral("--class"), kTargetClass });
    if (!front) {
        std::fprintf(stderr, "the target app never came to front\n");
        return false;
    }
    QDeadlineTimer ruleApplied(5000);
    while (MendoSession::currentLayoutName() != kRuleLayout && !ruleApplied.hasExpired())
        QTest::qWait(50);
    if (MendoSession::currentLayoutName() != kRuleLayout) {
        std::fprintf(stderr, "the layout rule never selected %s\n", qPrintable(kRuleLayout));
        return false;
    }
    // The rule's later selections (the last 0.8 s after the activation) and
    // the start's own deferred work are over.
    QTest::qWait(3000);
    std::printf("idle with the clipboard history, a layout rule for the application in front and automatic update "
                "checks on (no surface-mode poll on X11)\n");
    const auto before = bench::ProcessSample::of(session.mendoPid());
    QTest::qWait(60000);
    const auto idle = bench::ProcessUsage::between(before, bench::ProcessSample::of(session.mendoPid()), 60.0);
    std::printf("idle over 60 s: CPU %.2f %%, %.2f wake-ups a second (all threads), resident memory %lld MB at the end\n",
        idle.cpuPercent, idle.wakeUpsPerSecond, idle.residentKb / 1024);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString only = app.arguments().filter(QStringLiteral("--only=")).value(0).mid(7);

    QJsonArray answers;
    for (int i = 0; i < kRuns; ++i)
        answers.append(serviceAnswer(200, { { QStringLiteral("result"), QStringLiteral("Answer number %1.").arg(i) } }));
    MendoSession session({ .answers = answers, .serviceDown = false, .defaults = {}, .traceStartup = true });
    if (!session.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(session.failure()));
        return 1;
    }
    // Start-up, ten times each, mendo and the minimal program in turn.
    const int starts = only == QLatin1String("idle") ? 0 : kRuns;
    QList<qint64> minimal;
    QList<qint64> minimalMain;
    QMap<QString, QList<qint64>> steps;
    QStringList order;
    for (int i = 0; i < starts; ++i) {
        QTest::qWait(300);
        const auto [mainBegins, loopRuns] = minimalQtStart();
        minimalMain.append(mainBegins);
        minimal.append(loopRuns);
        QTest::qWait(300);
        if (!session.restartMendo()) {
            std::fprintf(stderr, "%s\n", qPrintable(session.failure()));
            return 1;
        }
        for (const auto& [step, ns] : session.startupSteps()) {
            if (!order.contains(step))
                order.append(step);
            steps[step].append(ns);
        }
    }
    if (starts > 0) {
        std::printf("start-up, median of %d, from the launch (ms):\n", kRuns);
        std::printf("  minimal Qt Widgets program with one window: main %.1f, event loop %.1f\n",
            median(minimalMain) / 1e6, median(minimal) / 1e6);
        for (const QString& step : order)
            std::printf("  mendo %s: %.1f\n", qPrintable(step), median(steps[step]) / 1e6);
        const qint64 hotkeys = median(steps.value(QStringLiteral("hotkeys held")));
        std::printf("start-up until the hotkeys are held: %.1f ms (minimal Qt program: %.1f ms)\n", hotkeys / 1e6,
            median(minimal) / 1e6);
        // Every settings page is in the binary; the window is made after the
        // hotkeys and, with no tray host in this session, shown at start.
        const qint64 shown = median(steps.value(QStringLiteral("settings window shown")));
        const qint64 drawn = median(steps.value(QStringLiteral("settings window drawn")));
        if (shown > 0 && drawn > 0)
            std::printf("settings window's first showing: made and shown %.1f ms after the hotkeys, first frame %.1f ms "
                        "later (%.1f ms from the launch)\n",
                (shown - hotkeys) / 1e6, (drawn - shown) / 1e6, drawn / 1e6);
    }
    std::fflush(stdout);
    if (only == QLatin1String("startup"))
        return 0;

    if (only != QLatin1String("idle") && !runRoad(session))
        return 1;

    // Idle: nothing happens for a minute, with every watcher on.
    if (!runIdle(session))
        return 1;
    return 0;
}
