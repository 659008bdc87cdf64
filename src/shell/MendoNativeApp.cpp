#include "shell/MendoNativeApp.h"

#include "app/MendoAppState.h"
#include "app/SelectionTransfer.h"
#include "app/TextActionEngine.h"
#include "model/NativeSettingsStore.h"
#include "shell/ApplicationControl.h"
#include "shell/BuiltInDisplayBridge.h"
#include "shell/DesktopServiceHooks.h"
#include "shell/DesktopWindowCommands.h"
#include "shell/MendoAppDelegate.h"
#include "shell/MendoWindowPresenter.h"
#include "shell/StartupTrace.h"
#include "clipboard/ClipboardHistoryService.h"
#include "clipboard/ClipboardNotesService.h"
#include "clipboard/ClipboardPanelController.h"
#include "desktop/AppLayoutSwitchService.h"
#include "desktop/BuiltInDisplayService.h"
#include "desktop/ChromeAppWindowService.h"
#include "desktop/WindowTilingService.h"
#include "engine/AccessibilityTextReader.h"
#include "engine/AccountCredentials.h"
#include "engine/FocusService.h"
#include "engine/KeyboardLayoutService.h"
#include "engine/MendoCore.h"
#include "engine/PasteboardService.h"
#include "engine/PermissionService.h"
#include "hotkeys/AppStateHotkeyBridge.h"
#include "trigger/FloatingButtonController.h"
#include "hotkeys/HotkeyReadGate.h"
#include "hotkeys/PanelHotkeys.h"
#include "hotkeys/HotkeyService.h"
#include "tray/MenuBarController.h"
#include "panels/QuickPanelController.h"
#include "trigger/SelectionTriggerService.h"
#include "tray/StatusHUDController.h"
#include "panels/AssistantPanelController.h"
#include "panels/TranslationPreviewPanelController.h"
#include "platform/UserDefaults.h"
#include "settings/MainSettingsView.h"
#include "updates/AppUpdateClient.h"
#include "updates/AppUpdateManager.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QNetworkAccessManager>
#include <QScreen>
#include <QSystemTrayIcon>

