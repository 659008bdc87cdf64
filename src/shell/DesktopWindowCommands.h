#pragma once

#include "input/WindowCommands.h"

namespace mendo {

class WindowTilingService;

// The window commands of the tiling hotkeys: tiling, swapping and tile-all go
// to the tiling service, which runs them one at a time. The browser pop-out
// and the built-in display do nothing yet: the pop-out declines, so the
// halves are tiled as they are.
class DesktopWindowCommands final : public WindowCommands {
public:
    explicit DesktopWindowCommands(WindowTilingService& tiling);

    void tileFocusedWindow(WindowTileSlot slot) override;
    void swapFocusedWindow(WindowSwapDirection direction) override;
    void tileAllWindows() override;
    bool popOutActiveTabIfNeeded(WindowTileSlot) override { return false; }
    bool builtInDisplayDisabled() const override { return false; }
    void disableBuiltIn() override { }
    void enableBuiltIn() override { }

private:
    WindowTilingService& m_tiling;
};

}  // namespace mendo
