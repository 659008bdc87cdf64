#include "shell/DesktopWindowCommands.h"

#include "base/Async.h"
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

void DesktopWindowCommands::swapFocusedWindow(WindowSwapDirection direction)
{
    detach(m_tiling.swapFocusedWindow(direction));
}

void DesktopWindowCommands::tileAllWindows()
{
    detach(m_tiling.tileAllWindows());
}

}  // namespace mendo
