#include "ui/PanelLook.h"

namespace mendo {

PanelLook PanelLook::from(const MendoSettings& settings, SurfaceMode systemSurfaceMode)
{
    const bool solid = settings.surfaceMode == SurfaceMode::solid || systemSurfaceMode == SurfaceMode::solid;
    return { settings.appearanceMode, solid ? SurfaceMode::solid : SurfaceMode::translucent, settings.uiLanguage };
}

}  // namespace mendo