namespace mendo {

namespace {

const QString requestPermissionsOnLaunchKey = QStringLiteral("mendo.requestPermissionsOnLaunch");

}  // namespace

std::unique_ptr<ApplicationControl> MendoNativeApp::Factory::makeApplicationControl()
{
    return std::make_unique<QtApplicationControl>();
}

std::unique_ptr<ClipboardHistoryService> MendoNativeApp::Factory::makeClipboardHistory(const Platform& platform)
{
    // Beside the notes.
    return std::make_unique<ClipboardHistoryService>(*platform.clock, *platform.pasteboard, *platform.defaults,
        ClipboardNotesService::standardFolder(), platform.log);
}

std::unique_ptr<MendoAppDelegate> MendoNativeApp::Factory::makeDelegate(const Platform& platform,
    ApplicationControl& application, MendoWindowPresenter& presenter, BuiltInDisplayControl& builtInDisplay,
    DragSwapMonitorControl& dragSwapMonitor)
{
    return std::make_unique<MendoAppDelegate>(
        *platform.defaults, *platform.clock, application, presenter, builtInDisplay, dragSwapMonitor);
}

std::unique_ptr<MendoAppState> MendoNativeApp::Factory::makeAppState(const Platform& platform,
    NativeSettingsStore& store, PermissionService& permissions, SelectionTransfer& selection,
    AccessibilityTextReader& focusedText, KeyboardLayoutService& layouts, TextActionEngine& engine)
{
    return std::make_unique<MendoAppState>(MendoAppState::Services {
        *platform.clock, store, *platform.transparency, permissions, selection, focusedText, layouts, engine,
        platform.log });
}

std::unique_ptr<QuickPanelController> MendoNativeApp::Factory::makeQuickPanel(
    const Platform& platform, FocusService& focus, FocusedTextAccess& focusedText)
{
    return std::make_unique<QuickPanelController>(QuickPanelController::Services {
        *platform.panelDesktop, *platform.globalInput, *platform.defaults, focus, focusedText,
        platform.hotkeyRegistrar });
}

std::unique_ptr<StatusHUDController> MendoNativeApp::Factory::makeStatusHUD(const Platform& platform)
{
    return std::make_unique<StatusHUDController>(*platform.panelDesktop);
}

std::unique_ptr<HotkeyService> MendoNativeApp::Factory::makeHotkeys(
    const Platform& platform, FocusService& focus, WindowCommands& windows)
{
    return std::make_unique<HotkeyService>(*platform.hotkeyRegistrar, focus, windows);
}

std::unique_ptr<MenuBarController> MendoNativeApp::Factory::makeMenuBar(BuiltInDisplaySwitch& displaySwitch)
{
    return std::make_unique<MenuBarController>(displaySwitch);
}

std::unique_ptr<FloatingButtonController> MendoNativeApp::Factory::makeFloatingButton(const Platform& platform)
{
    return std::make_unique<FloatingButtonController>(*platform.panelDesktop);
}

std::unique_ptr<SelectionTriggerService> MendoNativeApp::Factory::makeSelectionTrigger(
    const Platform& platform, FocusService& focus, FocusedTextAccess& focusedText, SelectionTransfer& selection)
{
    return std::make_unique<SelectionTriggerService>(SelectionTriggerService::Services { *platform.clock,
        *platform.workspace, focus, focusedText, selection, *platform.keyboard, *platform.globalInput });
}

std::unique_ptr<ClipboardPanelController> MendoNativeApp::Factory::makeClipboardPanel(
    const ClipboardPanelController::Services& services)
{
    return std::make_unique<ClipboardPanelController>(services);
}

std::unique_ptr<AssistantPanelController> MendoNativeApp::Factory::makeAssistantPanel(
    const AssistantPanelServices& services)
{
    return std::make_unique<AssistantPanelController>(services);
}

std::unique_ptr<TranslationPreviewPanelController> MendoNativeApp::Factory::makeTranslationPreviewPanel(
    const TranslationPreviewServices& services)
{
    return std::make_unique<TranslationPreviewPanelController>(services);
}

std::unique_ptr<AppUpdateManager> MendoNativeApp::Factory::makeUpdateManager(
    const Platform& platform, AppUpdateClient& client)
{
    return std::make_unique<AppUpdateManager>(client, *platform.defaults, *platform.urlOpener, *platform.clock);
}

std::unique_ptr<AppLayoutSwitchService> MendoNativeApp::Factory::makeAppLayoutSwitchService(
    const Platform& platform, KeyboardLayoutService& layouts)
{
    return std::make_unique<AppLayoutSwitchService>(
        *platform.workspace, *platform.inputSources, layouts, *platform.clock, *platform.log);
}

bool MendoNativeApp::Factory::systemTrayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

MendoNativeApp::MendoNativeApp(Platform platform, Factory& factory, QObject* parent)
    : QObject(parent)
    , m_platform(platform)
    , m_factory(factory)
{
    const Platform& p = m_platform;
    m_network = std::make_unique<QNetworkAccessManager>();
    m_credentials = std::make_unique<DefaultsAccountCredentials>(*p.defaults);
    m_updateClient = std::make_unique<AppUpdateClient>(serviceBaseURL(*p.defaults), *m_network, *p.clock, p.log);
    m_settingsStore = std::make_unique<NativeSettingsStore>(*p.defaults);
    m_clipboardHistory = factory.makeClipboardHistory(p);
    m_clipboardNotes = std::make_unique<ClipboardNotesService>(
        ClipboardNotesService::standardFolder(), *p.defaults, *p.clock, p.log);
    m_focus = std::make_unique<FocusService>(*p.workspace, *p.accessibility);
    m_textReader = std::make_unique<AccessibilityTextReader>(*p.accessibility, *p.workspace, *m_focus);
    m_pasteboard = std::make_unique<PasteboardService>(
        *p.clock, *p.pasteboard, *p.keyboard, *m_focus, *m_clipboardHistory, *m_textReader);
    if (p.primarySelection)
        m_pasteboard->setPrimarySelection(*p.primarySelection);
    m_layouts = std::make_unique<KeyboardLayoutService>(*p.inputSources);
    m_core = std::make_unique<MendoCore>(aiServiceURL(*p.defaults), *m_credentials, *m_network, *p.clock, *p.languages, p.log);
    m_permissions = std::make_unique<PermissionService>(*p.permissions, *p.inputMonitoring, *p.processes);
    m_selection = std::make_unique<PasteboardSelectionTransfer>(*m_pasteboard);
    m_engine = std::make_unique<CoreTextActionEngine>(*m_core);
    m_builtInDisplayService = std::make_unique<BuiltInDisplayService>(*p.displays, *p.defaults, *p.clock, *p.log);
    m_builtInDisplayService->setGuard(p.displayGuard);
    m_builtInDisplay = std::make_unique<BuiltInDisplayBridge>(*m_builtInDisplayService);
    m_windowTiling = std::make_unique<WindowTilingService>(*p.windowSystem, *p.clock);
    m_dragSwapMonitor = std::make_unique<WindowDragSwapMonitorControl>(*p.globalInput, *p.defaults, *m_windowTiling);
    if (p.browser)
        m_appWindows = std::make_unique<ChromeAppWindowService>(
            *p.workspace, *p.accessibility, *p.browser, *p.keyboard, *m_windowTiling, *p.clock, p.log);
    m_windowCommands
        = std::make_unique<DesktopWindowCommands>(*m_windowTiling, *m_builtInDisplayService, m_appWindows.get());
    m_application = factory.makeApplicationControl();
    m_presenter = std::make_unique<MendoWindowPresenter>(*m_application, *p.clock);

    // The long-lived objects, in their declared order.
    m_delegate = factory.makeDelegate(p, *m_application, *m_presenter, *m_builtInDisplay, *m_dragSwapMonitor);
    m_appState
        = factory.makeAppState(p, *m_settingsStore, *m_permissions, *m_selection, *m_textReader, *m_layouts, *m_engine);
    m_quickPanel = factory.makeQuickPanel(p, *m_focus, *m_textReader);
    m_statusHUD = factory.makeStatusHUD(p);
    m_hotkeys = factory.makeHotkeys(p, *m_focus, *m_windowCommands);
    m_menuBar = factory.makeMenuBar(*m_builtInDisplay);
    m_floatingButton = factory.makeFloatingButton(p);
    m_selectionTrigger = factory.makeSelectionTrigger(p, *m_focus, *m_textReader, *m_selection);
    m_clipboardPanel = factory.makeClipboardPanel({ *p.clock, *p.defaults, *p.panelDesktop, *p.globalInput,
        *m_focus, *m_pasteboard, *p.pasteboard, *m_clipboardHistory, *m_clipboardNotes });
    m_assistantPanel = factory.makeAssistantPanel({ *p.clock, *p.defaults, *p.panelDesktop, *p.pasteboard, *m_focus,
        *m_pasteboard, aiServiceURL(*p.defaults), *m_credentials, *m_network, *p.languages, p.log });
    m_translationPreviewPanel = factory.makeTranslationPreviewPanel(TranslationPreviewServices { *p.clock, *p.defaults,
        *p.pasteboard, *m_focus, *m_textReader, *m_selection, *p.panelDesktop, *p.globalInput,
        aiServiceURL(*p.defaults), *m_credentials, *m_network, *p.languages, p.log });
    m_updateManager = factory.makeUpdateManager(p, *m_updateClient);
    m_appLayoutSwitchService = factory.makeAppLayoutSwitchService(p, *m_layouts);

    m_appState->setClipboardHistory(m_clipboardHistory.get());
    m_hotkeyBridge = std::make_unique<AppStateHotkeyBridge>(*m_appState);
    m_quickPanel->setPanels(m_assistantPanel.get(), m_clipboardPanel.get());
    if (p.hotkeyRegistrar)
        m_hotkeyReadGate = std::make_unique<HotkeyReadGate>(*p.hotkeyRegistrar, *p.clock, *m_textReader);
    m_hotkeyPanels = std::make_unique<PanelHotkeys>(*m_appState,
        PanelHotkeys::Services { *m_focus, *m_textReader, *m_selection, m_hotkeyReadGate.get() },
        PanelHotkeys::Panels { m_quickPanel.get(), m_clipboardPanel.get(), m_assistantPanel.get(),
            m_translationPreviewPanel.get() });
    // The settings window sends the user here to grant permissions.
    m_appState->setMainWindowOpener([this] { m_presenter->showMainWindow([this] { openMainWindow(); }); });
    connect(m_menuBar.get(), &MenuBarController::quitRequested, this, [this] { m_delegate->terminate(); });
    // The main window is made at start, once the hotkeys are held.
}

MendoNativeApp::~MendoNativeApp()
{
    // The window's view refers to the objects below.
    delete m_mainWindow;
}

QMainWindow* MendoNativeApp::mainWindow()
{
    if (!m_mainWindow)
        makeMainWindow();
    return m_mainWindow;
}

QAction* MendoNativeApp::showQuickMenuAction()
{
    mainWindow();
    return m_showQuickMenu;
}

namespace {

// Marks the window's first showing: when it is shown and its first frame,
// what the user sees of it.
class FirstShowingMarks : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !m_shown) {
            m_shown = true;
            startupMark("settings window shown");
        } else if (event->type() == QEvent::Paint && m_shown) {
            startupMark("settings window drawn");
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    bool m_shown = false;
};

}  // namespace

