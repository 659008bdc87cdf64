// What the user feels of the real mendo under Xvfb, against a mock service
// that answers at once:
//  - start-up: from launching mendo until it holds its hotkeys;
//  - the action road: from pressing the professional style's hotkey until the
//    Qt field shows the answer, less the standard timing's fixed pauses. The
//    keys go to the X server through XTest from this process, as a keyboard
//    sends them: launching a tool for them would add its own start-up;
//  - an idle mendo: CPU time and resident memory over 60 seconds.
// Run inside the test session: scripts/with-session.sh build/bench/bench_main_road

#include "e2e/MendoSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace mendo;
using namespace mendo::e2e;

namespace {

constexpr int kRuns = 10;
// The standard timing's pauses on this road: the read's activation,
// select-all and copy pauses, the paste's activation and paste pauses.
constexpr qint64 kFixedPausesMs = 180 + 120 + 180 + 180 + 180;

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values[values.size() / 2];
}

// User plus system CPU time of `pid` in clock ticks, and its resident set in kB.
QPair<qint64, qint64> cpuAndRss(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!stat.open(QIODevice::ReadOnly) || !status.open(QIODevice::ReadOnly))
        return { -1, -1 };
    // Fields after the command name, which is in parentheses.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const qint64 ticks = fields.value(11).toLongLong() + fields.value(12).toLongLong();
    qint64 rss = -1;
    for (const QByteArray& row : status.readAll().split('\n')) {
        if (row.startsWith("VmRSS:"))
            rss = row.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return { ticks, rss };
}

// Presses and releases Alt+4 at once.
void pressAltFour(Display* display)
{
    const KeyCode alt = XKeysymToKeycode(display, XK_Alt_L);
    const KeyCode four = XKeysymToKeycode(display, XK_4);
    XTestFakeKeyEvent(display, alt, True, CurrentTime);
    XTestFakeKeyEvent(display, four, True, CurrentTime);
    XTestFakeKeyEvent(display, four, False, CurrentTime);
    XTestFakeKeyEvent(display, alt, False, CurrentTime);
    XFlush(display);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);

    QJsonArray answers;
    for (int i = 0; i < kRuns; ++i)
        answers.append(serviceAnswer(200, { { QStringLiteral("result"), QStringLiteral("Answer number %1.").arg(i) } }));
    MendoSession session({ .answers = answers, .serviceDown = false, .defaults = {} });
    if (!session.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(session.failure()));
        return 1;
    }
    std::printf("start-up until the hotkeys are held: %lld ms\n", session.startupMs());

    auto target = session.startInFront(QStringLiteral(MENDO_TARGET_APP), { QStringLiteral("--text"), QStringLiteral("teh text") });
    if (!target) {
        std::fprintf(stderr, "the target app never came to front\n");
        return 1;
    }
    Display* keyboard = XOpenDisplay(nullptr);
    if (!keyboard) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    QList<qint64> roads;
    for (int i = 0; i < kRuns; ++i) {
        const QString expected = QStringLiteral("Answer number %1.").arg(i);
        MendoSession::press(QStringLiteral("ctrl+a"));
        QElapsedTimer road;
        road.start();
        pressAltFour(keyboard);
        QDeadlineTimer deadline(20000);
        while (target->reportedText() != expected && !deadline.hasExpired())
            QTest::qWait(1);
        if (deadline.hasExpired()) {
            std::fprintf(stderr, "run %d: the answer never arrived\n", i);
            return 1;
        }
        roads.append(road.elapsed());
        // The restore of the user's clipboard ends the run.
        QTest::qWait(1800);
    }
    std::printf("action road, median of %d: %lld ms, of it %lld ms fixed pauses: overhead %lld ms\n", kRuns,
        median(roads), kFixedPausesMs, median(roads) - kFixedPausesMs);
    target.reset();
    XCloseDisplay(keyboard);

    // Idle: nothing happens for a minute.
    QTest::qWait(2000);
    const auto before = cpuAndRss(session.mendoPid());
    QTest::qWait(60000);
    const auto after = cpuAndRss(session.mendoPid());
    const double cpuPercent = 100.0 * double(after.first - before.first) / double(sysconf(_SC_CLK_TCK)) / 60.0;
    std::printf("idle over 60 s: CPU %.2f %%, resident memory %lld MB at the end\n", cpuPercent, after.second / 1024);
    return 0;
}
