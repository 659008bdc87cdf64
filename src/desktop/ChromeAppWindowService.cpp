#include "desktop/ChromeAppWindowService.h"

#include "base/SystemLog.h"
#include "desktop/WindowTilingService.h"
#include "platform/BrowserControl.h"
#include "platform/KeyboardEvents.h"

#include <QScopeGuard>

#include <algorithm>

namespace mendo {

ChromeAppWindowService::ChromeAppWindowService(Workspace& workspace, Accessibility& accessibility,
    BrowserControl& browser, KeyboardEvents& keyboard, WindowTilingService& tiling, Clock& clock, SystemLog* log)
    : m_workspace(workspace)
    , m_ax(accessibility)
    , m_browser(browser)
    , m_keyboard(keyboard)
    , m_tiling(tiling)
    , m_clock(clock)
    , m_log(log)
{
}

ChromeAppWindowService::~ChromeAppWindowService() = default;

bool ChromeAppWindowService::popOutActiveTabIfNeeded(WindowTileSlot to)
{
    const std::optional<RunningApplication> front = m_workspace.frontmostApplication();
    if (!front || !BrowserControl::takesAppWindows(front->bundleIdentifier) || front->processIdentifier <= 0
        || front->window == 0)
        return false;
    if (const auto pending = m_pending.value(front->window)) {
        pending->slot = to;
        return true;
    }
    const AXElement window = m_ax.elementAttribute(m_ax.applicationElement(front->processIdentifier), ax::FocusedWindow);
    if (!window)
        return false;
    const auto scanEnds = qScopeGuard([this] { m_readAhead.reset(); });
    // Where the browser answers element searches, its web areas are known
    // at once, and the field's way up to the window need not ask each
    // element's role.
    const std::optional<QList<AXElement>> webAreas = search(window, ax::WebAreaSearchKey);
    const std::optional<QList<AXElement>> knownWebAreas
        = webAreas && webAreas->size() < searchCandidates ? webAreas : std::nullopt;
    if (!containsTextField(window, knownWebAreas))
        return false;
    const std::optional<QString> address = pageAddress(window, knownWebAreas);
    if (!address || address->isEmpty())
        return false;
    // Started before anything is closed: a browser that cannot be started
    // leaves the tab where it is and the window is tiled as usual.
    if (!m_browser.openAppWindow(*front, *address)) {
        if (m_log)
            m_log->write(QStringLiteral("Chrome app window: the browser could not be started"));
        return false;
    }
    auto popOut = std::make_shared<PopOut>(PopOut { *front, *address, to });
    m_pending.insert(front->window, popOut);
    detach(finish(popOut));
    return true;
}

bool ChromeAppWindowService::containsTextField(
    const AXElement& window, const std::optional<QList<AXElement>>& webAreas)
{
    if (const auto fields = search(window, ax::TextFieldSearchKey)) {
        ScanPath path;
        for (const AXElement& field : *fields) {
            if (passesScanRules(field, window, ax::TextFieldRole, webAreas, path))
                return true;
        }
        // A full answer may have left a later field out: the walk decides.
        if (fields->size() < searchCandidates)
            return false;
    }
    return walk(window, ax::TextFieldRole) != nullptr;
}

std::optional<QList<AXElement>> ChromeAppWindowService::search(const AXElement& window, QLatin1String key)
{
    const QVariantMap predicate { { ax::SearchKey, QString(key) }, { ax::VisibleOnly, true },
        { ax::ResultsLimit, searchCandidates } };
    const std::optional<AXValue> found = m_ax.parameterizedAttributeValue(window, ax::ElementsForSearchPredicate, predicate);
    const auto* elements = found ? std::get_if<QList<AXElement>>(&*found) : nullptr;
    if (!elements)
        return std::nullopt;
    return *elements;
}

bool ChromeAppWindowService::passesScanRules(const AXElement& candidate, const AXElement& window, QLatin1String role,
    const std::optional<QList<AXElement>>& webAreas, ScanPath& path)
{
    if (!candidate || m_ax.stringAttribute(candidate, ax::Role) != role
        || m_ax.boolAttribute(candidate, ax::Hidden).value_or(false))
        return false;
    const auto isWebArea = [&](const AXElement& element) {
        if (!webAreas)
            return m_ax.stringAttribute(element, ax::Role) == ax::WebAreaRole;
        return std::any_of(
            webAreas->begin(), webAreas->end(), [&](const AXElement& area) { return m_ax.isSameElement(area, element); });
    };
    // Up from the candidate to the window: at step `up`, `ancestor` lies
    // `up` levels above the candidate. Elements found fine on an earlier way
    // up end this one with their own depth.
    QList<std::pair<AXElement, int>> climbed;
    AXElement ancestor = m_ax.elementAttribute(candidate, ax::Parent);
    for (int up = 1; ancestor; ++up) {
        std::optional<int> ancestorDepth;
        if (m_ax.isSameElement(ancestor, window))
            ancestorDepth = 0;
        for (const auto& [known, depth] : path) {
            if (!ancestorDepth && m_ax.isSameElement(known, ancestor))
                ancestorDepth = depth;
        }
        if (ancestorDepth) {
            const int candidateDepth = *ancestorDepth + up;
            for (const auto& [element, steps] : climbed)
                path.append({ element, candidateDepth - steps });
            return candidateDepth <= scanDepth;
        }
        if (up >= scanDepth || m_ax.boolAttribute(ancestor, ax::Hidden).value_or(false) || isWebArea(ancestor))
            return false;
        climbed.append({ ancestor, up });
        ancestor = m_ax.elementAttribute(ancestor, ax::Parent);
    }
    // Not below the window at all.
    return false;
}

AXElement ChromeAppWindowService::walk(const AXElement& window, QLatin1String role)
{
    if (!m_readAhead)
        m_readAhead = m_ax.readAhead(window, scanDepth, scanBudget);
    int budget = scanBudget;
    return firstShown(window, role, 0, budget);
}

AXElement ChromeAppWindowService::firstShown(const AXElement& element, QLatin1String role, int depth, int& budget)
{
    if (depth > scanDepth || budget < 1)
        return nullptr;
    --budget;
    const std::optional<QString> elementRole = m_ax.stringAttribute(element, ax::Role);
    const bool matches = depth > 0 && elementRole == role;
    if (!matches && elementRole == ax::WebAreaRole)
        return nullptr;
    const QList<AXElement> children = matches ? QList<AXElement>() : m_ax.children(element);
    if (!matches && children.isEmpty())
        return nullptr;
    // Read only where it decides something: an app window keeps its address
    // field in a hidden tool bar, where the field itself claims to be shown.
    if (depth > 0 && m_ax.boolAttribute(element, ax::Hidden).value_or(false))
        return nullptr;
    if (matches)
        return element;
    for (const AXElement& child : children) {
        if (AXElement found = firstShown(child, role, depth + 1, budget))
            return found;
    }
    return nullptr;
}

std::optional<QString> ChromeAppWindowService::pageAddress(
    const AXElement& window, const std::optional<QList<AXElement>>& webAreas)
{
    AXElement page;
    if (webAreas) {
        ScanPath path;
        for (const AXElement& area : *webAreas) {
            if (passesScanRules(area, window, ax::WebAreaRole, webAreas, path)) {
                page = area;
                break;
            }
        }
    } else {
        page = walk(window, ax::WebAreaRole);
    }
    if (!page)
        return std::nullopt;
    return m_ax.stringAttribute(page, ax::URL);
}

std::optional<QString> ChromeAppWindowService::focusedPageAddress(qint32 processIdentifier)
{
    const AXElement window = m_ax.elementAttribute(m_ax.applicationElement(processIdentifier), ax::FocusedWindow);
    if (!window)
        return std::nullopt;
    const auto scanEnds = qScopeGuard([this] { m_readAhead.reset(); });
    const auto webAreas = search(window, ax::WebAreaSearchKey);
    return pageAddress(window, webAreas && webAreas->size() < searchCandidates ? webAreas : std::nullopt);
}

std::optional<WindowId> ChromeAppWindowService::appWindowInFront(const PopOut& popOut)
{
    const std::optional<RunningApplication> front = m_workspace.frontmostApplication();
    if (!front || front->processIdentifier != popOut.source.processIdentifier || front->window == 0
        || front->window == popOut.source.window)
        return std::nullopt;
    if (focusedPageAddress(front->processIdentifier) != popOut.address)
        return std::nullopt;
    return front->window;
}

bool ChromeAppWindowService::isFront(WindowId window) const
{
    const std::optional<RunningApplication> front = m_workspace.frontmostApplication();
    return front && front->window == window;
}

Task<bool> ChromeAppWindowService::bringToFront(RunningApplication window)
{
    std::weak_ptr<int> life = m_life;
    if (!m_workspace.activateWindow(window))
        co_return false;
    for (Millis waited { 0 }; waited < activationTimeout; waited += activationPoll) {
        if (isFront(window.window))
            co_return true;
        co_await m_clock.sleep(activationPoll);
        if (life.expired())
            co_return false;
    }
    co_return isFront(window.window);
}

Task<> ChromeAppWindowService::finish(std::shared_ptr<PopOut> popOut)
{
    std::weak_ptr<int> life = m_life;
    std::optional<WindowId> appWindow;
    for (int query = 0; query < queryCount && !appWindow; ++query) {
        co_await m_clock.sleep(queryInterval);
        if (life.expired())
            co_return;
        appWindow = appWindowInFront(*popOut);
    }
    if (!appWindow) {
        m_pending.remove(popOut->source.window);
        if (m_log)
            m_log->write(QStringLiteral("Chrome app window: no app window appeared; the tab stays open"));
        // The browser window the hotkey was meant for, by its id: the focus
        // may be on anything by now.
        co_await m_tiling.tileWindow(popOut->source.window, popOut->slot);
        co_return;
    }

    // Control+W closes the active tab of whichever window has the keyboard:
    // it goes only to the source window, and only while that still shows the
    // page that was popped out (the user may have switched tabs meanwhile).
    const bool sourceInFront = co_await bringToFront(popOut->source);
    if (life.expired())
        co_return;
    if (sourceInFront && focusedPageAddress(popOut->source.processIdentifier) == popOut->address
        && isFront(popOut->source.window))
        m_keyboard.postShortcut(EditShortcut::CloseTab);

    RunningApplication app = popOut->source;
    app.window = *appWindow;
    co_await bringToFront(app);
    if (life.expired())
        co_return;
    co_await m_clock.sleep(tileDelay);
    if (life.expired())
        co_return;
    m_pending.remove(popOut->source.window);
    // By its id: whether it came to the front or not, no other window moves.
    co_await m_tiling.tileWindow(*appWindow, popOut->slot);
}

}  // namespace mendo
