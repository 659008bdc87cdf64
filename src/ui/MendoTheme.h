#pragma once

#include "model/SettingsValueTypes.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <array>
#include <optional>

namespace mendo {

class SystemTransparency;

enum class ColorScheme { light, dark };

// The two colours the theme takes from the desktop instead of its tables.
struct SystemColors {
    QColor accent;
    QColor windowBackground;

    static SystemColors fromPalette(const QPalette& palette);
    // From the application palette (the desktop's theme).
    static SystemColors current();
};

// Colours of each appearance mode, and the surface mode the desktop asks for.
// Everything here is a pure function of its arguments except the defaults
// that read the application palette.
namespace theme {

QColor withOpacity(QColor color, double opacity);
// `base` at a size in pixels, so that the panels' texts keep their sizes
// whatever the desktop's font scale.
QFont sizedFont(QFont base, int pixels, QFont::Weight weight = QFont::Normal);

QColor accentColor(AppearanceMode mode, const SystemColors& system = SystemColors::current());
std::array<QColor, 2> backgroundColors(AppearanceMode mode);
QColor surfaceTint(AppearanceMode mode);
QColor systemSolidGlassOverlay(AppearanceMode mode, const SystemColors& system = SystemColors::current());
// `colorScheme` is the scheme the view is drawn in; a mode that forces its own
// scheme ignores it.
QColor glassWash(AppearanceMode mode, SurfaceMode surfaceMode, ColorScheme colorScheme);
QColor floatingBorderColor(AppearanceMode mode, SurfaceMode surfaceMode);
// None for `system` (views follow the desktop), dark for every liquid mode.
std::optional<ColorScheme> preferredColorScheme(AppearanceMode mode);

// The desktop's yellow (the bolt of the floating button and the quick panel)
// in the variant of `scheme`.
QColor yellow(ColorScheme scheme);
// The desktop's blue, green and orange (progress, success, warning) in the
// variant of `scheme`.
QColor blue(ColorScheme scheme);
QColor green(ColorScheme scheme);
QColor orange(ColorScheme scheme);

// The scheme a palette draws in, judged by its window colour.
ColorScheme colorSchemeOf(const QPalette& palette);
// `base` with the mode's forced scheme (a dark palette for the liquid modes)
// and the mode's accent as the highlight that tints controls.
QPalette palette(AppearanceMode mode, const QPalette& base);

// Solid when the user asked for less transparency; else the glass-diffusion
// setting of the application's defaults when it is an integer, else that of
// the desktop-wide defaults; translucent when neither says otherwise.
SurfaceMode systemResolvedSurfaceMode(const SystemTransparency& system);

}  // namespace theme
}  // namespace mendo
