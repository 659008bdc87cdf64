#include "platform/x11/X11WindowSystem.h"

#include "platform/x11/Ewmh.h"
#include "platform/x11/X11Errors.h"
#include "platform/x11/X11MonitorFrames.h"
#include "platform/x11/X11ReadBatch.h"

#include <algorithm>

#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace mendo {

namespace {

constexpr unsigned long allDesktops = 0xFFFFFFFFUL;

const char* const knownTypes[] = { "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_DIALOG",
    "_NET_WM_WINDOW_TYPE_UTILITY", "_NET_WM_WINDOW_TYPE_TOOLBAR", "_NET_WM_WINDOW_TYPE_MENU",
    "_NET_WM_WINDOW_TYPE_SPLASH", "_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_WINDOW_TYPE_DESKTOP",
    "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", "_NET_WM_WINDOW_TYPE_POPUP_MENU", "_NET_WM_WINDOW_TYPE_TOOLTIP",
    "_NET_WM_WINDOW_TYPE_NOTIFICATION", "_NET_WM_WINDOW_TYPE_COMBO", "_NET_WM_WINDOW_TYPE_DND" };

QMargins margins(const std::optional<std::vector<unsigned long>>& values)
{
    if (!values || values->size() < 4)
        return {};
    // left, right, top, bottom
    return QMargins(int((*values)[0]), int((*values)[2]), int((*values)[1]), int((*values)[3]));
}

}  // namespace

X11WindowSystem::X11WindowSystem(x11::X11Connection& connection, QObject* parent)
    : WindowSystem(parent)
    , m_connection(connection)
{
    if (m_connection.isOpen())
        m_eventHandler = m_connection.addEventHandler([this](const XEvent& event) { handleEvent(event); });
}

X11WindowSystem::~X11WindowSystem()
{
    m_connection.removeEventHandler(m_eventHandler);
}

QList<MonitorFrame> X11WindowSystem::screens()
{
    QList<MonitorFrame> monitors = x11::monitorFrames(m_connection);
    std::stable_partition(monitors.begin(), monitors.end(), [](const MonitorFrame& m) { return m.primary; });
    m_connection.drainEventsLater();
    return monitors;
}

std::optional<QPoint> X11WindowSystem::pointerPosition()
{
    Display* display = m_connection.display();
    if (!display)
        return std::nullopt;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    const bool onScreen
        = XQueryPointer(display, m_connection.rootWindow(), &root, &child, &rootX, &rootY, &x, &y, &mask) != 0;
    m_connection.drainEventsLater();
    return onScreen ? std::optional(QPoint(rootX, rootY)) : std::nullopt;
}

std::optional<WindowId> X11WindowSystem::focusedWindow()
{
    const auto active = x11::ewmh::activeWindow(m_connection);
    const bool exists = active && m_connection.windowExists(*active);
    m_connection.drainEventsLater();
    return exists ? std::optional<WindowId>(*active) : std::nullopt;
}

std::optional<WindowFacts> X11WindowSystem::facts(WindowId window)
{
    if (!m_connection.windowExists(window))
        return std::nullopt;
    const auto types = m_connection.cardinals(window, "_NET_WM_WINDOW_TYPE", XA_ATOM);
    // Asked only when it decides something.
    std::optional<std::vector<unsigned long>> transientFor;
    if (!knownType(types))
        transientFor = m_connection.cardinals(window, "WM_TRANSIENT_FOR", XA_WINDOW);
    const WindowFacts facts = factsFrom(types, transientFor, m_connection.cardinals(window, "_NET_WM_STATE", XA_ATOM),
        m_connection.cardinals(window, "WM_STATE", m_connection.atom("WM_STATE")));
    m_connection.drainEventsLater();
    return facts;
}

std::optional<x11::XAtom> X11WindowSystem::knownType(const std::optional<std::vector<unsigned long>>& types)
{
    if (!types)
        return std::nullopt;
    // Types come in order of preference: the first one the window manager
    // knows decides.
    for (const unsigned long candidate : *types) {
        const bool known = std::any_of(std::begin(knownTypes), std::end(knownTypes),
            [&](const char* name) { return m_connection.atom(name) == candidate; });
        if (known)
            return candidate;
    }
    return std::nullopt;
}

