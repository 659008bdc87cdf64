#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace mendo {

// The space a dock window (a panel, a taskbar) keeps free along the edges of
// the whole screen, as _NET_WM_STRUT_PARTIAL states it: a width or height
// from each edge of the root window, and the span along that edge it covers
// (first and last pixel, inclusive).
struct DockStrut {
    int left = 0, right = 0, top = 0, bottom = 0;
    int leftStartY = 0, leftEndY = 0, rightStartY = 0, rightEndY = 0;
    int topStartX = 0, topEndX = 0, bottomStartX = 0, bottomEndX = 0;

    // A strut without spans (the older _NET_WM_STRUT) covers its whole edge.
    static DockStrut wholeEdges(int left, int right, int top, int bottom, QSize screen);
};

// One monitor with the part of it windows may use.
struct MonitorFrame {
    QRect frame;
    QRect visibleFrame;  // the frame less the docks along its edges
    bool primary = false;

    bool operator==(const MonitorFrame&) const = default;
};

// `monitor` less every strut that reaches into it from an edge of the screen
// (`screen` is the root window's size). A strut that covers none of the
// monitor's span along its edge, or stops short of it, leaves it alone.
// Never empty unless `monitor` is: docks covering the whole monitor leave it
// as it is.
QRect visibleFrame(const QRect& monitor, const QList<DockStrut>& struts, QSize screen);

}  // namespace mendo
