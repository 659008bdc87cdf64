#pragma once

namespace mendo {

class Accessibility;
class ApplicationCatalog;
class BrowserControl;
class Clock;
class DisplayGuard;
class Displays;
class GlobalInputMonitor;
class HotkeyRegistrar;
class InputMonitoring;
class InputSources;
class KeyboardEvents;
class LanguageDetector;
class Pasteboard;
class Permissions;
class PanelDesktop;
class Processes;
class SystemLog;
class SystemTransparency;
class UrlOpener;
class UserDefaults;
class Workspace;
class WindowSystem;

// The desktop facilities MendoAI uses, each behind a small interface so that
// tests run on in-memory fakes (tests/fakes/) and the application on the real
// X11 / AT-SPI implementations. The bundle owns nothing: whoever builds it
// (the application object, or a test) keeps the implementations alive.
struct Platform {
    Clock* clock = nullptr;
    SystemLog* log = nullptr;
    UserDefaults* defaults = nullptr;
    Pasteboard* pasteboard = nullptr;
    // PRIMARY: where X applications (terminals above all) put what is selected.
    Pasteboard* primarySelection = nullptr;
    KeyboardEvents* keyboard = nullptr;
    Workspace* workspace = nullptr;
    WindowSystem* windowSystem = nullptr;
    HotkeyRegistrar* hotkeyRegistrar = nullptr;
    LanguageDetector* languages = nullptr;
    InputSources* inputSources = nullptr;
    Accessibility* accessibility = nullptr;
    Permissions* permissions = nullptr;
    InputMonitoring* inputMonitoring = nullptr;
    Processes* processes = nullptr;
    SystemTransparency* transparency = nullptr;
    UrlOpener* urlOpener = nullptr;
    GlobalInputMonitor* globalInput = nullptr;
    PanelDesktop* panelDesktop = nullptr;
    Displays* displays = nullptr;
    // Keeps a display switched off by MendoAI from staying off when MendoAI dies.
    DisplayGuard* displayGuard = nullptr;
    BrowserControl* browser = nullptr;
    ApplicationCatalog* applications = nullptr;
};

}  // namespace mendo
