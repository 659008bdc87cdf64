#pragma once

#include "base/Async.h"
#include "base/Clock.h"
#include "model/WindowTileSlot.h"
#include "platform/Accessibility.h"
#include "platform/Workspace.h"

#include <QHash>

#include <memory>
#include <optional>

namespace mendo {

class BrowserControl;
class KeyboardEvents;
class SystemLog;
class WindowTilingService;

// Before a browser window is tiled into a half, its active tab becomes an app
// window of its own (the page alone, without tabs or address bar), and that
// window is tiled instead. Nothing is lost on the way: the tab is closed only
// once the app window has appeared, and only while the window it came from is
// the active one and still shows that page; when no app window appears, the
// browser window is tiled as it is. Windows are tiled by id, never by focus:
// the user may have moved on meanwhile, and a window that is gone leaves
// everything else where it is. Main thread.
class ChromeAppWindowService {
public:
    // A window is searched for its address field this far, at most: a shared
    // budget of elements and a depth below the window.
    static constexpr int scanBudget = 400;
    static constexpr int scanDepth = 11;
    // The app window is looked for this often, this many times.
    static constexpr Millis queryInterval { 250 };
    static constexpr int queryCount = 12;
    // The pause between the app window coming to the front and its tiling.
    static constexpr Millis tileDelay { 150 };
    // How long an activation may take to show.
    static constexpr Millis activationTimeout { 1000 };
    static constexpr Millis activationPoll { 50 };

    ChromeAppWindowService(Workspace& workspace, Accessibility& accessibility, BrowserControl& browser,
        KeyboardEvents& keyboard, WindowTilingService& tiling, Clock& clock, SystemLog* log = nullptr);
    ~ChromeAppWindowService();

    // True when the front window is a browser window whose page is being
    // popped out: the caller does not tile now, the app window is tiled into
    // `to` once it exists. False when nothing was done (another application,
    // an app window, no readable address, a browser that cannot be started)
    // and the caller tiles as usual.
    bool popOutActiveTabIfNeeded(WindowTileSlot to);

private:
    struct PopOut {
        RunningApplication source;
        QString address;
        WindowTileSlot slot;
    };

    // Whether a shown text field lies below `element` outside every web area
    // (the address field of a browser window; an app window has none shown).
    // The element itself never counts.
    bool containsTextField(const AXElement& element, int depth, int& budget);
    // The first shown element of `role` below `element` in tree order, within
    // the depth and the budget; web areas are never entered.
    AXElement firstShown(const AXElement& element, QLatin1String role, int depth, int& budget);
    // The address of the page the application's focused window shows.
    std::optional<QString> focusedPageAddress(qint32 processIdentifier);
    std::optional<QString> pageAddress(const AXElement& window);
    // The browser's new window when it is the active one and shows the page.
    std::optional<WindowId> appWindowInFront(const PopOut& popOut);
    bool isFront(WindowId window) const;
    // Activates exactly that window; true once it is seen in front.
    Task<bool> bringToFront(RunningApplication window);
    Task<> finish(std::shared_ptr<PopOut> popOut);

    Workspace& m_workspace;
    Accessibility& m_ax;
    BrowserControl& m_browser;
    KeyboardEvents& m_keyboard;
    WindowTilingService& m_tiling;
    Clock& m_clock;
    SystemLog* m_log;
    // By source window: a second press there only retargets the slot, rather
    // than opening the page twice and closing a tab twice.
    QHash<WindowId, std::shared_ptr<PopOut>> m_pending;
    // Expires with the service, so that a waiting pop-out ends quietly.
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
};

}  // namespace mendo
