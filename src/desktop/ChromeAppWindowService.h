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
    // Where the application answers an element search (Chromium does, Qt
    // does not), the fields it finds are checked against the walk's rules;
    // an answer this long may have left one out, and the walk decides.
    static constexpr int searchCandidates = 8;
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

    // Elements already found on a way up to the window, each with its depth
    // below it.
    using ScanPath = QList<std::pair<AXElement, int>>;
    // Whether a shown text field lies below `window` outside every web area
    // (the address field of a browser window; an app window has none shown):
    // one element search where the application offers it, else the walk.
    // `webAreas`: every web area of the window, when a search found them all.
    bool containsTextField(const AXElement& window, const std::optional<QList<AXElement>>& webAreas);
    // The shown elements the application's search finds for `key`, at most
    // searchCandidates; nothing when it offers no search.
    std::optional<QList<AXElement>> search(const AXElement& window, QLatin1String key);
    // Whether the walk would take `candidate` for `role`: shown, at most
    // scanDepth below `window`, with neither a hidden element nor a web area
    // between them (told apart by `webAreas` when known, else by role).
    bool passesScanRules(const AXElement& candidate, const AXElement& window, QLatin1String role,
        const std::optional<QList<AXElement>>& webAreas, ScanPath& path);
    // The first shown element of `role` below `window` (firstShown() from the
    // window with the whole budget).
    AXElement walk(const AXElement& window, QLatin1String role);
    // The first shown element of `role` below `element` in tree order, within
    // the depth and the budget; web areas are never entered.
    AXElement firstShown(const AXElement& element, QLatin1String role, int depth, int& budget);
    // The address of the page the application's focused window shows.
    std::optional<QString> focusedPageAddress(qint32 processIdentifier);
    std::optional<QString> pageAddress(const AXElement& window, const std::optional<QList<AXElement>>& webAreas);
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
    // What the walks of one scan read in bulk ahead of them (the field's walk
    // and the page's read the same window), released when the scan ends.
    std::shared_ptr<const void> m_readAhead;
    // Expires with the service, so that a waiting pop-out ends quietly.
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
};

}  // namespace mendo
