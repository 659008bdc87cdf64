#pragma once

#include "platform/VisibleFrame.h"

#include <QList>
#include <QPoint>

namespace mendo {

// An X11 window id of one of MendoAI's own windows (QWidget::winId()).
using PanelWindowId = quint64;

// What MendoAI's floating panels need of the desktop: the monitors with their
// visible frames and the pointer (device-independent pixels of the virtual
// desktop), whether a compositor blends windows, and the window manager's
// care for a panel. Main thread.
class PanelDesktop {
public:
    virtual ~PanelDesktop() = default;

    // Every monitor; the primary one is marked (the first when none is).
    virtual QList<MonitorFrame> monitors() = 0;
    virtual QPoint pointerPosition() = 0;
    virtual bool compositorRunning() = 0;

    // Keeps a panel out of the taskbar and pager and shows it on every
    // desktop. Call once its window exists; again after each show is
    // harmless.
    virtual void keepOnEveryDesktop(PanelWindowId window) = 0;
    // Asks the window manager to activate the panel as if the user had
    // asked (source indication 2) with the server's current time: a request
    // with an older time (the last event Qt's own connection saw) loses to a
    // hotkey or click that arrived on another connection.
    virtual void activate(PanelWindowId window) = 0;
};

}  // namespace mendo