WindowFacts X11WindowSystem::factsFrom(const std::optional<std::vector<unsigned long>>& types,
    const std::optional<std::vector<unsigned long>>& transientFor,
    const std::optional<std::vector<unsigned long>>& states, const std::optional<std::vector<unsigned long>>& wmState)
{
    WindowFacts facts;
    // Anything but a normal window (a dialog, a toolbar, a splash screen) is
    // left where it is.
    if (const std::optional<x11::XAtom> type = knownType(types))
        facts.standard = *type == m_connection.atom("_NET_WM_WINDOW_TYPE_NORMAL");
    else
        facts.standard = !transientFor.has_value();

    if (states) {
        auto has = [&](const char* name) {
            return std::find(states->begin(), states->end(), m_connection.atom(name)) != states->end();
        };
        facts.minimized = has("_NET_WM_STATE_HIDDEN");
        facts.fullScreen = has("_NET_WM_STATE_FULLSCREEN");
        facts.maximized = has("_NET_WM_STATE_MAXIMIZED_VERT") || has("_NET_WM_STATE_MAXIMIZED_HORZ");
    }
    constexpr unsigned long iconicState = 3;
    if (wmState && !wmState->empty() && wmState->front() == iconicState)
        facts.minimized = true;
    return facts;
}

X11WindowSystem::Extents X11WindowSystem::extents(x11::XWindow window)
{
    return { margins(m_connection.cardinals(window, "_NET_FRAME_EXTENTS", XA_CARDINAL)),
        margins(m_connection.cardinals(window, "_GTK_FRAME_EXTENTS", XA_CARDINAL)) };
}

std::optional<QRect> X11WindowSystem::clientRect(x11::XWindow window)
{
    Display* display = m_connection.display();
    if (!display || window == 0)
        return std::nullopt;
    x11::X11ErrorTrap trap(display);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0 || trap.failed())
        return std::nullopt;
    int rootX = 0, rootY = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, window, m_connection.rootWindow(), 0, 0, &rootX, &rootY, &child)
        || trap.failed())
        return std::nullopt;
    return QRect(rootX, rootY, attributes.width, attributes.height);
}

std::optional<QRect> X11WindowSystem::frame(WindowId window)
{
    const auto client = clientRect(window);
    std::optional<QRect> result;
    if (client)
        result = client->marginsAdded(extents(window).outward());
    m_connection.drainEventsLater();
    return result;
}

QList<StackedWindow> X11WindowSystem::stackingOrder()
{
    return readStacking(false).windows;
}

StackingSnapshot X11WindowSystem::stackingSnapshot()
{
    return readStacking(true);
}

