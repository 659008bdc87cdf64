#pragma once

#include "clipboard/ClipboardPanelController.h"
#include "platform/Platform.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QAction;
class QMainWindow;
class QNetworkAccessManager;

namespace mendo {

class AccessibilityTextReader;
class AppLayoutSwitchService;
class AppUpdateClient;
class AppStateHotkeyBridge;
class AppUpdateManager;
class ApplicationControl;
class AssistantPanelController;
struct AssistantPanelServices;
class BuiltInDisplayBridge;
class BuiltInDisplayControl;
class BuiltInDisplayService;
class BuiltInDisplaySwitch;
class ClipboardHistoryService;
class ClipboardNotesService;
class ClipboardPanelController;
class DefaultsAccountCredentials;
class DragSwapMonitorControl;
class FloatingButtonController;
class FocusService;
class FocusedTextAccess;
class HotkeyReadGate;
class HotkeyService;
class KeyboardLayoutService;
class MainSettingsView;
class MendoAppDelegate;
class MendoAppState;
class MendoCore;
class MendoWindowPresenter;
class MenuBarController;
class NativeSettingsStore;
class PasteboardService;
class PermissionService;
class QuickPanelController;
class SelectionTransfer;
class SelectionTriggerService;
class StatusHUDController;
class TextActionEngine;
class TranslationPreviewPanelController;
struct TranslationPreviewServices;
class WindowCommands;
class ChromeAppWindowService;
class WindowTilingService;
class HotkeyPanels;

// The MendoAI process: makes every long-lived object once, owns them all,
// shows the main window and wires the objects together at start-up. All
// behaviour lives in the objects it makes; this class only builds and
// connects them. Main thread only.
class MendoNativeApp : public QObject {
    Q_OBJECT
public:
    // Makes the long-lived objects. The application uses it as it is; tests
    // override a method to watch the order or to substitute a stand-in.
    class Factory {
    public:
        virtual ~Factory() = default;
        virtual std::unique_ptr<ApplicationControl> makeApplicationControl();
        virtual std::unique_ptr<ClipboardHistoryService> makeClipboardHistory(const Platform& platform);
        virtual std::unique_ptr<MendoAppDelegate> makeDelegate(const Platform& platform,
            ApplicationControl& application, MendoWindowPresenter& presenter, BuiltInDisplayControl& builtInDisplay,
            DragSwapMonitorControl& dragSwapMonitor);
        virtual std::unique_ptr<MendoAppState> makeAppState(const Platform& platform, NativeSettingsStore& store,
            PermissionService& permissions, SelectionTransfer& selection, AccessibilityTextReader& focusedText,
            KeyboardLayoutService& layouts, TextActionEngine& engine);
        virtual std::unique_ptr<QuickPanelController> makeQuickPanel(
            const Platform& platform, FocusService& focus, FocusedTextAccess& focusedText);
        virtual std::unique_ptr<StatusHUDController> makeStatusHUD(const Platform& platform);
        virtual std::unique_ptr<HotkeyService> makeHotkeys(
            const Platform& platform, FocusService& focus, WindowCommands& windows);
        virtual std::unique_ptr<MenuBarController> makeMenuBar(BuiltInDisplaySwitch& displaySwitch);
        virtual std::unique_ptr<FloatingButtonController> makeFloatingButton(const Platform& platform);
        virtual std::unique_ptr<SelectionTriggerService> makeSelectionTrigger(const Platform& platform,
            FocusService& focus, FocusedTextAccess& focusedText, SelectionTransfer& selection);
        virtual std::unique_ptr<ClipboardPanelController> makeClipboardPanel(
            const ClipboardPanelController::Services& services);
        virtual std::unique_ptr<AssistantPanelController> makeAssistantPanel(const AssistantPanelServices& services);
        virtual std::unique_ptr<TranslationPreviewPanelController> makeTranslationPreviewPanel(
            const TranslationPreviewServices& services);
        virtual std::unique_ptr<AppUpdateManager> makeUpdateManager(const Platform& platform, AppUpdateClient& client);
        virtual std::unique_ptr<AppLayoutSwitchService> makeAppLayoutSwitchService(
            const Platform& platform, KeyboardLayoutService& layouts);
        // Whether the desktop shows tray items at all.
        virtual bool systemTrayAvailable();
    };

    static constexpr int minimumWidth = 760;
    static constexpr int minimumHeight = 500;

