#pragma once

#include "input/WindowCommands.h"

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

// Stand-ins until the desktop utilities exist: nothing is ever switched off,
// so there is nothing to restore, and there is no monitor to start.
class NoBuiltInDisplayControl final : public BuiltInDisplayControl {
public:
    void restoreAfterPreviousLaunch() override { }
    void enableBuiltIn() override { }
};

class NoDragSwapMonitorControl final : public DragSwapMonitorControl {
public:
    void start() override { }
};

// Until window tiling exists its hotkeys register but move nothing.
class NoWindowCommands final : public WindowCommands {
public:
    void tileFocusedWindow(WindowTileSlot) override { }
    void swapFocusedWindow(WindowSwapDirection) override { }
    void tileAllWindows() override { }
    bool popOutActiveTabIfNeeded(WindowTileSlot) override { return false; }
    bool builtInDisplayDisabled() const override { return false; }
    void disableBuiltIn() override { }
    void enableBuiltIn() override { }
};

}  // namespace mendo
