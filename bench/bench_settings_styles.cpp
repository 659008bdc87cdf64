// The Styles page with a full profile (the 17 built-in and 200 user styles):
// its first showing, made and drawn offscreen over fakes; and one keystroke
// in a prompt editor through the whole application object with a full
// clipboard history and the JSON file store: the style update, the settings
// save, the defaults-file write and the redraw.
#include "BenchSettings.h"
#include "QtBenchmarkMain.h"
#include "settings/SettingsRig.h"

#include "app/MendoAppState.h"
#include "base/Text.h"
#include "clipboard/ClipboardHistoryService.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeInputSources.h"
#include "fakes/FakeProcesses.h"
#include "fakes/FakeSystemTransparency.h"
#include "fakes/RecordingSystemLog.h"
#include "platform/JsonFileUserDefaults.h"
#include "settings/StyleCardList.h"
#include "settings/StylesSettingsView.h"
#include "shell/MendoNativeApp.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

using namespace mendo;

namespace {

RealClock realClock;

std::unique_ptr<SettingsRig> makeRig()
{
    return std::make_unique<SettingsRig>([](MendoSettings& s) {
        const MendoSettings full = bench::fullRecord();
        s.promptStyles = full.promptStyles;
        s.quickMenuActions = full.quickMenuActions;
        s.quickMenuOrder = full.quickMenuOrder;
    });
}

// The window is open on General; the Styles page is selected for the first
// time: made, laid out and drawn (goal: 200 ms).
void BM_StylesPageFirstShown(benchmark::State& bench)
{
    for (auto _ : bench) {
        bench.PauseTiming();
        auto rig = makeRig();
        MainSettingsView& view = rig->makeView();
        view.show();
        view.repaint();
        bench.ResumeTiming();
        rig->state->setSelectedSettingsPage(SettingsPage::styles);
        view.repaint();
        QCoreApplication::processEvents();
        bench.PauseTiming();
        rig.reset();
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_StylesPageFirstShown)->Unit(benchmark::kMillisecond)->Iterations(10);

// About 1 KB of mixed text, different for each n.
QString kilobyteText(int n)
{
    QString text = QStringLiteral("%1 ").arg(n);
    while (text.size() < 1000)
        text += QStringLiteral("Copied words, слова из буфера 📋 ");
    return text;
}

// MendoAI over fake desktop seams, with the real JSON defaults file holding
// the full profile and a history of 1000 entries of 1 KB.
struct WholeApp {
    QTemporaryDir dir;
    std::unique_ptr<JsonFileUserDefaults> defaults;
    RecordingSystemLog systemLog;
    FakePasteboard pasteboard;
    FakeKeyboardEvents keyboard;
    FakeWorkspace workspace;
    FakeWindowSystem windowSystem;
    FakeHotkeyRegistrar registrar;
    FakeLanguageDetector languages;
    FakeInputSources inputSources;
    FakeAccessibility accessibility;
    FakePermissions permissions;
    FakeInputMonitoring inputMonitoring;
    FakeProcesses processes;
    FakeGlobalInputMonitor globalInput;
    FakePanelDesktop panelDesktop;
    FakeSystemTransparency transparency;
    FakeUrlOpener urlOpener;
    FakeDisplays displays;
    MendoNativeApp::Factory factory;
    std::unique_ptr<MendoNativeApp> app;

    WholeApp()
    {
        defaults = std::make_unique<JsonFileUserDefaults>(dir.filePath(QStringLiteral("defaults.json")), realClock);
        MendoSettings settings = bench::fullRecord();
        settings.clipboardLimit = 1000;
        NativeSettingsStore(*defaults).save(settings);
        QList<ClipboardHistoryItem> items;
        for (int i = 0; i < 1000; ++i) {
            const QString text = kilobyteText(i);
            items.append({ QString::number(i), text, realClock.wallNow(), text::graphemeCount(text) });
        }
        defaults->set(ClipboardHistoryService::storageKey, ClipboardHistoryService::encode(items));
        defaults->flush();

        Platform p;
        p.clock = &realClock;
        p.log = &systemLog;
        p.defaults = defaults.get();
        p.pasteboard = &pasteboard;
        p.keyboard = &keyboard;
        p.workspace = &workspace;
        p.windowSystem = &windowSystem;
        p.hotkeyRegistrar = &registrar;
        p.languages = &languages;
        p.inputSources = &inputSources;
        p.accessibility = &accessibility;
        p.permissions = &permissions;
        p.inputMonitoring = &inputMonitoring;
        p.processes = &processes;
        p.transparency = &transparency;
        p.urlOpener = &urlOpener;
        p.globalInput = &globalInput;
        p.panelDesktop = &panelDesktop;
        p.displays = &displays;
        app = std::make_unique<MendoNativeApp>(p, factory);
        app->start();
        app->openMainWindow();
        QCoreApplication::processEvents();
    }
};

// One key typed at the end of a built-in style's prompt, the settings saved,
// the window redrawn (goal: 16 ms of main-thread time). Argument 0: the file
// write comes when the store's gathering timer fires, as in use; argument 1:
// the file is written (with its fsync) at every key, the worst case.
void BM_PromptKeystroke(benchmark::State& bench)
{
    WholeApp whole;
    if (whole.app->clipboardHistory().items().size() != 1000) {
        bench.SkipWithError("the clipboard history did not load");
        return;
    }
    whole.app->appState().setSelectedSettingsPage(SettingsPage::styles);
    QMainWindow* window = whole.app->mainWindow();
    auto* list = window ? window->findChild<StyleCardList*>() : nullptr;
    if (!list) {
        bench.SkipWithError("no Styles page");
        return;
    }
    StylePromptEditor* editor = list->card(QStringLiteral("polite"))->promptEditor();
    window->show();
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    window->repaint();
    int n = 0;
    for (auto _ : bench) {
        QTest::keyClick(editor, n++ % 2 ? Qt::Key_Backspace : Qt::Key_A);
        window->repaint();
        if (bench.range(0))
            whole.defaults->flush();
        else
            QCoreApplication::processEvents();
    }
    bench.counters["saved_prompt_chars"] = double(whole.app->appState().settings().promptStyles.at(3).prompt.size());
}
BENCHMARK(BM_PromptKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// After a paste of a megabyte into a prompt editor, the next key typed and
// drawn (the editor grows with its text).
void BM_KeystrokeAfterMegabytePaste(benchmark::State& bench)
{
    auto rig = makeRig();
    MainSettingsView& view = rig->makeView();
    view.show();
    rig->state->setSelectedSettingsPage(SettingsPage::aiReply);
    auto* list = view.currentPage()->findChild<StyleCardList*>();
    StylePromptEditor* editor = list->card(QStringLiteral("short"))->promptEditor();
    QString big;
    while (big.size() < (1 << 20))
        big += QStringLiteral("A line of pasted prompt text that goes on for a while, number %1.\n").arg(big.size());
    editor->setFocus();
    editor->selectAll();
    editor->insertPlainText(big);
    view.repaint();
    QCoreApplication::processEvents();
    int n = 0;
    for (auto _ : bench) {
        QTest::keyClick(editor, n++ % 2 ? Qt::Key_Backspace : Qt::Key_A);
        view.repaint();
    }
}
BENCHMARK(BM_KeystrokeAfterMegabytePaste)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarksInQt<QApplication>(argc, argv);
}
