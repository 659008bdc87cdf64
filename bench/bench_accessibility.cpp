// Reading the selected text of the focused field through AT-SPI, in a Qt
// application with about 2000 accessible elements (rows of labels laid out
// before the field). Needs a display:
//   scripts/with-session.sh build/bench/bench_accessibility
//
// BM_SelectedTextOfFocusedField: the usual case, the field announced its
// focus. BM_SelectedTextWithoutFocusEvent: the field took the focus before
// MendoAI listened, so the focused element is searched for; Qt offers no
// Collection search, so this is a walk over the whole window.
#include "base/Clock.h"
#include "engine/AccessibilityTextReader.h"
#include "engine/FocusService.h"
#include "fakes/FakeWorkspace.h"
#include "platform/atspi/AtspiAccessibility.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <benchmark/benchmark.h>
#include "QtBenchmarkMain.h"

using namespace mendo;

namespace {

// The target with its last word selected, ended when the bench is done.
class Target {
public:
    explicit Target(int labels)
    {
        m_process.start(QStringLiteral(MENDO_TARGET_APP),
            { QStringLiteral("--text"), QStringLiteral("hello world"), QStringLiteral("--labels"),
                QString::number(labels) });
    }
    ~Target()
    {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    qint32 pid() const { return qint32(m_process.processId()); }

    // Brings the window to the front and selects the last word; true once
    // the reader sees the selection.
    bool prepare(AccessibilityTextReader& reader)
    {
        if (!m_process.waitForReadyRead(15000))
            return false;
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            QProcess::execute(QStringLiteral("xdotool"),
                { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                    QString::number(pid()), QStringLiteral("windowactivate"), QStringLiteral("--sync") });
            QProcess::execute(QStringLiteral("xdotool"),
                { QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("End"),
                    QStringLiteral("ctrl+shift+Left") });
            QTest::qWait(200);
            if (reader.selectedTextForLayout() == QLatin1String("world"))
                return true;
        }
        return false;
    }

private:
    QProcess m_process;
};

struct Reading {
    explicit Reading(Accessibility& ax, qint32 pid)
        : reader(ax, workspace, focus)
    {
        const RunningApplication application { pid, QStringLiteral("MendoTarget"), 0 };
        workspace.applications = { application };
        workspace.bringToFront(application);
    }
    FakeWorkspace workspace;
    FocusService focus { workspace };
    AccessibilityTextReader reader;
};

void BM_SelectedTextOfFocusedField(benchmark::State& state)
{
    RealClock clock;
    AtspiAccessibility ax(clock);
    Target target(int(state.range(0)));
    Reading reading(ax, target.pid());
    if (!target.prepare(reading.reader)) {
        state.SkipWithError("no selection could be read from the target");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(reading.reader.selectedTextForLayout());
}
BENCHMARK(BM_SelectedTextOfFocusedField)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_SelectedTextWithoutFocusEvent(benchmark::State& state)
{
    RealClock clock;
    Target target(int(state.range(0)));
    {
        AtspiAccessibility ax(clock);
        Reading reading(ax, target.pid());
        if (!target.prepare(reading.reader)) {
            state.SkipWithError("no selection could be read from the target");
            return;
        }
    }
    for (auto _ : state) {
        // A new connection has seen no focus event.
        state.PauseTiming();
        AtspiAccessibility ax(clock);
        Reading reading(ax, target.pid());
        state.ResumeTiming();
        benchmark::DoNotOptimize(reading.reader.selectedTextForLayout());
    }
}
BENCHMARK(BM_SelectedTextWithoutFocusEvent)->Arg(2000)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QCoreApplication>(argc, argv);
}
