#include "platform/x11/X11GlobalInputMonitor.h"

#include "platform/x11/X11Errors.h"
#include "platform/x11/X11PostedKeys.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <cstring>

namespace mendo {

namespace {

using Type = GlobalInputEvent::Type;

qreal pixelRatio()
{
    return qGuiApp ? qMax<qreal>(1.0, qGuiApp->devicePixelRatio()) : 1.0;
}

struct Pointer {
    QPoint position;
    ::Window child = 0;  // the top-level window under the pointer, 0 over the bare root
};

Pointer queryPointer(Display* display, ::Window rootWindow)
{
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    XQueryPointer(display, rootWindow, &root, &child, &rootX, &rootY, &x, &y, &mask);
    const qreal ratio = pixelRatio();
    return { QPointF(rootX / ratio, rootY / ratio).toPoint(), child };
}

// The frame a window manager put around `window`: its ancestor just below
// the root (the window itself when it is not reparented).
::Window topLevelOf(Display* display, ::Window window, ::Window rootWindow)
{
    for (int depth = 0; depth < 8 && window; ++depth) {
        ::Window root = 0, parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count))
            return 0;
        if (children)
            XFree(children);
        if (parent == rootWindow || parent == 0)
            return window;
        window = parent;
    }
    return 0;
}

}  // namespace

X11GlobalInputMonitor::X11GlobalInputMonitor(x11::X11Connection& connection, x11::X11PostedKeys& posted)
    : m_connection(connection)
    , m_posted(posted)
{
    Display* display = connection.display();
    if (!display)
        return;
    int opcode = 0, eventBase = 0, errorBase = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &eventBase, &errorBase))
        return;
    // 2.2: raw events keep coming while another client grabs the device.
    int major = 2, minor = 2;
    if (XIQueryVersion(display, &major, &minor) != Success || major < 2)
        return;
    m_opcode = opcode;
}

X11GlobalInputMonitor::~X11GlobalInputMonitor()
{
    m_monitors.clear();
    updateSelection();
}

int X11GlobalInputMonitor::addMonitor(GlobalInputEvent::Types types, Handler handler)
{
    if (!available())
        return 0;
    const int token = ++m_nextToken;
    m_monitors[token] = { types, std::move(handler) };
    updateSelection();
    return token;
}

void X11GlobalInputMonitor::removeMonitor(int token)
{
    if (m_monitors.erase(token))
        updateSelection();
}

void X11GlobalInputMonitor::updateSelection()
{
    Display* display = m_connection.display();
    if (!available() || !display)
        return;
    GlobalInputEvent::Types wanted;
    for (const auto& [token, monitor] : m_monitors)
        wanted |= monitor.types;
    int mask = 0;
    if (!m_monitors.empty()) {
        // Keys always: the modifiers of every event come from them.
        mask = XI_RawKeyPressMask | XI_RawKeyReleaseMask;
        if (wanted & GlobalInputEvent::mouseDowns())
            mask |= XI_RawButtonPressMask;
        if (wanted & GlobalInputEvent::mouseUps())
            mask |= XI_RawButtonReleaseMask;
        if (wanted.testFlag(Type::mouseMoved))
            mask |= XI_RawMotionMask;
    }
    if (mask == m_selectedMask)
        return;
    const bool starting = m_selectedMask == 0;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    std::memcpy(bits, &mask, std::min(sizeof bits, sizeof mask));
    XIEventMask eventMask { XIAllMasterDevices, int(sizeof bits), bits };
    {
        x11::X11ErrorTrap trap(display);
        XISelectEvents(display, m_connection.rootWindow(), &eventMask, 1);
        trap.sync();
    }
    m_selectedMask = mask;
    if (starting) {
        readModifierMap();
        findXTestDevices();
        m_handlerId = m_connection.addEventHandler([this](const XEvent& event) { handleEvent(event); });
    } else if (mask == 0) {
        m_connection.removeEventHandler(m_handlerId);
        m_handlerId = 0;
        m_heldModifierKeys.clear();
    }
    // The sync above may have read events into Xlib's queue, where the
    // socket no longer announces them. Later: a monitor may be added from
    // inside another connection handler.
    m_connection.drainEventsLater();
}

void X11GlobalInputMonitor::readModifierMap()
{
    Display* display = m_connection.display();
    m_modifierKeys.clear();
    m_heldModifierKeys.clear();
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map)
        return;
    const std::pair<int, Qt::KeyboardModifier> rows[]
        = { { ShiftMapIndex, Qt::ShiftModifier }, { ControlMapIndex, Qt::ControlModifier },
              { Mod1MapIndex, Qt::AltModifier }, { Mod4MapIndex, Qt::MetaModifier } };
    for (const auto& [row, modifier] : rows) {
        for (int column = 0; column < map->max_keypermod; ++column) {
            const int keycode = map->modifiermap[row * map->max_keypermod + column];
            if (keycode != 0)
                m_modifierKeys.emplace_back(keycode, modifier);
        }
    }
    XFreeModifiermap(map);
    // Keys already held when the watch begins.
    char keys[32] = {};
    XQueryKeymap(display, keys);
    for (const auto& [keycode, modifier] : m_modifierKeys) {
        if ((keys[keycode / 8] >> (keycode % 8)) & 1)
            m_heldModifierKeys[keycode] = 1;
    }
}

