#pragma once

#include "hotkeys/WindowCommands.h"

namespace mendo {

class BuiltInDisplayService;
class ChromeAppWindowService;
class WindowTilingService;

// The window commands of the tiling hotkeys: tiling, swapping and tile-all go
// to the tiling service, which runs them one at a time. The browser pop-out
// goes to the app-window service (declining without one, so the halves are
// tiled as they are). The display toggle goes to the built-in display service.
// Each service must outlive the commands.
class DesktopWindowCommands final : public WindowCommands {
public:
    DesktopWindowCommands(
        WindowTilingService& tiling, BuiltInDisplayService& builtInDisplay, ChromeAppWindowService* appWindows);

    void tileFocusedWindow(WindowTileSlot slot) override;
    void swapFocusedWindow(WindowSwapDirection direction) override;
    void tileAllWindows() override;
    bool popOutActiveTabIfNeeded(WindowTileSlot slot) override;
    bool builtInDisplayDisabled() const override;
    void disableBuiltIn() override;
    void enableBuiltIn() override;

private:
    WindowTilingService& m_tiling;
    BuiltInDisplayService& m_builtInDisplay;
    ChromeAppWindowService* m_appWindows;
};

}  // namespace mendo
