#include "shell/RealPlatform.h"

#include "base/Clock.h"
#include "base/SystemLog.h"
#include "platform/JsonFileUserDefaults.h"
#include "platform/LanguageDetector.h"
#include "platform/QtProcesses.h"
#include "platform/SystemTransparency.h"
#include "platform/atspi/AtspiAccessibility.h"
#include "platform/atspi/AtspiPermissions.h"
#include "platform/x11/ApplicationIdResolver.h"
#include "platform/x11/ChromiumBrowserControl.h"
#include "platform/x11/X11ApplicationCatalog.h"
#include "platform/x11/DesktopUrlOpener.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11DisplayGuard.h"
#include "platform/x11/X11Displays.h"
#include "platform/x11/X11GlobalInputMonitor.h"
#include "platform/x11/X11HotkeyRegistrar.h"
#include "platform/x11/X11InputMonitoring.h"
#include "platform/x11/X11KeyboardEvents.h"
#include "platform/x11/X11PanelDesktop.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11PostedKeys.h"
#include "platform/x11/X11WindowSystem.h"
#include "platform/x11/X11Workspace.h"
#include "platform/x11/XkbInputSources.h"

namespace mendo {

struct RealPlatform::Parts {
    RealClock clock;
    SyslogSystemLog log;
    // The one X connection every X11 class reads its events through; first,
    // so that it outlives them all.
    x11::X11Connection x11;
    JsonFileUserDefaults defaults { JsonFileUserDefaults::standardPath(), clock, &log };
    X11Pasteboard pasteboard { x11 };
    X11Pasteboard primarySelection { x11, X11Pasteboard::Selection::Primary };
    X11KeyboardEvents keyboard;
    ApplicationIdResolver applicationIds;
    X11Workspace workspace { x11, applicationIds };
    X11WindowSystem windowSystem { x11 };
    X11HotkeyRegistrar hotkeyRegistrar { x11, &log };
    Cld2LanguageDetector languages;
    XkbInputSources inputSources { x11 };
    // Connected once the event loop runs, after the hotkeys are held.
    AtspiAccessibility accessibility { clock, true };
    AtspiPermissions permissions;
    X11InputMonitoring inputMonitoring;
    QtProcesses processes;
    ChromiumBrowserControl browser { processes, ApplicationIdResolver::standardApplicationDirs() };
    X11ApplicationCatalog applications { ApplicationIdResolver::standardApplicationDirs() };
    UnsetSystemTransparency transparency;
    DesktopUrlOpener urlOpener;
    // MendoAI's own keystrokes, which the global input monitor drops.
    x11::X11PostedKeys postedKeys { clock };
    X11GlobalInputMonitor globalInput { x11, postedKeys };
    X11PanelDesktop panelDesktop { x11 };
    X11Displays displays { x11 };
    X11DisplayGuard displayGuard { X11DisplayGuard::standardProgram(), X11DisplayGuard::displayName(x11) };
    std::unique_ptr<Timer> connectAccessibility;
};

RealPlatform::RealPlatform()
    : d(std::make_unique<Parts>())
{
    m_platform.clock = &d->clock;
    m_platform.log = &d->log;
    m_platform.defaults = &d->defaults;
    m_platform.pasteboard = &d->pasteboard;
    m_platform.primarySelection = &d->primarySelection;
    m_platform.keyboard = &d->keyboard;
    m_platform.workspace = &d->workspace;
    m_platform.windowSystem = &d->windowSystem;
    m_platform.hotkeyRegistrar = &d->hotkeyRegistrar;
    m_platform.languages = &d->languages;
    m_platform.inputSources = &d->inputSources;
    m_platform.accessibility = &d->accessibility;
    m_platform.permissions = &d->permissions;
    m_platform.inputMonitoring = &d->inputMonitoring;
    m_platform.processes = &d->processes;
    m_platform.transparency = &d->transparency;
    m_platform.urlOpener = &d->urlOpener;
    m_platform.globalInput = &d->globalInput;
    m_platform.panelDesktop = &d->panelDesktop;
    m_platform.displays = &d->displays;
    m_platform.displayGuard = &d->displayGuard;
    m_platform.browser = &d->browser;
    m_platform.applications = &d->applications;
    d->keyboard.setPostedKeys(&d->postedKeys);
    d->connectAccessibility = d->clock.singleShot(Millis(0), [this] { d->accessibility.connect(); });
}

RealPlatform::~RealPlatform() = default;

}  // namespace mendo
