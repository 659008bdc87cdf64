#pragma once

// The settings window over fakes: the application state of AppStateRig and
// every other object of the window's environment, real, over in-memory seams.
// The page tests of every settings page build on it.

#include "app/AppStateRig.h"
#include "clipboard/ClipboardHistoryService.h"
#include "clipboard/ClipboardNotesService.h"
#include "clipboard/ClipboardPanelController.h"
#include "desktop/BuiltInDisplayService.h"
#include "engine/AccountCredentials.h"
#include "fakes/FakeDisplays.h"
#include "fakes/FakeGlobalInputMonitor.h"
#include "fakes/FakeHotkeyRegistrar.h"
#include "fakes/FakeLanguageDetector.h"
#include "fakes/FakePanelDesktop.h"
#include "fakes/FakeUrlOpener.h"
#include "fakes/FakeWindowSystem.h"
#include "hotkeys/HotkeyService.h"
#include "hotkeys/RecordingHotkeyTargets.h"
#include "panels/AssistantPanelController.h"
#include "panels/QuickPanelController.h"
#include "platform/Platform.h"
#include "settings/MainSettingsView.h"
#include "shell/BuiltInDisplayBridge.h"
#include "tray/MenuBarController.h"
#include "tray/StatusHUDController.h"
#include "updates/AppUpdateClient.h"
#include "updates/AppUpdateManager.h"

#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <memory>

namespace mendo {

struct SettingsRig : AppStateRig {
    FakeKeyboardEvents keyboard;
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    FakeWindowSystem windowSystem;
    FakeHotkeyRegistrar registrar;
    FakeLanguageDetector languages;
    FakeAccessibility accessibilityTree;
    FakeGlobalInputMonitor globalInput;
    FakePanelDesktop panelDesktop;
    FakeUrlOpener urlOpener;
    FakeDisplays displays;
    QTemporaryDir notesFolder;
    QNetworkAccessManager network;
    DefaultsAccountCredentials credentials { defaults };
    Platform platform;

    FocusService focus { workspace };
    ClipboardHistoryService history { clock, pasteboard, defaults, &log };
    ClipboardNotesService notes { notesFolder.path(), defaults, clock, &log };
    PasteboardService pasteboardService { clock, pasteboard, keyboard, focus, history, focused };
    RecordingHotkeyTargets hotkeyTargets;
    HotkeyService hotkeys { registrar, focus, hotkeyTargets };
    BuiltInDisplayService builtInDisplay { displays, defaults, clock, log, [] {} };
    BuiltInDisplayBridge displayBridge { builtInDisplay };
    QuickPanelController quickPanel { { panelDesktop, globalInput, defaults, focus, focused } };
    StatusHUDController statusHUD { panelDesktop };
    MenuBarController menuBar { displayBridge };
    ClipboardPanelController clipboardPanel { { clock, defaults, panelDesktop, globalInput, focus, pasteboardService,
        pasteboard, history, notes } };
    AssistantPanelController assistantPanel { { clock, defaults, panelDesktop, pasteboard, focus, pasteboardService,
        QStringLiteral("http://127.0.0.1:9/ai"), credentials, network, languages, &log } };
    AppUpdateClient updateClient { QStringLiteral("http://127.0.0.1:9"), network, clock, &log };
    AppUpdateManager updateManager { updateClient, defaults, urlOpener, clock };
    std::unique_ptr<MainSettingsView> view;

    explicit SettingsRig(const std::function<void(MendoSettings&)>& prepare = {})
        : AppStateRig(prepare)
    {
        platform.clock = &clock;
        platform.log = &log;
        platform.defaults = &defaults;
        platform.pasteboard = &pasteboard;
        platform.keyboard = &keyboard;
        platform.workspace = &workspace;
        platform.windowSystem = &windowSystem;
        platform.hotkeyRegistrar = &registrar;
        platform.languages = &languages;
        platform.inputSources = &inputSources;
        platform.accessibility = &accessibilityTree;
        platform.permissions = &accessibility;
        platform.inputMonitoring = &inputMonitoring;
        platform.processes = &processes;
        platform.transparency = &transparency;
        platform.urlOpener = &urlOpener;
        platform.globalInput = &globalInput;
        platform.panelDesktop = &panelDesktop;
        platform.displays = &displays;
    }
    ~SettingsRig() { view.reset(); }

    MainSettingsEnvironment environment()
    {
        return { *state, quickPanel, statusHUD, hotkeys, menuBar, history, clipboardPanel, assistantPanel,
            updateManager, platform, selection, layouts, builtInDisplay };
    }

    // The window's content, made (once) and sized as the window opens.
    MainSettingsView& makeView(QSize size = { 900, 640 })
    {
        if (!view) {
            view = std::make_unique<MainSettingsView>(environment());
            view->resize(size);
        }
        return *view;
    }

    // The page shown now, as its own type.
    template <class Page>
    Page* shownPage()
    {
        return qobject_cast<Page*>(makeView().currentPage());
    }
};

}  // namespace mendo
