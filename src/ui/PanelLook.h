#pragma once

#include "base/UiLanguage.h"
#include "model/MendoSettings.h"
#include "model/SettingsValueTypes.h"

namespace mendo {

// What a panel takes from the settings to look right: the appearance, the
// surface (solid when either the user or the desktop asks for it) and the
// interface language.
struct PanelLook {
    AppearanceMode appearance = AppearanceMode::system;
    SurfaceMode surfaceMode = SurfaceMode::translucent;
    UiLanguage language = UiLanguage::en;

    static PanelLook from(const MendoSettings& settings, SurfaceMode systemSurfaceMode);
    friend bool operator==(const PanelLook&, const PanelLook&) = default;
};

}  // namespace mendo
