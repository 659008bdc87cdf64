#include "platform/VisibleFrame.h"

#include <algorithm>

namespace mendo {

DockStrut DockStrut::wholeEdges(int left, int right, int top, int bottom, QSize screen)
{
    DockStrut strut;
    strut.left = left;
    strut.right = right;
    strut.top = top;
    strut.bottom = bottom;
    strut.leftStartY = strut.rightStartY = 0;
    strut.leftEndY = strut.rightEndY = screen.height() - 1;
    strut.topStartX = strut.bottomStartX = 0;
    strut.topEndX = strut.bottomEndX = screen.width() - 1;
    return strut;
}

namespace {

bool spans(int start, int end, int low, int high)
{
    return start <= high && end >= low;
}

}  // namespace

QRect visibleFrame(const QRect& monitor, const QList<DockStrut>& struts, QSize screen)
{
    if (monitor.isEmpty())
        return monitor;
    // Edges as exclusive coordinates, so that widths need no +1.
    int left = monitor.x();
    int top = monitor.y();
    int right = monitor.x() + monitor.width();
    int bottom = monitor.y() + monitor.height();
    const int monitorTop = top, monitorBottom = bottom - 1, monitorLeft = left, monitorRight = right - 1;
    for (const DockStrut& strut : struts) {
        if (strut.left > 0 && spans(strut.leftStartY, strut.leftEndY, monitorTop, monitorBottom))
            left = std::max(left, strut.left);
        if (strut.right > 0 && spans(strut.rightStartY, strut.rightEndY, monitorTop, monitorBottom))
            right = std::min(right, screen.width() - strut.right);
        if (strut.top > 0 && spans(strut.topStartX, strut.topEndX, monitorLeft, monitorRight))
            top = std::max(top, strut.top);
        if (strut.bottom > 0 && spans(strut.bottomStartX, strut.bottomEndX, monitorLeft, monitorRight))
            bottom = std::min(bottom, screen.height() - strut.bottom);
    }
    if (right <= left || bottom <= top)
        return monitor;
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace mendo
