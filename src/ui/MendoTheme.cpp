#include "ui/MendoTheme.h"

#include "platform/SystemTransparency.h"

#include <QGuiApplication>
#include <cmath>

namespace mendo {

SystemColors SystemColors::fromPalette(const QPalette& palette)
{
    return { palette.color(QPalette::Active, QPalette::Highlight), palette.color(QPalette::Active, QPalette::Window) };
}

SystemColors SystemColors::current()
{
    return fromPalette(QGuiApplication::palette());
}

namespace theme {

namespace {

QColor rgb(double r, double g, double b)
{
    return QColor::fromRgbF(float(r), float(g), float(b));
}

const QColor clear = QColor::fromRgbF(0, 0, 0, 0);
const QColor white = rgb(1, 1, 1);
const QColor black = rgb(0, 0, 0);

struct ModeColors {
    QColor accent, backgroundTop, backgroundBottom, tint;
};

ModeColors liquidColors(AppearanceMode mode)
{
    switch (mode) {
    case AppearanceMode::liquidSky:
        return { rgb(0.25, 0.62, 1.0), rgb(0.12, 0.42, 0.86), rgb(0.05, 0.17, 0.36), rgb(0.18, 0.52, 1.0) };
    case AppearanceMode::liquidViolet:
        return { rgb(0.58, 0.42, 1.0), rgb(0.35, 0.2, 0.86), rgb(0.12, 0.08, 0.32), rgb(0.48, 0.3, 1.0) };
    case AppearanceMode::liquidMint:
        return { rgb(0.2, 0.78, 0.58), rgb(0.08, 0.54, 0.42), rgb(0.04, 0.22, 0.18), rgb(0.1, 0.66, 0.48) };
    case AppearanceMode::liquidRose:
        return { rgb(1.0, 0.38, 0.62), rgb(0.78, 0.2, 0.42), rgb(0.3, 0.08, 0.18), rgb(1.0, 0.28, 0.5) };
    case AppearanceMode::liquidNoir:
        return { rgb(0.64, 0.66, 0.72), rgb(0.08, 0.09, 0.11), rgb(0.02, 0.02, 0.03), rgb(0.12, 0.13, 0.16) };
    case AppearanceMode::system:
        break;
    }
    return { clear, clear, clear, clear };
}

// An integer as the defaults store it: an integer or a boolean number, or a
// floating-point number without a fraction. Text never counts.
std::optional<qint64> readsAsInteger(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return value.toLongLong();
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (std::isfinite(d) && std::trunc(d) == d && std::abs(d) < 9.0e18)
            return qint64(d);
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

}  // namespace

QColor yellow(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(0xff, 0xd6, 0x0a) : QColor(0xff, 0xcc, 0x00);
}

QColor blue(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(0x0a, 0x84, 0xff) : QColor(0x00, 0x7a, 0xff);
}

QColor green(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(0x30, 0xd1, 0x58) : QColor(0x34, 0xc7, 0x59);
}

QColor orange(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(0xff, 0x9f, 0x0a) : QColor(0xff, 0x95, 0x00);
}

QFont sizedFont(QFont base, int pixels, QFont::Weight weight)
{
    base.setPixelSize(pixels);
    base.setWeight(weight);
    return base;
}

QColor withOpacity(QColor color, double opacity)
{
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

QColor accentColor(AppearanceMode mode, const SystemColors& system)
{
    return mode == AppearanceMode::system ? system.accent : liquidColors(mode).accent;
}

std::array<QColor, 2> backgroundColors(AppearanceMode mode)
{
    const ModeColors colors = liquidColors(mode);
    return { colors.backgroundTop, colors.backgroundBottom };
}

QColor surfaceTint(AppearanceMode mode)
{
    return liquidColors(mode).tint;
}

std::optional<ColorScheme> preferredColorScheme(AppearanceMode mode)
{
    if (mode == AppearanceMode::system)
        return std::nullopt;
    return ColorScheme::dark;
}

QColor systemSolidGlassOverlay(AppearanceMode mode, const SystemColors& system)
{
    if (!preferredColorScheme(mode))
        return withOpacity(system.windowBackground, 0.12);
    return withOpacity(rgb(0.11, 0.11, 0.115), 0.16);
}

QColor glassWash(AppearanceMode mode, SurfaceMode surfaceMode, ColorScheme colorScheme)
{
    const ColorScheme effective = preferredColorScheme(mode).value_or(colorScheme);
    const bool solid = surfaceMode == SurfaceMode::solid;
    if (effective == ColorScheme::light)
        return withOpacity(white, solid ? 0.34 : 0.18);
    return withOpacity(black, solid ? 0.36 : 0.24);
}

QColor floatingBorderColor(AppearanceMode mode, SurfaceMode surfaceMode)
{
    if (surfaceMode == SurfaceMode::translucent)
        return withOpacity(white, 0.16);
    return withOpacity(white, preferredColorScheme(mode) ? 0.12 : 0.10);
}

ColorScheme colorSchemeOf(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightnessF() < 0.5 ? ColorScheme::dark : ColorScheme::light;
}

QPalette palette(AppearanceMode mode, const QPalette& base)
{
    QPalette result = base;
    if (preferredColorScheme(mode) == ColorScheme::dark && colorSchemeOf(base) != ColorScheme::dark) {
        const QColor window = rgb(0.11, 0.11, 0.115);
        const QColor text = rgb(0.95, 0.95, 0.96);
        result.setColor(QPalette::Window, window);
        result.setColor(QPalette::WindowText, text);
        result.setColor(QPalette::Base, rgb(0.16, 0.16, 0.17));
        result.setColor(QPalette::AlternateBase, rgb(0.2, 0.2, 0.21));
        result.setColor(QPalette::Text, text);
        result.setColor(QPalette::Button, rgb(0.22, 0.22, 0.23));
        result.setColor(QPalette::ButtonText, text);
        result.setColor(QPalette::ToolTipBase, window);
        result.setColor(QPalette::ToolTipText, text);
        result.setColor(QPalette::PlaceholderText, withOpacity(text, 0.5));
        result.setColor(QPalette::BrightText, white);
        result.setColor(QPalette::Light, rgb(0.3, 0.3, 0.31));
        result.setColor(QPalette::Midlight, rgb(0.25, 0.25, 0.26));
        result.setColor(QPalette::Mid, rgb(0.18, 0.18, 0.19));
        result.setColor(QPalette::Dark, rgb(0.08, 0.08, 0.085));
        result.setColor(QPalette::Shadow, black);
        result.setColor(QPalette::Disabled, QPalette::WindowText, withOpacity(text, 0.4));
        result.setColor(QPalette::Disabled, QPalette::Text, withOpacity(text, 0.4));
        result.setColor(QPalette::Disabled, QPalette::ButtonText, withOpacity(text, 0.4));
    }
    if (mode != AppearanceMode::system) {
        result.setColor(QPalette::Highlight, accentColor(mode));
        result.setColor(QPalette::HighlightedText, white);
        result.setColor(QPalette::Link, accentColor(mode));
    }
    return result;
}

SurfaceMode systemResolvedSurfaceMode(const SystemTransparency& system)
{
    if (system.reduceTransparency())
        return SurfaceMode::solid;
    if (const auto value = system.glassDiffusion()) {
        if (const auto number = readsAsInteger(*value))
            return *number != 0 ? SurfaceMode::solid : SurfaceMode::translucent;
    }
    if (const auto value = system.globalGlassDiffusion()) {
        if (const auto number = readsAsInteger(*value))
            return *number != 0 ? SurfaceMode::solid : SurfaceMode::translucent;
    }
    return SurfaceMode::translucent;
}

}  // namespace theme
}  // namespace mendo
