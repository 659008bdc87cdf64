#pragma once

#include "platform/x11/X11Connection.h"

#include <QString>

#include <optional>
#include <vector>

namespace mendo::x11 {

// WM_CLASS: the instance (res_name) and the class (res_class).
struct WindowClass {
    QString instance;
    QString className;
};

// The window-manager facts MendoAI reads about other applications' windows.
// A window id may name a window that has just been destroyed: every query
// then gives nothing.
namespace ewmh {

// _NET_ACTIVE_WINDOW of the root window; nothing when none is active.
std::optional<XWindow> activeWindow(X11Connection& connection);
// _NET_WM_PID; nothing when the window does not set it (xmessage, say).
std::optional<qint32> processId(X11Connection& connection, XWindow window);
std::optional<WindowClass> windowClass(X11Connection& connection, XWindow window);
// Managed top-level windows from the top of the stack down, without docks
// (a tray host or panel is not an application's window).
std::vector<XWindow> clientsTopFirst(X11Connection& connection);
// Asks the window manager to activate the window, as a pager would (source 2,
// which focus-stealing prevention lets through). False when the window is gone.
bool requestActivation(X11Connection& connection, XWindow window);

}  // namespace ewmh

}  // namespace mendo::x11
