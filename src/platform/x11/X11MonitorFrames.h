#pragma once

#include "platform/VisibleFrame.h"
#include "platform/x11/X11Connection.h"

#include <QList>

#include <optional>
#include <vector>

namespace mendo::x11 {

// Every RandR monitor (those `xrandr --setmonitor` defines included) with its
// visible frame: the monitor less the struts of the dock windows along its
// edges. In the X server's pixels; the primary monitor is marked. Qt's
// available geometry is no substitute: with several monitors it ignores
// the docks.
QList<MonitorFrame> monitorFrames(X11Connection& connection);
// The same with the docks' struts already read.
QList<MonitorFrame> monitorFrames(X11Connection& connection, const QList<DockStrut>& struts);

// The struts of the managed dock windows (_NET_WM_STRUT_PARTIAL, else
// _NET_WM_STRUT), every window asked at once.
QList<DockStrut> dockStruts(X11Connection& connection);

// The strut one window claims, from its _NET_WM_WINDOW_TYPE,
// _NET_WM_STRUT_PARTIAL and _NET_WM_STRUT as read: nothing unless it is a
// dock (`dock`, the type's atom) that claims one. `screen` is the root
// window's size.
std::optional<DockStrut> dockStrut(const std::optional<std::vector<unsigned long>>& types,
    const std::optional<std::vector<unsigned long>>& partial, const std::optional<std::vector<unsigned long>>& whole,
    XAtom dock, QSize screen);

// The root window's size.
QSize screenSize(X11Connection& connection);

}  // namespace mendo::x11