    // Every seam of `platform` must be set and outlive the application.
    explicit MendoNativeApp(Platform platform, Factory& factory, QObject* parent = nullptr);
    ~MendoNativeApp() override;

    // Start-up: the delegate's launch steps, the wiring, and the main window
    // when the settings ask for it or no tray item would show.
    void start();
    // The wiring, in its order. Each step that is already done keeps what it
    // did (the hotkeys, monitors and observers are installed once).
    void launch();

    // Shows the main window, making it when it was closed for good.
    void openMainWindow();
    // The main window's "Show Quick Menu".
    void showQuickMenu();

    MendoAppDelegate& delegate() { return *m_delegate; }
    MendoWindowPresenter& presenter() { return *m_presenter; }
    MendoAppState& appState() { return *m_appState; }
    QuickPanelController& quickPanel() { return *m_quickPanel; }
    StatusHUDController& statusHUD() { return *m_statusHUD; }
    HotkeyService& hotkeys() { return *m_hotkeys; }
    MenuBarController& menuBar() { return *m_menuBar; }
    ClipboardHistoryService& clipboardHistory() { return *m_clipboardHistory; }
    ClipboardNotesService& clipboardNotes() { return *m_clipboardNotes; }
    ClipboardPanelController& clipboardPanel() { return *m_clipboardPanel; }
    // Made on first need (at the latest by start()).
    QMainWindow* mainWindow();
    QAction* showQuickMenuAction();

private:
    void makeMainWindow();

    Platform m_platform;
    Factory& m_factory;

    // The engine and what it stands on, before the objects that use them.
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<DefaultsAccountCredentials> m_credentials;
    std::unique_ptr<AppUpdateClient> m_updateClient;
    std::unique_ptr<NativeSettingsStore> m_settingsStore;
    // Made early: the pasteboard service keeps the history out of its way.
    std::unique_ptr<ClipboardHistoryService> m_clipboardHistory;
    // Reads its file when the clipboard window first shows, not at start.
    std::unique_ptr<ClipboardNotesService> m_clipboardNotes;
    std::unique_ptr<FocusService> m_focus;
    std::unique_ptr<AccessibilityTextReader> m_textReader;
    std::unique_ptr<PasteboardService> m_pasteboard;
    std::unique_ptr<KeyboardLayoutService> m_layouts;
    std::unique_ptr<MendoCore> m_core;
    std::unique_ptr<PermissionService> m_permissions;
    std::unique_ptr<SelectionTransfer> m_selection;
    std::unique_ptr<TextActionEngine> m_engine;
    std::unique_ptr<BuiltInDisplayService> m_builtInDisplayService;
    // What the delegate and the tray menu use of the service.
    std::unique_ptr<BuiltInDisplayBridge> m_builtInDisplay;
    std::unique_ptr<WindowTilingService> m_windowTiling;
    std::unique_ptr<DragSwapMonitorControl> m_dragSwapMonitor;
    std::unique_ptr<ChromeAppWindowService> m_appWindows;
    std::unique_ptr<WindowCommands> m_windowCommands;
    std::unique_ptr<ApplicationControl> m_application;
    std::unique_ptr<MendoWindowPresenter> m_presenter;

    std::unique_ptr<MendoAppDelegate> m_delegate;
    std::unique_ptr<MendoAppState> m_appState;
    std::unique_ptr<QuickPanelController> m_quickPanel;
    std::unique_ptr<StatusHUDController> m_statusHUD;
    std::unique_ptr<HotkeyService> m_hotkeys;
    std::unique_ptr<MenuBarController> m_menuBar;
    std::unique_ptr<FloatingButtonController> m_floatingButton;
    std::unique_ptr<SelectionTriggerService> m_selectionTrigger;
    std::unique_ptr<ClipboardPanelController> m_clipboardPanel;
    std::unique_ptr<AssistantPanelController> m_assistantPanel;
    std::unique_ptr<TranslationPreviewPanelController> m_translationPreviewPanel;
    std::unique_ptr<AppUpdateManager> m_updateManager;
    std::unique_ptr<AppLayoutSwitchService> m_appLayoutSwitchService;

    // How the hotkeys reach the application state and the panels.
    std::unique_ptr<AppStateHotkeyBridge> m_hotkeyBridge;
    std::unique_ptr<HotkeyReadGate> m_hotkeyReadGate;
    std::unique_ptr<HotkeyPanels> m_hotkeyPanels;

    QPointer<QMainWindow> m_mainWindow;
    QPointer<QAction> m_showQuickMenu;
};

}  // namespace mendo
