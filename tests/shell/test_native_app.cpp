#include "app/MendoAppState.h"
#include "clipboard/ClipboardHistoryService.h"
#include "clipboard/ClipboardPanelController.h"
#include "desktop/AppLayoutSwitchService.h"
#include "desktop/BuiltInDisplayService.h"
#include "fakes/EventLog.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDisplays.h"
#include "fakes/FakeGlobalInputMonitor.h"
#include "fakes/FakePanelDesktop.h"
#include "fakes/FakeHotkeyRegistrar.h"
#include "fakes/FakeInputMonitoring.h"
#include "fakes/FakeInputSources.h"
#include "fakes/FakeKeyboardEvents.h"
#include "fakes/FakeLanguageDetector.h"
#include "fakes/FakePasteboard.h"
#include "fakes/FakeProcesses.h"
#include "fakes/FakeSystemTransparency.h"
#include "fakes/FakeUrlOpener.h"
#include "fakes/FakeWindowSystem.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/MemoryUserDefaults.h"
#include "fakes/RecordingSystemLog.h"
#include "trigger/FloatingButtonController.h"
#include "hotkeys/HotkeyService.h"
#include "tray/MenuBarController.h"
#include "hotkeys/ParsedHotkey.h"
#include "panels/QuickPanelController.h"
#include "trigger/SelectionTriggerService.h"
#include "tray/StatusHUDController.h"
#include "model/NativeSettingsStore.h"
#include "panels/AssistantPanelController.h"
#include "panels/TranslationPreviewPanelController.h"
#include "settings/MainSettingsView.h"
#include "shell/MendoAppDelegate.h"
#include "shell/MendoNativeApp.h"
#include "updates/AppUpdateManager.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace mendo;

namespace {

// Each stand-in logs the launch call it receives, then does what the real
// object does.
class RecordingSelectionTrigger final : public SelectionTriggerService {
public:
    RecordingSelectionTrigger(Services services, EventLog& log, FloatingButtonController*& button)
        : SelectionTriggerService(services)
        , m_log(log)
        , m_button(button)
    {
    }
    void start(MendoAppState& state, QuickPanelController& panel, FloatingButtonController& button) override
    {
        // The floating button is given its references just before.
        const bool ready = button.appState == &state && button.quickPanel == &panel && &button == m_button;
        m_log.add(QStringLiteral("selectionTrigger start, floating button ready=%1").arg(ready));
        SelectionTriggerService::start(state, panel, button);
    }
    EventLog& m_log;
    FloatingButtonController*& m_button;
};

class RecordingMenuBar final : public MenuBarController {
public:
    RecordingMenuBar(EventLog& log, BuiltInDisplaySwitch& displaySwitch)
        : MenuBarController(displaySwitch)
        , m_log(log)
    {
    }
    void attach(MendoAppState& state, QuickPanelController& panel, StatusHUDController& hud,
        ClipboardPanelController& clipboard, TranslationPreviewPanelController& translationPreview,
        std::function<void()> openMainWindow) override
    {
        m_log.add(QStringLiteral("menuBar attach"));
        MenuBarController::attach(state, panel, hud, clipboard, translationPreview, std::move(openMainWindow));
    }
    EventLog& m_log;
};

// For the objects whose launch step is attach(appState).
template <typename Base> class RecordingFollower final : public Base {
public:
    template <typename... Args>
    RecordingFollower(EventLog& log, QString name, Args&&... args)
        : Base(std::forward<Args>(args)...)
        , m_log(log)
        , m_name(std::move(name))
    {
    }
    void attach(MendoAppState& state) override
    {
        m_log.add(m_name + QStringLiteral(" attach"));
        Base::attach(state);
    }
    EventLog& m_log;
    QString m_name;
};

class RecordingUpdateManager final : public AppUpdateManager {
public:
    RecordingUpdateManager(EventLog& log, const Platform& p, AppUpdateClient& client)
        : AppUpdateManager(client, *p.defaults, *p.urlOpener, *p.clock)
        , m_log(log)
    {
    }
    void startAutomaticChecks(MendoAppState& state) override
    {
        m_log.add(QStringLiteral("updateManager startAutomaticChecks"));
        AppUpdateManager::startAutomaticChecks(state);
    }
    EventLog& m_log;
};

class RecordingLayoutSwitch final : public AppLayoutSwitchService {
public:
    RecordingLayoutSwitch(EventLog& log, const Platform& p, KeyboardLayoutService& layouts)
        : AppLayoutSwitchService(*p.workspace, *p.inputSources, layouts, *p.clock, *p.log)
        , m_log(log)
    {
    }
    void start(MendoAppState& state) override
    {
        m_log.add(QStringLiteral("appLayoutSwitchService start"));
        AppLayoutSwitchService::start(state);
    }
    EventLog& m_log;
};

// Logs every object it makes, and makes the recording stand-ins.
class RecordingFactory final : public MendoNativeApp::Factory {
public:
    explicit RecordingFactory(EventLog& log)
        : m_log(log)
    {
    }

