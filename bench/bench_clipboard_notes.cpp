// What a change of the notes costs with 20 tabs holding 1000 notes of about
// 1 KB: the whole file re-encoded, the backup made and the atomic write
// synced; and reading them when the clipboard window first shows.
#include "clipboard/ClipboardNotesService.h"

#include "fakes/FakeClock.h"
#include "fakes/MemoryUserDefaults.h"

#include "QtBenchmarkMain.h"
#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Setup {
    QTemporaryDir dir;
    mendo::MemoryUserDefaults defaults;
    mendo::FakeClock clock;
    QString folder = dir.filePath(QStringLiteral("MendoAI"));
    QString firstTab;

    Setup()
    {
        mendo::ClipboardNotesService notes(folder, defaults, clock);
        QList<mendo::ClipboardNoteTab> tabs;
        for (int t = 0; t < 20; ++t) {
            mendo::ClipboardNoteTab tab { QStringLiteral("tab %1").arg(t), QStringLiteral("Tab %1").arg(t), {},
                clock.wallNow(), clock.wallNow() };
            for (int n = 0; n < 50; ++n) {
                QString text = QStringLiteral("%1/%2 ").arg(t).arg(n);
                while (text.size() < 1000)
                    text += QStringLiteral("A note to paste again, заметка \"в кавычках\" 📌\n");
                tab.notes.append(
                    { QStringLiteral("note %1-%2").arg(t).arg(n), text, clock.wallNow(), clock.wallNow() });
            }
            tabs.append(tab);
        }
        QDir().mkpath(folder);
        QFile file(folder + QLatin1Char('/') + mendo::ClipboardNotesService::fileName);
        file.open(QIODevice::WriteOnly);
        file.write(mendo::ClipboardNotesService::encode(tabs));
        firstTab = tabs.first().id;
    }
};

void BM_SaveAfterAChange(benchmark::State& state)
{
    Setup setup;
    mendo::ClipboardNotesService notes(setup.folder, setup.defaults, setup.clock);
    if (notes.tabs().size() != 20)
        state.SkipWithError("the notes did not load");
    int n = 0;
    for (auto _ : state)
        notes.renameTab(setup.firstTab, QStringLiteral("Renamed %1").arg(n++));
}

void BM_LoadOnFirstUse(benchmark::State& state)
{
    Setup setup;
    for (auto _ : state) {
        mendo::ClipboardNotesService notes(setup.folder, setup.defaults, setup.clock);
        benchmark::DoNotOptimize(notes.tabs().size());
    }
}

}  // namespace

BENCHMARK(BM_SaveAfterAChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOnFirstUse)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QCoreApplication>(argc, argv);
}
