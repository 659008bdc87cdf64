#include "shell/DesktopWindowCommands.h"

#include "base/Async.h"
#include "desktop/BuiltInDisplayService.h"
#include "desktop/ChromeAppWindowService.h"
#include "desktop/WindowTilingService.h"

namespace mendo {

DesktopWindowCommands::DesktopWindowCommands(
    WindowTilingService& tiling, BuiltInDisplayService& builtInDisplay, ChromeAppWindowService* appWindows)
    : m_tiling(tiling)
    , m_builtInDisplay(builtInDisplay)
    , m_appWindows(appWindows)
{
}

void DesktopWindowCommands::tileFocusedWindow(WindowTileSlot slot)
{
    detach(m_tiling.tileFocusedWindow(slot));
}

void DesktopWindowCommands::swapFocusedWindow(WindowSwapDirection direction)
{
    detach(m_tiling.swapFocusedWindow(direction));
}

bool DesktopWindowCommands::popOutActiveTabIfNeeded(WindowTileSlot slot)
{
    return m_appWindows && m_appWindows->popOutActiveTabIfNeeded(slot);
}

void DesktopWindowCommands::tileAllWindows()
{
    detach(m_tiling.tileAllWindows());
}

bool DesktopWindowCommands::builtInDisplayDisabled() const
{
    return m_builtInDisplay.disabledDisplayID().has_value();
}

void DesktopWindowCommands::disableBuiltIn()
{
    m_builtInDisplay.disableBuiltIn();
}

void DesktopWindowCommands::enableBuiltIn()
{
    m_builtInDisplay.enableBuiltIn();
}

}  // namespace mendo
