#include "settings/SettingsBackdrops.h"

#include "ui/MendoTheme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace mendo {

namespace settings_look {

double windowGradientOpacity(AppearanceMode mode, SurfaceMode systemSurface)
{
    if (mode == AppearanceMode::system)
        return 0;
    return systemSurface == SurfaceMode::solid ? 0.18 : 0.08;
}

double sidebarTintOpacity(AppearanceMode mode, SurfaceMode systemSurface)
{
    if (mode == AppearanceMode::system)
        return 0;
    return systemSurface == SurfaceMode::solid ? 0.045 : 0.025;
}

QColor separatorColor(AppearanceMode mode, const QPalette& palette)
{
    const QColor line = mode == AppearanceMode::system ? palette.color(QPalette::Mid)
                                                       : theme::withOpacity(Qt::white, 0.08);
    return theme::withOpacity(line, 0.55);
}

}  // namespace settings_look

SettingsWindowBackdrop::SettingsWindowBackdrop(QWidget* parent)
    : VisualEffectBackground(VisualEffectMaterial::underWindowBackground, VisualEffectBlendingMode::behindWindow,
        VisualEffectState::active, parent)
{
}

void SettingsWindowBackdrop::setLook(AppearanceMode mode, SurfaceMode systemSurface)
{
    m_mode = mode;
    m_surface = systemSurface;
    update();
}

void SettingsWindowBackdrop::paintEvent(QPaintEvent* event)
{
    VisualEffectBackground::paintEvent(event);
    const double opacity = gradientOpacity();
    if (opacity <= 0)
        return;
    const auto colors = theme::backgroundColors(m_mode);
    QLinearGradient gradient(rect().topLeft(), rect().bottomRight());
    gradient.setColorAt(0, colors[0]);
    gradient.setColorAt(1, colors[1]);
    QPainter painter(this);
    painter.setOpacity(opacity);
    painter.fillRect(rect(), gradient);
}

SettingsSidebarBackdrop::SettingsSidebarBackdrop(QWidget* parent)
    : VisualEffectBackground(
        VisualEffectMaterial::sidebar, VisualEffectBlendingMode::behindWindow, VisualEffectState::active, parent)
{
}

void SettingsSidebarBackdrop::setLook(AppearanceMode mode, SurfaceMode systemSurface)
{
    m_mode = mode;
    m_surface = systemSurface;
    update();
}

QColor SettingsSidebarBackdrop::tint() const
{
    if (m_mode == AppearanceMode::system)
        return QColor(Qt::transparent);
    return theme::withOpacity(theme::surfaceTint(m_mode), tintOpacity());
}

void SettingsSidebarBackdrop::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = rect();
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    const qreal leading = 18;
    const qreal trailing = 10;
    const qreal left = rightToLeft ? trailing : leading;
    const qreal right = rightToLeft ? leading : trailing;
    QPainterPath outline;
    outline.moveTo(box.left() + left, box.top());
    outline.lineTo(box.right() - right, box.top());
    outline.quadTo(box.topRight(), QPointF(box.right(), box.top() + right));
    outline.lineTo(box.right(), box.bottom() - right);
    outline.quadTo(box.bottomRight(), QPointF(box.right() - right, box.bottom()));
    outline.lineTo(box.left() + left, box.bottom());
    outline.quadTo(box.bottomLeft(), QPointF(box.left(), box.bottom() - left));
    outline.lineTo(box.left(), box.top() + left);
    outline.quadTo(box.topLeft(), QPointF(box.left() + left, box.top()));
    painter.fillPath(outline, effectiveColor());
    painter.fillPath(outline, tint());
    const qreal x = rightToLeft ? box.left() : box.right() - 1;
    painter.fillRect(QRectF(x, box.top() + 8, 1, box.height() - 16), separator());
}

}  // namespace mendo
