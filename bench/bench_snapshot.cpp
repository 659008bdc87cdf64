// Saving and giving back the clipboard of another client, as every read and
// paste of the pasteboard service does: a 4000x3000 PNG and 1 MB of text,
// each offered by xclip. Starting xclip and waiting until it owns the
// clipboard is not measured. Needs a display:
// scripts/with-session.sh build/bench/bench_snapshot
#include "engine/PasteboardSnapshot.h"
#include "platform/x11/X11Pasteboard.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <chrono>

#include "QtBenchmarkMain.h"

#include <xcb/xcb.h>

#include <X11/Xlib.h>

using namespace mendo;

namespace {

// A photograph-like picture: smooth shading with some grain, so that PNG
// compresses it about as well as a real one.
QByteArray photoPng()
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator grain(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int(grain.bounded(8));
            line[x] = qRgb((x / 16 + noise) & 0xff, (y / 12 + noise) & 0xff, ((x + y) / 28 + noise) & 0xff);
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray megabyteOfText()
{
    const QByteArray line
        = QStringLiteral("Съешь же ещё этих мягких булок, and the quick brown fox 🦊.\n")
              .toUtf8();
    QByteArray text;
    while (text.size() < 1024 * 1024)
        text += line;
    return text;
}

void saveAndRestore(benchmark::State& state, const QByteArray& bytes, const char* type)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("contents"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
            state.SkipWithError("cannot write the contents");
            return;
        }
    }
    x11::X11Connection connection;
    X11Pasteboard pasteboard(connection);
    Display* display = XOpenDisplay(nullptr);
    const xcb_setup_t* setup
        = xcb_get_setup(qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection());
    const auto ownedByXclip = [&] {
        const Window owner = XGetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False));
        return owner != None && (owner & ~setup->resource_id_mask) != setup->resource_id_base;
    };
    qsizetype saved = 0;
    std::chrono::duration<double, std::milli> captureTime {};
    std::chrono::duration<double, std::milli> restoreTime {};
    for (auto _ : state) {
        state.PauseTiming();
        // xclip stays in the background until another client (we, at the
        // restore) takes the clipboard.
        if (QProcess::execute(QStringLiteral("xclip"), { "-selection", "clipboard", "-t", type, "-i", file }) != 0) {
            state.SkipWithError("xclip failed");
            return;
        }
        QDeadlineTimer deadline(5000);
        while (!ownedByXclip() && !deadline.hasExpired())
            QTest::qWait(1);
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        const PasteboardSnapshot snapshot = PasteboardSnapshot::capture(pasteboard);
        const auto captured = std::chrono::steady_clock::now();
        snapshot.restore(pasteboard);
        captureTime += captured - start;
        restoreTime += std::chrono::steady_clock::now() - captured;

        state.PauseTiming();
        saved = snapshot.items.isEmpty() || snapshot.items[0].values.isEmpty()
            ? 0
            : snapshot.items[0].values[0].data.size();
        QTest::qWait(1);
        state.ResumeTiming();
    }
    XCloseDisplay(display);
    if (saved != bytes.size())
        state.SkipWithError("the saved contents differ in size from the offered ones");
    state.counters["MB"] = double(bytes.size()) / (1024 * 1024);
    // The two halves, in ms per iteration.
    state.counters["save_ms"] = captureTime.count() / double(state.iterations());
    state.counters["restore_ms"] = restoreTime.count() / double(state.iterations());
}

void BM_SnapshotOfPng(benchmark::State& state)
{
    static const QByteArray png = photoPng();
    saveAndRestore(state, png, "image/png");
}

void BM_SnapshotOfText(benchmark::State& state)
{
    static const QByteArray text = megabyteOfText();
    saveAndRestore(state, text, "UTF8_STRING");
}

}  // namespace

BENCHMARK(BM_SnapshotOfPng)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_SnapshotOfText)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QGuiApplication>(argc, argv, "bench_snapshot");
}
