#pragma once

#include "model/WindowTileSlot.h"

namespace mendo {

// The window and display commands that the window-tiling hotkeys run.
class WindowCommands {
public:
    virtual ~WindowCommands() = default;

    virtual void tileFocusedWindow(WindowTileSlot slot) = 0;
    virtual void swapFocusedWindow(WindowSwapDirection direction) = 0;
    virtual void tileAllWindows() = 0;
    // True when a browser tab became an app window tiled to the slot.
    virtual bool popOutActiveTabIfNeeded(WindowTileSlot slot) = 0;

    // Whether the built-in display is the one switched off by us.
    virtual bool builtInDisplayDisabled() const = 0;
    virtual void disableBuiltIn() = 0;
    virtual void enableBuiltIn() = 0;
};

}  // namespace mendo
