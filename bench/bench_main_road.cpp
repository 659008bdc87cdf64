// What the user feels of the real mendo under Xvfb, against a mock service
// that answers at once:
//  - start-up: from launching mendo until it holds its hotkeys, median of 10
//    starts, with the time of each step as mendo marks it
//    (MENDO_STARTUP_TRACE), beside a minimal Qt Widgets program that shows
//    one window, started as often in the same run;
//  - the action road: from pressing the professional style's hotkey until the
//    Qt field shows the answer, less the standard timing's fixed pauses. The
//    keys go to the X server through XTest from this process, as a keyboard
//    sends them: launching a tool for them would add its own start-up;
//  - an idle mendo: CPU time, wake-ups of all its threads (context switches
//    they gave up the CPU for) and resident memory over 60 seconds.
// Run inside the test session: scripts/with-session.sh build/bench/bench_main_road
// (--only=startup or --only=idle runs that part alone).

#include "MendoFromOutside.h"
#include "e2e/MendoSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>

#include <cstdio>
#include <ctime>
#include <unistd.h>

#include <X11/keysym.h>

using namespace mendo;
using namespace mendo::e2e;
using namespace mendo::bench;

namespace {

constexpr int kRuns = 10;
// The standard timing's pauses on this road: the read's activation,
// select-all and copy pauses, the paste's activation and paste pauses.
constexpr qint64 kFixedPausesMs = 180 + 120 + 180 + 180 + 180;

// Voluntary context switches of each thread of `pid`, by thread id: each is a
// sleep the thread woke from.
QMap<QString, qint64> wakeUps(qint64 pid)
{
    QMap<QString, qint64> counts;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks.filePath(task + QStringLiteral("/status")));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& row : status.readAll().split('\n')) {
            if (row.startsWith("voluntary_ctxt_switches:"))
                counts.insert(task, row.mid(24).trimmed().toLongLong());
        }
    }
    return counts;
}

// The wake-ups between two counts, of the threads that lived through both
// (a thread ending in between would count negative) and of those born since.
qint64 wakeUpsBetween(const QMap<QString, qint64>& before, const QMap<QString, qint64>& after)
{
    qint64 total = 0;
    for (auto it = after.begin(); it != after.end(); ++it)
        total += it.value() - before.value(it.key(), 0);
    return total;
}

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
        std::printf("start-up until the hotkeys are held: %.1f ms (minimal Qt program: %.1f ms)\n",
            median(steps.value(QStringLiteral("hotkeys held"))) / 1e6, median(minimal) / 1e6);
    }
    std::fflush(stdout);
    if (only == QLatin1String("startup"))
        return 0;

    if (only != QLatin1String("idle") && !runRoad(session))
        return 1;

    // Idle: nothing happens for a minute.
    QTest::qWait(2000);
    const ProcessFigures before = processFigures(session.mendoPid());
    const QMap<QString, qint64> wakeUpsBefore = wakeUps(session.mendoPid());
    QTest::qWait(60000);
    const ProcessFigures after = processFigures(session.mendoPid());
    const QMap<QString, qint64> wakeUpsAfter = wakeUps(session.mendoPid());
    const double cpuPercent = 100.0 * double(after.cpuTicks - before.cpuTicks) / double(sysconf(_SC_CLK_TCK)) / 60.0;
    std::printf("idle over 60 s: CPU %.2f %%, %.2f wake-ups a second (all threads), resident memory %lld MB at the end\n",
        cpuPercent, double(wakeUpsBetween(wakeUpsBefore, wakeUpsAfter)) / 60.0, after.residentKb / 1024);
    return 0;
}
