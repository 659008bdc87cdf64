// The main thread's share of recording a large copy over the real X11
// CLIPBOARD: the bounded read straight from the owner (xclip, INCR transfers
// included), then the trim, the count and the list update, with the history
// file written by its worker thread. Starting xclip and waiting until it owns
// the clipboard is not measured. Needs a display:
// scripts/with-session.sh build/bench/bench_clipboard_history_x11
#include "app/AppStateRig.h"
#include "clipboard/ClipboardHistoryService.h"
#include "fakes/MemoryUserDefaults.h"
#include "platform/x11/X11Pasteboard.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <chrono>

#include "QtBenchmarkMain.h"

#include <X11/Xlib.h>

using namespace mendo;

namespace {

QByteArray textOf(qsizetype size, int n)
{
    const QByteArray line = QStringLiteral("Съешь же ещё этих мягких булок, and the quick brown fox 🦊.\n").toUtf8();
    QByteArray text = QByteArray::number(n) + ' ';
    while (text.size() < size)
        text += line;
    text.truncate(size);
    return text;
}

void recordOverX11(benchmark::State& state, qsizetype size)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("contents"));
    x11::X11Connection connection;
    X11Pasteboard pasteboard(connection);
    AppStateRig app;
    MemoryUserDefaults defaults;
    ClipboardHistoryService history(app.clock, pasteboard, defaults, dir.filePath(QStringLiteral("MendoAI")));
    Display* display = XOpenDisplay(nullptr);
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    std::chrono::duration<double, std::milli> readTime {};
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            QFile out(file);
            const QByteArray text = textOf(size, n++);
            if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size()) {
                state.SkipWithError("cannot write the contents");
                return;
            }
        }
        const Window before = XGetSelectionOwner(display, clipboard);
        if (QProcess::execute(QStringLiteral("xclip"), { "-selection", "clipboard", "-i", file }) != 0) {
            state.SkipWithError("xclip failed");
            return;
        }
        QDeadlineTimer deadline(5000);
        while (XGetSelectionOwner(display, clipboard) == before && !deadline.hasExpired())
            QTest::qWait(1);
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        const PasteboardTextReading reading = pasteboard.readText({});
        readTime += std::chrono::steady_clock::now() - start;
        if (reading.outcome != PasteboardTextReading::Outcome::read || !reading.text) {
            state.SkipWithError("the copy could not be read");
            return;
        }
        history.record(*reading.text);
    }
    XCloseDisplay(display);
    if (history.items().isEmpty() || history.items().first().text.size() < size / 2)
        state.SkipWithError("the copy was not recorded");
    state.counters["read_ms"] = readTime.count() / double(state.iterations());
}

void BM_RecordOneMegabyteOverX11(benchmark::State& state)
{
    recordOverX11(state, 1024 * 1024);
}
void BM_RecordTenMegabytesOverX11(benchmark::State& state)
{
    recordOverX11(state, 10 * 1024 * 1024);
}

}  // namespace

BENCHMARK(BM_RecordOneMegabyteOverX11)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RecordTenMegabytesOverX11)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QGuiApplication>(argc, argv, "bench_clipboard_history_x11");
}
