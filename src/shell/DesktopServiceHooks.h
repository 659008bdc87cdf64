#pragma once

#include "desktop/WindowDragSwapMonitor.h"

namespace mendo {

// What the application delegate asks of the built-in display switch: put the
// built-in display back on at launch when a previous run left it off, and at
// termination when this run switched it off.
class BuiltInDisplayControl {
public:
    virtual ~BuiltInDisplayControl() = default;
    virtual void restoreAfterPreviousLaunch() = 0;
    virtual void enableBuiltIn() = 0;
};

// The drag-to-swap monitor; starting it twice installs one monitor.
class DragSwapMonitorControl {
public:
    virtual ~DragSwapMonitorControl() = default;
    virtual void start() = 0;
};

// The drag-to-swap monitor the delegate starts at launch.
class WindowDragSwapMonitorControl final : public DragSwapMonitorControl {
public:
    WindowDragSwapMonitorControl(GlobalInputMonitor& input, UserDefaults& defaults, WindowTilingService& tiling)
        : m_monitor(input, defaults, tiling)
    {
    }
    void start() override { m_monitor.start(); }

private:
    WindowDragSwapMonitor m_monitor;
};

}  // namespace mendo