void MendoNativeApp::makeMainWindow()
{
    auto* window = new QMainWindow;
    window->setObjectName(QStringLiteral("main"));
    window->setWindowTitle(QStringLiteral("MendoAI"));
    window->setMinimumSize(minimumWidth, minimumHeight);
    window->setCentralWidget(new MainSettingsView(MainSettingsEnvironment { *m_appState, *m_quickPanel, *m_statusHUD,
        *m_hotkeys, *m_menuBar, *m_clipboardHistory, *m_clipboardPanel, *m_assistantPanel, *m_updateManager,
        m_platform, *m_selection, *m_layouts, *m_builtInDisplayService }));

    // The window's one command, without a menu bar of its own; no command
    // opens a second main window.
    m_showQuickMenu = new QAction(QStringLiteral("Show Quick Menu"), window);
    m_showQuickMenu->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Space));
    // While any MendoAI window is active, not only the main one.
    m_showQuickMenu->setShortcutContext(Qt::ApplicationShortcut);
    window->addAction(m_showQuickMenu);
    connect(m_showQuickMenu, &QAction::triggered, this, &MendoNativeApp::showQuickMenu);

    window->resize(minimumWidth, minimumHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
    m_mainWindow = window;
    if (startupTracing())
        window->installEventFilter(new FirstShowingMarks(window));
}