    template <typename T> std::unique_ptr<T> made(const char* name, std::unique_ptr<T> object)
    {
        m_log.add(QStringLiteral("make ") + QLatin1String(name));
        return object;
    }

    std::unique_ptr<ClipboardHistoryService> makeClipboardHistory(const Platform& p) override
    {
        return made<ClipboardHistoryService>("clipboardHistory",
            std::make_unique<RecordingFollower<ClipboardHistoryService>>(
                m_log, "clipboardHistory", *p.clock, *p.pasteboard, *p.defaults));
    }
    std::unique_ptr<MendoAppDelegate> makeDelegate(const Platform& p, ApplicationControl& a, MendoWindowPresenter& w,
        BuiltInDisplayControl& d, DragSwapMonitorControl& s) override
    {
        return made("delegate", Factory::makeDelegate(p, a, w, d, s));
    }
    std::unique_ptr<MendoAppState> makeAppState(const Platform& p, NativeSettingsStore& store,
        PermissionService& permissions, SelectionTransfer& selection, AccessibilityTextReader& text,
        KeyboardLayoutService& layouts, TextActionEngine& engine) override
    {
        return made("appState", Factory::makeAppState(p, store, permissions, selection, text, layouts, engine));
    }
    std::unique_ptr<QuickPanelController> makeQuickPanel(
        const Platform& p, FocusService& focus, FocusedTextAccess& text) override
    {
        return made("quickPanel", Factory::makeQuickPanel(p, focus, text));
    }
    std::unique_ptr<StatusHUDController> makeStatusHUD(const Platform& p) override
    {
        return made<StatusHUDController>("statusHUD",
            std::make_unique<RecordingFollower<StatusHUDController>>(m_log, "statusHUD", *p.panelDesktop));
    }
    std::unique_ptr<HotkeyService> makeHotkeys(const Platform& p, FocusService& focus, WindowCommands& w) override
    {
        return made("hotkeys", Factory::makeHotkeys(p, focus, w));
    }
    std::unique_ptr<MenuBarController> makeMenuBar(BuiltInDisplaySwitch& displaySwitch) override
    {
        return made<MenuBarController>("menuBar", std::make_unique<RecordingMenuBar>(m_log, displaySwitch));
    }
    std::unique_ptr<FloatingButtonController> makeFloatingButton(const Platform& p) override
    {
        auto button = Factory::makeFloatingButton(p);
        floatingButton = button.get();
        return made("floatingButton", std::move(button));
    }
    std::unique_ptr<SelectionTriggerService> makeSelectionTrigger(
        const Platform& p, FocusService& focus, FocusedTextAccess& text, SelectionTransfer& selection) override
    {
        return made<SelectionTriggerService>("selectionTrigger",
            std::make_unique<RecordingSelectionTrigger>(
                SelectionTriggerService::Services { *p.clock, *p.workspace, focus, text, selection, *p.keyboard,
                    *p.globalInput },
                m_log, floatingButton));
    }
    std::unique_ptr<ClipboardPanelController> makeClipboardPanel(
        const ClipboardPanelController::Services& services) override
    {
        return made<ClipboardPanelController>("clipboardPanel",
            std::make_unique<RecordingFollower<ClipboardPanelController>>(m_log, "clipboardPanel", services));
    }
    std::unique_ptr<AssistantPanelController> makeAssistantPanel(const AssistantPanelServices& services) override
    {
        return made<AssistantPanelController>("assistantPanel",
            std::make_unique<RecordingFollower<AssistantPanelController>>(m_log, "assistantPanel", services));
    }
    std::unique_ptr<TranslationPreviewPanelController> makeTranslationPreviewPanel(
        const TranslationPreviewServices& services) override
    {
        return made<TranslationPreviewPanelController>("translationPreviewPanel",
            std::make_unique<RecordingFollower<TranslationPreviewPanelController>>(
                m_log, "translationPreviewPanel", services));
    }
    std::unique_ptr<AppUpdateManager> makeUpdateManager(const Platform& p, AppUpdateClient& client) override
    {
        return made<AppUpdateManager>("updateManager", std::make_unique<RecordingUpdateManager>(m_log, p, client));
    }
    std::unique_ptr<AppLayoutSwitchService> makeAppLayoutSwitchService(
        const Platform& p, KeyboardLayoutService& layouts) override
    {
        return made<AppLayoutSwitchService>(
            "appLayoutSwitchService", std::make_unique<RecordingLayoutSwitch>(m_log, p, layouts));
    }
    bool systemTrayAvailable() override { return trayAvailable; }

