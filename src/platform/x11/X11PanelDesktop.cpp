#include "platform/x11/X11PanelDesktop.h"

#include "platform/x11/X11Errors.h"
#include "platform/x11/X11MonitorFrames.h"

#include <QGuiApplication>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace mendo {

namespace {

qreal pixelRatio()
{
    return qGuiApp ? qMax<qreal>(1.0, qGuiApp->devicePixelRatio()) : 1.0;
}

QRect toPoints(const QRect& pixels, qreal ratio)
{
    if (ratio == 1.0)
        return pixels;
    return QRectF(pixels.x() / ratio, pixels.y() / ratio, pixels.width() / ratio, pixels.height() / ratio)
        .toAlignedRect();
}

void sendToRoot(x11::X11Connection& connection, x11::XWindow window, const char* type, std::initializer_list<long> data)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = connection.atom(type);
    event.xclient.format = 32;
    int i = 0;
    for (const long value : data)
        event.xclient.data.l[i++] = value;
    XSendEvent(connection.display(), connection.rootWindow(), False, SubstructureRedirectMask | SubstructureNotifyMask,
        &event);
}

}  // namespace

X11PanelDesktop::X11PanelDesktop(x11::X11Connection& connection)
    : m_connection(connection)
{
}

X11PanelDesktop::~X11PanelDesktop()
{
    if (m_timeWindow && m_connection.display())
        XDestroyWindow(m_connection.display(), m_timeWindow);
}

QList<MonitorFrame> X11PanelDesktop::monitors()
{
    QList<MonitorFrame> frames = x11::monitorFrames(m_connection);
    const qreal ratio = pixelRatio();
    for (MonitorFrame& frame : frames) {
        frame.frame = toPoints(frame.frame, ratio);
        frame.visibleFrame = toPoints(frame.visibleFrame, ratio);
    }
    return frames;
}

QPoint X11PanelDesktop::pointerPosition()
{
    Display* display = m_connection.display();
    if (!display)
        return {};
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    XQueryPointer(display, m_connection.rootWindow(), &root, &child, &rootX, &rootY, &x, &y, &mask);
    const qreal ratio = pixelRatio();
    return QPointF(rootX / ratio, rootY / ratio).toPoint();
}

bool X11PanelDesktop::compositorRunning()
{
    Display* display = m_connection.display();
    if (!display)
        return false;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
    return XGetSelectionOwner(display, m_connection.atom(name.constData())) != 0;
}

void X11PanelDesktop::keepOnEveryDesktop(PanelWindowId window)
{
    if (!m_connection.display() || window == 0)
        return;
    x11::X11ErrorTrap trap(m_connection.display());
    // A mapped window's desktop and state belong to the window manager: ask.
    sendToRoot(m_connection, window, "_NET_WM_DESKTOP", { long(0xFFFFFFFF), 2 });
    sendToRoot(m_connection, window, "_NET_WM_STATE",
        { 1, long(m_connection.atom("_NET_WM_STATE_SKIP_TASKBAR")), long(m_connection.atom("_NET_WM_STATE_SKIP_PAGER")),
            2 });
    sendToRoot(m_connection, window, "_NET_WM_STATE", { 1, long(m_connection.atom("_NET_WM_STATE_STICKY")), 0, 2 });
    m_connection.flush();
}

unsigned long X11PanelDesktop::serverTime()
{
    Display* display = m_connection.display();
    if (!display)
        return 0;
    if (!m_timeWindow) {
        XSetWindowAttributes attributes {};
        attributes.event_mask = PropertyChangeMask;
        m_timeWindow = XCreateWindow(display, m_connection.rootWindow(), -1, -1, 1, 1, 0, CopyFromParent, InputOnly,
            CopyFromParent, CWEventMask, &attributes);
    }
    // An empty append changes nothing but makes the server stamp a
    // PropertyNotify with its time, which is queued before XSync's reply.
    const x11::XAtom property = m_connection.atom("_MENDO_TIMESTAMP");
    XChangeProperty(display, m_timeWindow, property, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XSync(display, False);
    XEvent event {};
    unsigned long time = 0;
    while (XCheckTypedWindowEvent(display, m_timeWindow, PropertyNotify, &event))
        time = event.xproperty.time;
    // Others' events the sync queued wait for the event loop.
    m_connection.drainEventsLater();
    return time;
}

void X11PanelDesktop::activate(PanelWindowId window)
{
    if (!m_connection.display() || window == 0)
        return;
    const unsigned long time = serverTime();
    x11::X11ErrorTrap trap(m_connection.display());
    sendToRoot(m_connection, window, "_NET_ACTIVE_WINDOW", { 2, long(time), 0 });
    m_connection.flush();
}

}  // namespace mendo
