#pragma once

#include "platform/VisibleFrame.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace mendo {

// Where a panel appears relative to the pointer, in device-independent
// pixels: its left edge `right` pixels right of the pointer, and its top edge
// (or, with `bottomEdge`, its bottom edge) `above` pixels above it. The panel
// is kept `margin` pixels inside the visible frame.
struct PointerOffsets {
    int right = 0;
    int above = 0;
    bool bottomEdge = false;
    int margin = 0;

    // The quick panel, the assistant, the translation preview and the
    // clipboard window: top edge 18 above, left edge 14 right, 16 inside.
    static constexpr PointerOffsets panel() { return { 14, 18, false, 16 }; }
    // The floating button: bottom edge 8 above, left edge 12 right, 12 inside.
    static constexpr PointerOffsets floatingButton() { return { 12, 8, true, 12 }; }
};

// The monitor a panel opens on: the one whose frame holds `point`, else the
// primary one, else none.
const MonitorFrame* monitorAt(const QList<MonitorFrame>& monitors, QPoint point);

// The visible frame of the monitor under `pointer` (the main screen), an
// empty rectangle at the origin when there is no monitor.
QRect mainVisibleFrame(const QList<MonitorFrame>& monitors, QPoint pointer);

// The top-left corner of a panel of `size` placed near `pointer` on the
// monitor under it. When the panel does not fit, the right and top limits
// win: it stands `margin` inside the right and top edges.
QPoint placeNearPointer(QPoint pointer, const QList<MonitorFrame>& monitors, QSize size, PointerOffsets offsets);

// The top-left corner of a panel centred across the main screen's visible
// frame with its bottom edge `aboveBottom` pixels above the frame's bottom.
QPoint placeAboveBottom(QPoint pointer, const QList<MonitorFrame>& monitors, QSize size, int aboveBottom);

}  // namespace mendo