    bool trayAvailable = true;
    FloatingButtonController* floatingButton = nullptr;

private:
    EventLog& m_log;
};

// The fake desktop and the application object over it.
struct Rig {
    EventLog log;
    FakeClock clock;
    RecordingSystemLog systemLog;
    MemoryUserDefaults defaults;
    FakePasteboard pasteboard;
    FakeKeyboardEvents keyboard;
    FakeWorkspace workspace;
    FakeWindowSystem windowSystem;
    FakeHotkeyRegistrar registrar { log };
    FakeLanguageDetector languages;
    FakeInputSources inputSources;
    FakeAccessibility accessibility;
    FakePermissions permissions { log };
    FakeInputMonitoring inputMonitoring;
    FakeProcesses processes;
    FakeGlobalInputMonitor globalInput;
    FakePanelDesktop panelDesktop;
    FakeSystemTransparency transparency { log };
    FakeUrlOpener urlOpener;
    FakeDisplays displays;
    RecordingFactory factory { log };
    std::unique_ptr<MendoNativeApp> app;

    Platform platform()
    {
        Platform p;
        p.clock = &clock;
        p.log = &systemLog;
        p.defaults = &defaults;
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
        return p;
    }
    MendoNativeApp& make()
    {
        app.reset();
        app = std::make_unique<MendoNativeApp>(platform(), factory);
        return *app;
    }
    void storeSettings(const std::function<void(MendoSettings&)>& edit)
    {
        NativeSettingsStore store(defaults);
        MendoSettings settings = store.load();
        edit(settings);
        store.save(settings);
    }
    // Lets queued work (permission reads, menu refreshes) run.
    void settle()
    {
        clock.advance(Millis(0));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

}  // namespace

class TestNativeApp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void createsThenWiresInOrder();
    void permissionsRequestedOnOneLaunch_data();
    void permissionsRequestedOnOneLaunch();
    void mainWindowAndItsMenu();
    void mainWindowAtStart_data();
    void mainWindowAtStart();
    void trayItemFollowsTheSettings();
    void hotkeysReachThePanels();
    void builtInDisplayFromLaunchTrayHotkeyAndTermination();
    void clearingTheHistoryEmptiesTheStoredHistory();
    void onlyTheirOwnSettingsReachHistoryTrayAndHotkeys();
};

void TestNativeApp::createsThenWiresInOrder()
{
    Rig rig;
    rig.make();
    QCOMPARE(rig.log.entries.filter(QRegularExpression(QStringLiteral("^make "))),
        (QStringList {
            // Before the others: the pasteboard service keeps it out of its way.
            "make clipboardHistory",
            "make delegate",
            "make appState",
            "make quickPanel",
            "make statusHUD",
            "make hotkeys",
            "make menuBar",
            "make floatingButton",
            "make selectionTrigger",
            "make clipboardPanel",
            "make assistantPanel",
            "make translationPreviewPanel",
            "make updateManager",
            "make appLayoutSwitchService",
        }));

    rig.log.entries.clear();
    rig.app->launch();
    rig.settle();
    QCOMPARE(rig.log.entries,
        (QStringList {
            "surface read",
            "statusHUD attach",
            "hotkeys install",
            "selectionTrigger start, floating button ready=1",
            "menuBar attach",
            "clipboardHistory attach",
            "clipboardPanel attach",
            "assistantPanel attach",
            "translationPreviewPanel attach",
            "updateManager startAutomaticChecks",
            "appLayoutSwitchService start",
            "permissions read",
            // The history's launch save is a change of the user defaults.
            "surface read",
        }));
    QVERIFY(rig.app->appState().isObservingSystemSurface());
    rig.app->appState().setStatus(ActionStatus::running(QStringLiteral("Fixing")));
    rig.settle();
    QCOMPARE(rig.app->statusHUD().shownStatus(), ActionStatus::running(QStringLiteral("Fixing")));

    // Launching again installs nothing twice and makes no second request;
    // the subscriptions are made anew.
    rig.log.entries.clear();
    rig.app->launch();
    rig.settle();
    QVERIFY(!rig.log.entries.contains("hotkeys install"));
    QVERIFY(rig.log.entries.contains("menuBar attach"));
    QVERIFY(!rig.log.entries.contains("permissions request"));
}

void TestNativeApp::permissionsRequestedOnOneLaunch_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("requested");
    QTest::newRow("absent") << QVariant() << false;
    QTest::newRow("true") << QVariant(true) << true;
    QTest::newRow("false") << QVariant(false) << false;
    QTest::newRow("not a boolean") << QVariant(QStringLiteral("later")) << false;
}

