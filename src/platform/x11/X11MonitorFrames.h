#pragma once

#include "platform/VisibleFrame.h"
#include "platform/x11/X11Connection.h"

#include <QList>

namespace mendo::x11 {

// Every RandR monitor (those `xrandr --setmonitor` defines included) with its
// visible frame: the monitor less the struts of the dock windows along its
// edges. In the X server's pixels; the primary monitor is marked. Qt's
// available geometry is no substitute: with several monitors it ignores
// the docks.
QList<MonitorFrame> monitorFrames(X11Connection& connection);

// The struts of the managed dock windows (_NET_WM_STRUT_PARTIAL, else
// _NET_WM_STRUT).
QList<DockStrut> dockStruts(X11Connection& connection);

}  // namespace mendo::x11
