#include "platform/x11/X11MonitorFrames.h"

#include "platform/x11/X11Errors.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace mendo::x11 {

namespace {

QSize rootSize(Display* display)
{
    return { DisplayWidth(display, DefaultScreen(display)), DisplayHeight(display, DefaultScreen(display)) };
}

}  // namespace

QList<DockStrut> dockStruts(X11Connection& connection)
{
    Display* display = connection.display();
    if (!display)
        return {};
    QList<DockStrut> struts;
    const QSize screen = rootSize(display);
    const auto clients = connection.cardinals(connection.rootWindow(), "_NET_CLIENT_LIST", XA_WINDOW);
    if (!clients)
        return struts;
    const XAtom dock = connection.atom("_NET_WM_WINDOW_TYPE_DOCK");
    for (const unsigned long window : *clients) {
        const auto types = connection.cardinals(window, "_NET_WM_WINDOW_TYPE", XA_ATOM);
        if (!types || std::find(types->begin(), types->end(), dock) == types->end())
            continue;
        if (const auto partial = connection.cardinals(window, "_NET_WM_STRUT_PARTIAL", XA_CARDINAL);
            partial && partial->size() >= 12) {
            const auto& v = *partial;
            DockStrut strut;
            strut.left = int(v[0]);
            strut.right = int(v[1]);
            strut.top = int(v[2]);
            strut.bottom = int(v[3]);
            strut.leftStartY = int(v[4]);
            strut.leftEndY = int(v[5]);
            strut.rightStartY = int(v[6]);
            strut.rightEndY = int(v[7]);
            strut.topStartX = int(v[8]);
            strut.topEndX = int(v[9]);
            strut.bottomStartX = int(v[10]);
            strut.bottomEndX = int(v[11]);
            struts << strut;
        } else if (const auto whole = connection.cardinals(window, "_NET_WM_STRUT", XA_CARDINAL);
                   whole && whole->size() >= 4) {
            const auto& v = *whole;
            struts << DockStrut::wholeEdges(int(v[0]), int(v[1]), int(v[2]), int(v[3]), screen);
        }
    }
    return struts;
}

QList<MonitorFrame> monitorFrames(X11Connection& connection)
{
    Display* display = connection.display();
    if (!display)
        return {};
    QList<MonitorFrame> frames;
    const QSize screen = rootSize(display);
    const QList<DockStrut> struts = dockStruts(connection);
    int count = 0;
    XRRMonitorInfo* monitors = nullptr;
    {
        X11ErrorTrap trap(display);
        monitors = XRRGetMonitors(display, connection.rootWindow(), True, &count);
    }
    for (int i = 0; monitors && i < count; ++i) {
        const QRect frame(monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height);
        frames << MonitorFrame { frame, visibleFrame(frame, struts, screen), monitors[i].primary != 0 };
    }
    if (monitors)
        XRRFreeMonitors(monitors);
    if (frames.isEmpty()) {
        // No RandR: the screen is the one monitor.
        const QRect frame(QPoint(0, 0), screen);
        frames << MonitorFrame { frame, visibleFrame(frame, struts, screen), true };
    }
    return frames;
}

}  // namespace mendo::x11