void TestNativeApp::permissionsRequestedOnOneLaunch()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, requested);
    const QString key = QStringLiteral("mendo.requestPermissionsOnLaunch");
    Rig rig;
    if (stored.isValid())
        rig.defaults.set(key, stored);

    rig.make().launch();
    rig.settle();
    const QStringList first = rig.log.entries.filter(QStringLiteral("permissions"));
    QCOMPARE(first.contains("permissions request"), requested);
    QVERIFY(first.contains("permissions read"));
    // Removed only when it led to a request, and before the request.
    QCOMPARE(rig.defaults.contains(key), stored.isValid() && !requested);

    rig.log.entries.clear();
    rig.make().launch();
    rig.settle();
    QVERIFY(!rig.log.entries.contains("permissions request"));
}

void TestNativeApp::mainWindowAndItsMenu()
{
    Rig rig;
    MendoNativeApp& app = rig.make();
    QMainWindow* window = app.mainWindow();
    QVERIFY(window);
    QCOMPARE(window->objectName(), QStringLiteral("main"));
    QCOMPARE(window->windowTitle(), QStringLiteral("MendoAI"));
    QCOMPARE(window->minimumSize(), QSize(760, 500));
    QVERIFY(qobject_cast<MainSettingsView*>(window->centralWidget()));

    // One command and no menu bar: the command lives on the window itself,
    // and none opens another main window.
    QVERIFY(!window->findChild<QMenuBar*>());
    const QList<QAction*> commands = window->actions();
    QCOMPARE(commands.size(), 1);
    QCOMPARE(commands.first(), app.showQuickMenuAction());
    QCOMPARE(commands.first()->text(), QStringLiteral("Show Quick Menu"));
    QCOMPARE(commands.first()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Space")));
    QCOMPARE(commands.first()->shortcutContext(), Qt::ApplicationShortcut);

    commands.first()->trigger();
    QVERIFY(app.quickPanel().isPanelVisible());
    QCOMPARE(app.quickPanel().appState(), &app.appState());
    commands.first()->trigger();
    QVERIFY(!app.quickPanel().isPanelVisible());
}

void TestNativeApp::mainWindowAtStart_data()
{
    QTest::addColumn<bool>("openOnLaunch");
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("iconVisible");
    QTest::addColumn<bool>("shown");
    QTest::newRow("asked for") << true << true << true << true;
    QTest::newRow("not asked, tray item shows") << false << true << true << false;
    QTest::newRow("not asked, no tray") << false << false << true << true;
    QTest::newRow("not asked, tray item switched off") << false << true << false << true;
}

void TestNativeApp::mainWindowAtStart()
{
    QFETCH(bool, openOnLaunch);
    QFETCH(bool, trayAvailable);
    QFETCH(bool, iconVisible);
    QFETCH(bool, shown);
    Rig rig;
    rig.storeSettings([&](MendoSettings& s) {
        s.openMainWindowOnLaunch = openOnLaunch;
        s.menuBarIconVisible = iconVisible;
    });
    rig.factory.trayAvailable = trayAvailable;
    MendoNativeApp& app = rig.make();
    app.start();
    rig.settle();
    QCOMPARE(app.mainWindow()->isVisible(), shown);
    // Wired either way.
    QVERIFY(rig.log.entries.contains("hotkeys install"));
    QVERIFY(app.delegate().isDelegateOf(app.mainWindow()));
}

void TestNativeApp::trayItemFollowsTheSettings()
{
    Rig rig;
    rig.storeSettings([](MendoSettings& s) { s.menuBarIconVisible = false; });
    MendoNativeApp& app = rig.make();
    app.launch();
    rig.settle();
    QVERIFY(!app.menuBar().statusItem());

    app.appState().editSettings([](MendoSettings& s) { s.menuBarIconVisible = true; });
    rig.settle();
    QVERIFY(app.menuBar().statusItem());
    QCOMPARE(app.menuBar().statusItem()->toolTip(), QStringLiteral("MendoAI"));

    // The menu's permissions command opens the main window on that page,
    // also after the user closed it.
    app.openMainWindow();
    app.mainWindow()->close();
    QVERIFY(!app.mainWindow()->isVisible());
    QAction* permissions = nullptr;
    for (QAction* action : app.menuBar().menu()->actions())
        if (action->text() == QStringLiteral("Permissions"))
            permissions = action;
    QVERIFY(permissions);
    permissions->trigger();
    QCOMPARE(app.appState().selectedSettingsPage(), SettingsPage::permissions);
    QVERIFY(app.mainWindow()->isVisible());

    app.appState().editSettings([](MendoSettings& s) { s.menuBarIconVisible = false; });
    rig.settle();
    QVERIFY(!app.menuBar().statusItem());
}

void TestNativeApp::hotkeysReachThePanels()
{
    Rig rig;
    MendoNativeApp& app = rig.make();
    app.launch();
    rig.settle();
    rig.registrar.press(ParsedHotkey::parse(QStringLiteral("Alt+Q"))->chord());
    rig.settle();
    QVERIFY(app.quickPanel().isPanelVisible());
    // The translation preview starts reading the selection.
    rig.registrar.press(ParsedHotkey::parse(QStringLiteral("Alt+R"))->chord());
    rig.settle();
    QCOMPARE(app.appState().status(), ActionStatus::running(QStringLiteral("Reading selection")));
}

void TestNativeApp::builtInDisplayFromLaunchTrayHotkeyAndTermination()
{
    Rig rig;
    // A previous run ended with the panel off.
    rig.displays.displays = { { 1, true, true, false, false }, { 2, false } };
    rig.defaults.set(BuiltInDisplayService::disabledIDKey, qint64(1));
    MendoNativeApp& app = rig.make();
    app.start();
    rig.settle();
    QVERIFY(rig.displays.find(1)->active);
    QVERIFY(!rig.defaults.contains(BuiltInDisplayService::disabledIDKey));

    const QString title = QStringLiteral("Turn Off Built-in Display");
    const MenuBarEntry* item = app.menuBar().currentMenu().item(title);
    QVERIFY(item && item->enabled && !item->checked);
    item->target->runAction();
    QVERIFY(!rig.displays.find(1)->active);
    // The switch's change rebuilt the menu.
    item = app.menuBar().currentMenu().item(title);
    QVERIFY(item && item->enabled && item->checked);

    const auto toggle = ParsedHotkey::parse(QStringLiteral("Control+Alt+0"))->chord();
    rig.registrar.press(toggle);
    rig.settle();
    QVERIFY(rig.displays.find(1)->active);
    QVERIFY(!app.menuBar().currentMenu().item(title)->checked);
    rig.registrar.press(toggle);
    rig.settle();
    QVERIFY(!rig.displays.find(1)->active);

    app.delegate().applicationWillTerminate();
    QVERIFY(rig.displays.find(1)->active);
    QVERIFY(!rig.defaults.contains(BuiltInDisplayService::disabledIDKey));
}

void TestNativeApp::clearingTheHistoryEmptiesTheStoredHistory()
{
    Rig rig;
    MendoNativeApp& app = rig.make();
    app.launch();
    rig.settle();
    rig.pasteboard.copyFromOutside(QStringLiteral("copied elsewhere"));
    rig.clock.advance(ClipboardHistoryService::pollInterval);
    QCOMPARE(app.clipboardHistory().items().size(), 1);

    app.appState().clearClipboardHistory();
    QVERIFY(app.clipboardHistory().items().isEmpty());
    QCOMPARE(rig.defaults.data(ClipboardHistoryService::storageKey), std::optional<QByteArray>("[]"));
}

// Every keystroke on a settings page is a change of the settings: the history,
// the tray menu and the hotkeys react only to the settings that are theirs.
void TestNativeApp::onlyTheirOwnSettingsReachHistoryTrayAndHotkeys()
{
    Rig rig;
    MendoNativeApp& app = rig.make();
    app.launch();
    rig.settle();
    for (int i = 0; i < 12; ++i)
        app.clipboardHistory().record(QStringLiteral("copy %1").arg(i));
    QCOMPARE(app.clipboardHistory().items().size(), 12);

    int historySaves = 0;
    connect(&rig.defaults, &UserDefaults::changed, &rig.defaults, [&historySaves](const QString& key) {
        if (key == ClipboardHistoryService::storageKey)
            ++historySaves;
    });
    QSignalSpy itemsChanged(&app.clipboardHistory(), &ClipboardHistoryService::itemsChanged);
    QPointer<QMenu> menu = app.menuBar().menu();
    QVERIFY(menu);
    const int grabs = rig.registrar.registrations;

    // A run of unrelated changes: a style's prompt typed, the theme, the
    // target language.
    for (int i = 0; i < 5; ++i) {
        app.appState().editSettings([i](MendoSettings& s) { s.promptStyles[0].prompt += QString::number(i); });
        rig.settle();
    }
    app.appState().editSettings([](MendoSettings& s) { s.appearanceMode = AppearanceMode::liquidSky; });
    app.appState().editSettings([](MendoSettings& s) { s.targetLanguage = QStringLiteral("German"); });
    rig.settle();
    QCOMPARE(historySaves, 0);
    QCOMPARE(itemsChanged.size(), 0);
    QCOMPARE(app.menuBar().menu(), menu.data());
    QVERIFY(menu);
    QCOMPARE(rig.registrar.registrations, grabs);

    // Their own settings: the limit prunes and saves once, the language
    // rebuilds the menu, a changed hotkey grabs its one new chord.
    app.appState().editSettings([](MendoSettings& s) { s.clipboardLimit = 10; });
    rig.settle();
    QCOMPARE(app.clipboardHistory().items().size(), 10);
    QCOMPARE(historySaves, 1);
    QCOMPARE(itemsChanged.size(), 1);
    app.appState().editSettings([](MendoSettings& s) { s.clipboardHistoryEnabled = false; });
    rig.settle();
    QCOMPARE(historySaves, 2);
    app.appState().editSettings([](MendoSettings& s) { s.uiLanguage = UiLanguage::ru; });
    rig.settle();
    QVERIFY(!menu);
    QCOMPARE(app.menuBar().currentMenu().title, QStringLiteral("MendoAI"));
    app.appState().editSettings([](MendoSettings& s) { s.assistantHotkey = QStringLiteral("Alt+J"); });
    rig.settle();
    QCOMPARE(rig.registrar.registrations, grabs + 1);
    QCOMPARE(historySaves, 2);
}

QTEST_MAIN(TestNativeApp)
#include "test_native_app.moc"
