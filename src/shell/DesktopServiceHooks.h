#pragma once

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

}  // namespace mendo
