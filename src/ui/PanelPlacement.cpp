#include "ui/PanelPlacement.h"

#include <algorithm>

namespace mendo {

const MonitorFrame* monitorAt(const QList<MonitorFrame>& monitors, QPoint point)
{
    for (const MonitorFrame& monitor : monitors) {
        if (monitor.frame.contains(point))
            return &monitor;
    }
    for (const MonitorFrame& monitor : monitors) {
        if (monitor.primary)
            return &monitor;
    }
    return monitors.isEmpty() ? nullptr : &monitors.first();
}

QRect mainVisibleFrame(const QList<MonitorFrame>& monitors, QPoint pointer)
{
    const MonitorFrame* monitor = monitorAt(monitors, pointer);
    return monitor ? monitor->visibleFrame : QRect(0, 0, 0, 0);
}

QPoint placeNearPointer(QPoint pointer, const QList<MonitorFrame>& monitors, QSize size, PointerOffsets offsets)
{
    const QRect area = mainVisibleFrame(monitors, pointer);
    const int areaRight = area.x() + area.width();
    const int areaBottom = area.y() + area.height();
    const int m = offsets.margin;

    // The lower limit first, the upper one last: it wins when the panel is
    // larger than the area.
    int x = std::max(area.x() + m, pointer.x() + offsets.right);
    x = std::min(x, areaRight - size.width() - m);

    const int top = offsets.bottomEdge ? pointer.y() - offsets.above - size.height() : pointer.y() - offsets.above;
    int y = std::min(top, areaBottom - size.height() - m);
    y = std::max(y, area.y() + m);
    return { x, y };
}

QPoint placeAboveBottom(QPoint pointer, const QList<MonitorFrame>& monitors, QSize size, int aboveBottom)
{
    const QRect area = mainVisibleFrame(monitors, pointer);
    // Halves as the layout rounds them: the odd pixel goes to the right.
    return { area.x() + area.width() / 2 - size.width() / 2, area.y() + area.height() - aboveBottom - size.height() };
}

}  // namespace mendo
