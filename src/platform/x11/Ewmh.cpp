#include "platform/x11/Ewmh.h"

#include "platform/x11/X11Errors.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>

namespace mendo::x11::ewmh {

std::optional<XWindow> activeWindow(X11Connection& connection)
{
    const auto values = connection.cardinals(connection.rootWindow(), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    if (!values || values->empty() || values->front() == 0)
        return std::nullopt;
    return values->front();
}

std::optional<qint32> processId(X11Connection& connection, XWindow window)
{
    const auto values = connection.cardinals(window, "_NET_WM_PID", XA_CARDINAL);
    if (!values || values->empty() || values->front() == 0)
        return std::nullopt;
    return qint32(values->front());
}

std::optional<WindowClass> windowClass(X11Connection& connection, XWindow window)
{
    const auto raw = connection.bytes(window, "WM_CLASS", XA_STRING);
    if (!raw || raw->isEmpty())
        return std::nullopt;
    // "instance\0class\0"; a malformed value without the second part has no class.
    const QList<QByteArray> parts = raw->split('\0');
    WindowClass result;
    result.instance = QString::fromLocal8Bit(parts.value(0));
    result.className = QString::fromLocal8Bit(parts.value(1));
    return result;
}

std::vector<XWindow> clientsTopFirst(X11Connection& connection)
{
    auto stacking = connection.cardinals(connection.rootWindow(), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    if (!stacking)
        stacking = connection.cardinals(connection.rootWindow(), "_NET_CLIENT_LIST", XA_WINDOW);
    if (!stacking)
        return {};
    std::vector<XWindow> windows(stacking->rbegin(), stacking->rend());
    const XAtom dock = connection.atom("_NET_WM_WINDOW_TYPE_DOCK");
    std::erase_if(windows, [&](XWindow window) {
        const auto types = connection.cardinals(window, "_NET_WM_WINDOW_TYPE", XA_ATOM);
        return types && std::find(types->begin(), types->end(), dock) != types->end();
    });
    return windows;
}

bool requestActivation(X11Connection& connection, XWindow window)
{
    if (!connection.windowExists(window))
        return false;
    Display* display = connection.display();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = connection.atom("_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // source: pager
    event.xclient.data.l[1] = CurrentTime;
    event.xclient.data.l[2] = 0;
    X11ErrorTrap trap(display);
    XSendEvent(display, connection.rootWindow(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    return !trap.sync();
}

}  // namespace mendo::x11::ewmh
