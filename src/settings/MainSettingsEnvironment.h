#pragma once

namespace mendo {

class AppUpdateManager;
class AssistantPanelController;
class BuiltInDisplayService;
class ClipboardHistoryService;
class ClipboardPanelController;
class HotkeyService;
class KeyboardLayoutService;
class MendoAppState;
class MenuBarController;
class QuickPanelController;
class SelectionTransfer;
class StatusHUDController;
struct Platform;

// The objects the settings window works with, handed down by the application
// object. Every page is made from it; all outlive the window.
struct MainSettingsEnvironment {
    MendoAppState& appState;
    QuickPanelController& quickPanel;
    StatusHUDController& statusHUD;
    HotkeyService& hotkeys;
    MenuBarController& menuBar;
    ClipboardHistoryService& clipboardHistory;
    ClipboardPanelController& clipboardPanel;
    AssistantPanelController& assistantPanel;
    AppUpdateManager& updateManager;
    // The desktop seams: the hotkey registrar that names recorded keys, the
    // workspace, and the installed applications the Layout page offers.
    const Platform& platform;
    SelectionTransfer& selection;
    KeyboardLayoutService& layouts;
    BuiltInDisplayService& builtInDisplay;
};

}  // namespace mendo
