#pragma once

#include "input/WindowCommands.h"

namespace mendo {

class ChromeAppWindowService;
class WindowTilingService;

// The window commands of the tiling hotkeys: tiling and tile-all go to the
// tiling service, which runs them one at a time; the browser pop-out goes to
// the app-window service (declining without one). Swapping and the built-in
// display do nothing yet.
class DesktopWindowCommands final : public WindowCommands {
public:
    explicit DesktopWindowCommands(WindowTilingService& tiling);

    void tileFocusedWindow(WindowTileSlot slot) override;
    void swapFocusedWindow(WindowSwapDirection) override { }
    void tileAllWindows() override;
    bool popOutActiveTabIfNeeded(WindowTileSlot slot) override;
    bool builtInDisplayDisabled() const override { return false; }
    void disableBuiltIn() override { }
    void enableBuiltIn() override { }

    void setAppWindows(ChromeAppWindowService* appWindows) { m_appWindows = appWindows; }

private:
    WindowTilingService& m_tiling;
    ChromeAppWindowService* m_appWindows = nullptr;
};

}  // namespace mendo