void X11GlobalInputMonitor::findXTestDevices()
{
    m_xtestDevices.clear();
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(m_connection.display(), XIAllDevices, &count);
    for (int i = 0; devices && i < count; ++i) {
        if (devices[i].name && std::strstr(devices[i].name, "XTEST"))
            m_xtestDevices.insert(devices[i].deviceid);
    }
    if (devices)
        XIFreeDeviceInfo(devices);
}

bool X11GlobalInputMonitor::ownWindowAt(x11::XWindow topLevel)
{
    if (topLevel == 0)
        return false;
    // Menus, tooltips and the status display sit right on the root: their
    // own ids. Managed windows sit in a frame of the window manager's.
    std::vector<::Window> managed;
    for (QWindow* window : QGuiApplication::allWindows()) {
        if (!window->handle() || !window->isVisible())
            continue;
        const ::Window id = ::Window(window->winId());
        if (id == topLevel)
            return true;
        managed.push_back(id);
    }
    Display* display = m_connection.display();
    x11::X11ErrorTrap trap(display);
    for (const ::Window id : managed) {
        if (topLevelOf(display, id, m_connection.rootWindow()) == topLevel)
            return true;
    }
    return false;
}

void X11GlobalInputMonitor::handleEvent(const _XEvent& incoming)
{
    if (!available() || incoming.type != GenericEvent || incoming.xcookie.extension != m_opcode)
        return;
    Display* display = m_connection.display();
    XGenericEventCookie cookie = incoming.xcookie;
    // The reader may have fetched the data already; then it frees it too.
    const bool fetched = cookie.data == nullptr && XGetEventData(display, &cookie);
    if (!cookie.data)
        return;
    const auto* raw = static_cast<const XIRawEvent*>(cookie.data);
    const int detail = raw->detail;
    const bool xtest = m_xtestDevices.contains(raw->sourceid);
    const int evtype = cookie.evtype;
    if (fetched)
        XFreeEventData(display, &cookie);

    GlobalInputEvent event;
    event.detail = detail;
    switch (evtype) {
    case XI_RawKeyPress:
    case XI_RawKeyRelease: {
        const bool down = evtype == XI_RawKeyPress;
        for (const auto& [keycode, modifier] : m_modifierKeys) {
            if (keycode != detail)
                continue;
            if (down)
                ++m_heldModifierKeys[keycode];
            else
                m_heldModifierKeys.erase(keycode);
        }
        if (xtest && m_posted.take(detail, down))
            return;  // MendoAI's own keystroke
        event.type = down ? Type::keyDown : Type::keyUp;
        ::Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        if (focus > PointerRoot && ownWindowAt(topLevelOf(display, focus, m_connection.rootWindow())))
            return;  // typed into MendoAI: Qt has it
        event.position = queryPointer(display, m_connection.rootWindow()).position;
        deliver(event);
        return;
    }
    case XI_RawButtonPress:
    case XI_RawButtonRelease: {
        if (detail >= 4 && detail <= 7)
            return;  // wheel steps, not clicks
        const bool down = evtype == XI_RawButtonPress;
        if (detail == 1)
            event.type = down ? Type::leftMouseDown : Type::leftMouseUp;
        else if (detail == 3)
            event.type = down ? Type::rightMouseDown : Type::rightMouseUp;
        else
            event.type = down ? Type::otherMouseDown : Type::otherMouseUp;
        const Pointer pointer = queryPointer(display, m_connection.rootWindow());
        if (ownWindowAt(pointer.child))
            return;
        event.position = pointer.position;
        deliver(event);
        return;
    }
    case XI_RawMotion:
        // Motion comes in floods: one report per turn of the event loop.
        if (!m_motionPending) {
            m_motionPending = true;
            QTimer::singleShot(0, this, &X11GlobalInputMonitor::deliverPendingMotion);
        }
        return;
    default:
        return;
    }
}

void X11GlobalInputMonitor::deliverPendingMotion()
{
    m_motionPending = false;
    if (!m_connection.display())
        return;
    const Pointer pointer = queryPointer(m_connection.display(), m_connection.rootWindow());
    if (ownWindowAt(pointer.child))
        return;
    GlobalInputEvent event;
    event.type = Type::mouseMoved;
    event.position = pointer.position;
    deliver(event);
}

void X11GlobalInputMonitor::deliver(GlobalInputEvent event)
{
    for (const auto& [keycode, presses] : m_heldModifierKeys) {
        for (const auto& [modifierKey, modifier] : m_modifierKeys) {
            if (modifierKey == keycode)
                event.modifiers |= modifier;
        }
    }
    // A handler may add or remove monitors.
    std::vector<Handler> handlers;
    for (const auto& [token, monitor] : m_monitors) {
        if (monitor.types.testFlag(event.type))
            handlers.push_back(monitor.handler);
    }
    for (const Handler& handler : handlers)
        handler(event);
}

}  // namespace mendo