StackingSnapshot X11WindowSystem::readStacking(bool withScreens)
{
    StackingSnapshot result;
    Display* display = m_connection.display();
    if (!display)
        return result;
    // Interned once, before the first batch names them.
    m_connection.internAtoms({ "_NET_CLIENT_LIST_STACKING", "_NET_CLIENT_LIST", "_NET_CURRENT_DESKTOP",
        "_NET_WM_DESKTOP", "_NET_WM_WINDOW_TYPE", "WM_TRANSIENT_FOR", "_NET_WM_STATE", "WM_STATE",
        "_NET_FRAME_EXTENTS", "_GTK_FRAME_EXTENTS", "_NET_WM_WINDOW_OPACITY", "_NET_WM_PID", "_NET_WM_STRUT_PARTIAL",
        "_NET_WM_STRUT", "_NET_WM_STATE_HIDDEN", "_NET_WM_STATE_FULLSCREEN", "_NET_WM_STATE_MAXIMIZED_VERT",
        "_NET_WM_STATE_MAXIMIZED_HORZ" });
    m_connection.internAtoms({ knownTypes[0], knownTypes[1], knownTypes[2], knownTypes[3], knownTypes[4],
        knownTypes[5], knownTypes[6], knownTypes[7], knownTypes[8], knownTypes[9], knownTypes[10], knownTypes[11],
        knownTypes[12], knownTypes[13] });
    const x11::XWindow root = m_connection.rootWindow();

    // First round: the root window's lists.
    x11::X11ReadBatch lists(m_connection);
    const auto stackingRead = lists.cardinals(root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    const auto desktopRead = lists.cardinals(root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
    const auto clientsRead = lists.cardinals(root, "_NET_CLIENT_LIST", XA_WINDOW);
    lists.wait();
    const auto& stacking = lists.cardinalsAnswer(stackingRead);
    const auto& currentDesktop = lists.cardinalsAnswer(desktopRead);
    const auto& clients = lists.cardinalsAnswer(clientsRead);

    // Second round: every window at once, and the monitors meanwhile.
    struct Reads {
        x11::XWindow window = 0;
        x11::X11ReadBatch::Handle desktop = 0, types = 0, transientFor = 0, states = 0, wmState = 0, decorations = 0,
                                  shadow = 0, opacity = 0, pid = 0, placement = 0;
    };
    struct StrutReads {
        x11::X11ReadBatch::Handle types = 0, partial = 0, whole = 0;
    };
    x11::X11ReadBatch windows(m_connection);
    std::vector<Reads> reads;
    if (stacking) {
        reads.reserve(stacking->size());
        const x11::XAtom wmStateType = m_connection.atom("WM_STATE");
        // The property lists bottom to top.
        for (auto it = stacking->rbegin(); it != stacking->rend(); ++it) {
            const x11::XWindow window = *it;
            reads.push_back({ window, windows.cardinals(window, "_NET_WM_DESKTOP", XA_CARDINAL),
                windows.cardinals(window, "_NET_WM_WINDOW_TYPE", XA_ATOM),
                windows.cardinals(window, "WM_TRANSIENT_FOR", XA_WINDOW),
                windows.cardinals(window, "_NET_WM_STATE", XA_ATOM), windows.cardinals(window, "WM_STATE", wmStateType),
                windows.cardinals(window, "_NET_FRAME_EXTENTS", XA_CARDINAL),
                windows.cardinals(window, "_GTK_FRAME_EXTENTS", XA_CARDINAL),
                windows.cardinals(window, "_NET_WM_WINDOW_OPACITY", XA_CARDINAL),
                windows.cardinals(window, "_NET_WM_PID", XA_CARDINAL), windows.placement(window) });
        }
    }
    std::vector<StrutReads> strutReads;
    if (withScreens && clients) {
        strutReads.reserve(clients->size());
        for (const unsigned long window : *clients)
            strutReads.push_back({ windows.cardinals(window, "_NET_WM_WINDOW_TYPE", XA_ATOM),
                windows.cardinals(window, "_NET_WM_STRUT_PARTIAL", XA_CARDINAL),
                windows.cardinals(window, "_NET_WM_STRUT", XA_CARDINAL) });
    }
    // The monitors' own request goes out behind the batch and its answer
    // comes back behind the batch's: still the same round trip.
    QList<DockStrut> struts;
    if (withScreens) {
        const x11::XAtom dock = m_connection.atom("_NET_WM_WINDOW_TYPE_DOCK");
        const QSize screen = x11::screenSize(m_connection);
        QList<MonitorFrame> monitors = x11::monitorFrames(m_connection, {});
        windows.wait();
        for (const StrutReads& r : strutReads) {
            if (const auto strut = x11::dockStrut(windows.cardinalsAnswer(r.types), windows.cardinalsAnswer(r.partial),
                    windows.cardinalsAnswer(r.whole), dock, screen))
                struts << *strut;
        }
        for (MonitorFrame& monitor : monitors)
            monitor.visibleFrame = visibleFrame(monitor.frame, struts, screen);
        std::stable_partition(monitors.begin(), monitors.end(), [](const MonitorFrame& m) { return m.primary; });
        result.screens = monitors;
    } else {
        windows.wait();
    }

    const x11::XAtom dock = m_connection.atom("_NET_WM_WINDOW_TYPE_DOCK");
    const x11::XAtom desktop = m_connection.atom("_NET_WM_WINDOW_TYPE_DESKTOP");
    const qint32 ownProcess = qint32(::getpid());
    for (const Reads& r : reads) {
        if (currentDesktop && !currentDesktop->empty()) {
            const auto& on = windows.cardinalsAnswer(r.desktop);
            if (on && !on->empty() && on->front() != allDesktops && on->front() != currentDesktop->front())
                continue;
        }
        const auto& placement = windows.placementAnswer(r.placement);
        if (!placement || !placement->viewable)
            continue;
        const auto& types = windows.cardinalsAnswer(r.types);
        if (types
            && std::any_of(types->begin(), types->end(), [&](unsigned long t) { return t == dock || t == desktop; }))
            continue;
        StackedWindow entry;
        entry.id = r.window;
        const Extents extents { margins(windows.cardinalsAnswer(r.decorations)), margins(windows.cardinalsAnswer(r.shadow)) };
        entry.frame = placement->clientRect.marginsAdded(extents.outward());
        if (const auto& opacity = windows.cardinalsAnswer(r.opacity); opacity && !opacity->empty())
            entry.opacity = double(opacity->front() & 0xFFFFFFFFUL) / double(0xFFFFFFFFUL);
        // A window that names no process is kept: it cannot be one of ours,
        // which all do.
        const auto& pid = windows.cardinalsAnswer(r.pid);
        entry.own = pid && !pid->empty() && pid->front() != 0 && qint32(pid->front()) == ownProcess;
        entry.facts = factsFrom(types, windows.cardinalsAnswer(r.transientFor), windows.cardinalsAnswer(r.states),
            windows.cardinalsAnswer(r.wmState));
        result.windows << entry;
    }
    m_connection.drainEventsLater();
    return result;
}

bool X11WindowSystem::hasEwmhWindowManager()
{
    const auto check = m_connection.cardinals(m_connection.rootWindow(), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (!check || check->empty() || !m_connection.windowExists(check->front()))
        return false;
    const auto supported = m_connection.cardinals(m_connection.rootWindow(), "_NET_SUPPORTED", XA_ATOM);
    return supported
        && std::find(supported->begin(), supported->end(), m_connection.atom("_NET_MOVERESIZE_WINDOW"))
        != supported->end();
}

void X11WindowSystem::watch(x11::XWindow window)
{
    m_connection.selectEvents(window, StructureNotifyMask);
}

bool X11WindowSystem::setFrame(WindowId window, const QRect& frame)
{
    Display* display = m_connection.display();
    if (!display || !m_connection.windowExists(window)) {
        m_connection.drainEventsLater();
        return false;
    }
    watch(window);
    const Extents e = extents(window);
    // The client's size; the position is the window manager's frame corner,
    // which lies outside a client-side shadow.
    const QRect client = frame.marginsRemoved(e.outward());
    const int x = frame.x() - e.shadow.left();
    const int y = frame.y() - e.shadow.top();
    const int width = std::max(1, client.width());
    const int height = std::max(1, client.height());
    x11::X11ErrorTrap trap(display);
    if (hasEwmhWindowManager()) {
        XEvent event {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = m_connection.atom("_NET_MOVERESIZE_WINDOW");
        event.xclient.format = 32;
        constexpr long northWest = 1, xywh = 0xF << 8, sourcePager = 2L << 12;
        event.xclient.data.l[0] = northWest | xywh | sourcePager;
        event.xclient.data.l[1] = x;
        event.xclient.data.l[2] = y;
        event.xclient.data.l[3] = width;
        event.xclient.data.l[4] = height;
        XSendEvent(
            display, m_connection.rootWindow(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        XMoveResizeWindow(display, window, x, y, unsigned(width), unsigned(height));
    }
    const bool failed = trap.sync();
    m_connection.drainEventsLater();
    return !failed;
}

bool X11WindowSystem::removeMaximized(WindowId window)
{
    Display* display = m_connection.display();
    if (!display || !m_connection.windowExists(window)) {
        m_connection.drainEventsLater();
        return false;
    }
    watch(window);
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = m_connection.atom("_NET_WM_STATE");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 0;  // remove
    event.xclient.data.l[1] = long(m_connection.atom("_NET_WM_STATE_MAXIMIZED_VERT"));
    event.xclient.data.l[2] = long(m_connection.atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
    event.xclient.data.l[3] = 2;  // source: pager
    x11::X11ErrorTrap trap(display);
    XSendEvent(display, m_connection.rootWindow(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    const bool failed = trap.sync();
    m_connection.drainEventsLater();
    return !failed;
}

void X11WindowSystem::handleEvent(const XEvent& event)
{
    if (event.type == ConfigureNotify)
        Q_EMIT windowConfigured(event.xconfigure.window);
}

}  // namespace mendo
