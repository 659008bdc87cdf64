#pragma once

#include "model/SettingsValueTypes.h"
#include "ui/NativeMaterials.h"

#include <QColor>

namespace mendo {

// How the settings window lays its appearance over the window materials. The
// surface mode is the one the desktop asks for, never the user's setting.
namespace settings_look {

// The appearance's background gradient over the window: none for `system`.
double windowGradientOpacity(AppearanceMode mode, SurfaceMode systemSurface);
// The appearance's surface tint over the sidebar: none for `system`.
double sidebarTintOpacity(AppearanceMode mode, SurfaceMode systemSurface);
// The line between the sidebar and the page: faint white over an
// appearance, the desktop's separator tone under `system`.
QColor separatorColor(AppearanceMode mode, const QPalette& palette);

}  // namespace settings_look

// The window's backdrop: the under-window material and, for an appearance
// other than `system`, its background gradient from the top-leading to the
// bottom-trailing corner.
class SettingsWindowBackdrop : public VisualEffectBackground {
    Q_OBJECT
public:
    explicit SettingsWindowBackdrop(QWidget* parent = nullptr);

    void setLook(AppearanceMode mode, SurfaceMode systemSurface);
    AppearanceMode mode() const { return m_mode; }
    SurfaceMode surfaceMode() const { return m_surface; }
    double gradientOpacity() const { return settings_look::windowGradientOpacity(m_mode, m_surface); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AppearanceMode m_mode = AppearanceMode::system;
    SurfaceMode m_surface = SurfaceMode::translucent;
};

// The sidebar's backdrop: the sidebar material with the appearance's tint,
// in a rounded outline (18 at the leading corners, 10 at the trailing ones),
// and the separator along its trailing edge.
class SettingsSidebarBackdrop : public VisualEffectBackground {
    Q_OBJECT
public:
    explicit SettingsSidebarBackdrop(QWidget* parent = nullptr);

    void setLook(AppearanceMode mode, SurfaceMode systemSurface);
    AppearanceMode mode() const { return m_mode; }
    SurfaceMode surfaceMode() const { return m_surface; }
    double tintOpacity() const { return settings_look::sidebarTintOpacity(m_mode, m_surface); }
    // The tint as painted: clear under `system`.
    QColor tint() const;
    QColor separator() const { return settings_look::separatorColor(m_mode, palette()); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AppearanceMode m_mode = AppearanceMode::system;
    SurfaceMode m_surface = SurfaceMode::translucent;
};

}  // namespace mendo
