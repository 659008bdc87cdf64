#include "platform/x11/X11MonitorFrames.h"

#include "platform/x11/X11Errors.h"
#include "platform/x11/X11ReadBatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace mendo::x11 {

QSize screenSize(X11Connection& connection)
{
    Display* display = connection.display();
    if (!display)
        return {};
    return { DisplayWidth(display, DefaultScreen(display)), DisplayHeight(display, DefaultScreen(display)) };
}

std::optional<DockStrut> dockStrut(const std::optional<std::vector<unsigned long>>& types,
    const std::optional<std::vector<unsigned long>>& partial, const std::optional<std::vector<unsigned long>>& whole,
    XAtom dock, QSize screen)
{
    if (!types || std::find(types->begin(), types->end(), dock) == types->end())
        return std::nullopt;
    if (partial && partial->size() >= 12) {
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
        return strut;
    }
    if (whole && whole->size() >= 4) {
        const auto& v = *whole;
        return DockStrut::wholeEdges(int(v[0]), int(v[1]), int(v[2]), int(v[3]), screen);
    }
    return std::nullopt;
}

QList<DockStrut> dockStruts(X11Connection& connection)
{
    if (!connection.display())
        return {};
    QList<DockStrut> struts;
    const QSize screen = screenSize(connection);
    const auto clients = connection.cardinals(connection.rootWindow(), "_NET_CLIENT_LIST", XA_WINDOW);
    if (!clients)
        return struts;
    connection.internAtoms({ "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_STRUT_PARTIAL",
        "_NET_WM_STRUT" });
    const XAtom dock = connection.atom("_NET_WM_WINDOW_TYPE_DOCK");
    struct Reads {
        X11ReadBatch::Handle types, partial, whole;
    };
    X11ReadBatch batch(connection);
    std::vector<Reads> reads;
    reads.reserve(clients->size());
    for (const unsigned long window : *clients) {
        reads.push_back({ batch.cardinals(window, "_NET_WM_WINDOW_TYPE", XA_ATOM),
            batch.cardinals(window, "_NET_WM_STRUT_PARTIAL", XA_CARDINAL),
            batch.cardinals(window, "_NET_WM_STRUT", XA_CARDINAL) });
    }
    batch.wait();
    for (const Reads& r : reads) {
        if (const auto strut = dockStrut(batch.cardinalsAnswer(r.types), batch.cardinalsAnswer(r.partial),
                batch.cardinalsAnswer(r.whole), dock, screen))
            struts << *strut;
    }
    return struts;
}

QList<MonitorFrame> monitorFrames(X11Connection& connection)
{
    return monitorFrames(connection, dockStruts(connection));
}

QList<MonitorFrame> monitorFrames(X11Connection& connection, const QList<DockStrut>& struts)
{
    Display* display = connection.display();
    if (!display)
        return {};
    QList<MonitorFrame> frames;
    const QSize screen = screenSize(connection);
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
