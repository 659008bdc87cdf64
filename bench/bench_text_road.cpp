// One selection read and one paste through the X11 clipboard and XTest into
// a real Qt text field, with the quick timing preset. The preset's fixed
// delays (60 ms before the clipboard is given back) are taken off: what is
// left is our code, the X round trips and the target's own handling of the
// keys. Needs a display: scripts/with-session.sh build/bench/bench_text_road
#include "base/Clock.h"
#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "fakes/FakeFocusedTextAccess.h"
#include "fakes/RecordingClipboardSuppression.h"
#include "platform/x11/X11KeyboardEvents.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Workspace.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

#include <benchmark/benchmark.h>

#include <chrono>
#include "QtBenchmarkMain.h"

using namespace mendo;

namespace {

void BM_ReadAndPasteQuick(benchmark::State& state)
{
    RealClock clock;
    x11::X11Connection connection;
    X11Pasteboard pasteboard(connection);
    X11KeyboardEvents keyboard;
    ApplicationIdResolver resolver;
    X11Workspace workspace(connection, resolver);
    FocusService focus(workspace);
    RecordingClipboardSuppression history;
    FakeFocusedTextAccess focusedText;
    PasteboardService service(clock, pasteboard, keyboard, focus, history, focusedText);

    QProcess target;
    target.start(QStringLiteral(MENDO_TARGET_APP), {QStringLiteral("--text"), QStringLiteral("first text")});
    QDeadlineTimer deadline(10000);
    while (!(focus.rememberedProcessIdentifier() == qint32(target.processId())) && !deadline.hasExpired())
        QTest::qWait(10);
    if (deadline.hasExpired()) {
        state.SkipWithError("the target application did not come to the front");
        return;
    }

    const PasteboardTiming timing = PasteboardTiming::quick();
    const auto fixedDelays = std::chrono::milliseconds(timing.restoreDelay);
    int round = 0;
    for (auto _ : state) {
        const QString next = QStringLiteral("text number %1").arg(++round);
        const auto start = std::chrono::steady_clock::now();
        const QString read = QCoro::waitFor(service.readSelectedTextTransient(true, false, timing));
        QCoro::waitFor(service.pasteTransient(next, std::nullopt, timing));
        const auto elapsed = std::chrono::steady_clock::now() - start - fixedDelays;
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
        benchmark::DoNotOptimize(read);
        // Let the field take the text before the next round reads it.
        QTest::qWait(30);
    }
    target.terminate();
    target.waitForFinished(3000);
}
BENCHMARK(BM_ReadAndPasteQuick)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QApplication>(argc, argv, "bench_text_road");
}
