#include "shell/DesktopWindowCommands.h"

#include "base/Async.h"
#include "desktop/ChromeAppWindowService.h"
#include "desktop/WindowTilingService.h"

namespace mendo {

DesktopWindowCommands::DesktopWindowCommands(WindowTilingService& tiling)
    : m_tiling(tiling)
{
}

void DesktopWindowCommands::tileFocusedWindow(WindowTileSlot slot)
{
    detach(m_tiling.tileFocusedWindow(slot));
}

bool DesktopWindowCommands::popOutActiveTabIfNeeded(WindowTileSlot slot)
{
    return m_appWindows && m_appWindows->popOutActiveTabIfNeeded(slot);
}

void DesktopWindowCommands::tileAllWindows()
{
    detach(m_tiling.tileAllWindows());
}

}  // namespace mendo