void MendoNativeApp::openMainWindow()
{
    if (!m_mainWindow)
        makeMainWindow();
    m_mainWindow->show();
}

void MendoNativeApp::showQuickMenu()
{
    m_quickPanel->toggle(*m_appState);
}

void MendoNativeApp::start()
{
    m_delegate->applicationDidFinishLaunching();
    launch();
    // Made after the hotkeys, shown or not: its menu's shortcut works in
    // every MendoAI window, and the delegate takes it on.
    mainWindow();
    startupMark("settings window made");
    // Without a tray item nothing else would be visible.
    const bool trayItemShows = m_factory.systemTrayAvailable() && m_appState->settings().menuBarIconVisible;
    if (m_appState->settings().openMainWindowOnLaunch || !trayItemShows)
        m_presenter->showMainWindow([this] { openMainWindow(); });
}

void MendoNativeApp::launch()
{
    MendoAppState& state = *m_appState;
    state.startSystemSurfaceObserver();
    m_statusHUD->attach(state);
    m_hotkeys->start(m_hotkeyBridge.get(), m_hotkeyBridge.get(), m_hotkeyPanels.get());
    startupMark("hotkeys held");
    m_floatingButton->appState = &state;
    m_floatingButton->quickPanel = m_quickPanel.get();
    m_selectionTrigger->start(state, *m_quickPanel, *m_floatingButton);
    m_menuBar->attach(state, *m_quickPanel, *m_statusHUD, *m_clipboardPanel, *m_translationPreviewPanel,
        [this] { m_presenter->showMainWindow([this] { openMainWindow(); }); });
    m_clipboardHistory->attach(state);
    m_clipboardPanel->attach(state);
    m_assistantPanel->attach(state);
    m_translationPreviewPanel->attach(state);
    m_updateManager->startAutomaticChecks(state);
    m_appLayoutSwitchService->start(state);
    state.refreshPermissions();
    // Asked for on one launch only: the key goes before the request.
    UserDefaults& defaults = *m_platform.defaults;
    if (defaults.boolean(requestPermissionsOnLaunchKey)) {
        defaults.remove(requestPermissionsOnLaunchKey);
        state.requestPermissions();
    }
}

}  // namespace mendo
