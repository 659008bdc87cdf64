#pragma once

// The windows a process shows, as the X server has them: its top-level
// windows, its menus and an icon docked into a tray host. For tests that look
// at another process from outside.

#include "platform/x11/X11Errors.h"

#include <QList>
#include <QRect>

#include <optional>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace mendo::testing {

// The process that says it owns the window (_NET_WM_PID); -1 when none does.
inline qint64 windowPid(Display* d, Window window)
{
    // Atoms are the server's: one lookup serves every connection to it.
    static const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long rest = 0;
    unsigned char* data = nullptr;
    qint64 pid = -1;
    if (XGetWindowProperty(d, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &rest, &data)
            == Success
        && data && count == 1 && format == 32)
        pid = qint64(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

struct ShownWindow {
    QRect geometry;  // on the screen
    bool docked = false;  // not a child of the root window
    bool popup = false;  // override-redirect, as menus are
};

// The viewable windows of a process, wherever they sit in the tree.
inline QList<ShownWindow> shownWindows(Display* d, qint64 pid)
{
    x11::X11ErrorTrap trap(d);  // windows may go while we look
    const Window root = DefaultRootWindow(d);
    QList<ShownWindow> found;
    QList<Window> pending { root };
    while (!pending.isEmpty()) {
        const Window window = pending.takeLast();
        Window rootReturn = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(d, window, &rootReturn, &parent, &children, &count))
            continue;
        for (unsigned int i = 0; i < count; ++i)
            pending.append(children[i]);
        if (children)
            XFree(children);
        XWindowAttributes attributes {};
        if (window == root || windowPid(d, window) != pid || !XGetWindowAttributes(d, window, &attributes)
            || attributes.map_state != IsViewable)
            continue;
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(d, window, root, 0, 0, &x, &y, &child);
        found.append(
            { QRect(x, y, attributes.width, attributes.height), parent != root, attributes.override_redirect != 0 });
    }
    trap.sync();
    return found;
}

// Where the process's tray icon shows: a small window mapped inside the tray
// host's window, not a child of the root.
inline std::optional<QRect> dockedIcon(Display* d, qint64 pid)
{
    for (const ShownWindow& window : shownWindows(d, pid))
        if (window.docked && window.geometry.width() <= 64)
            return window.geometry;
    return std::nullopt;
}

}  // namespace mendo::testing
