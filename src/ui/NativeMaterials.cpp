#include "ui/NativeMaterials.h"

#include "ui/MendoTheme.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace mendo {

VisualEffectBackground::VisualEffectBackground(
    VisualEffectMaterial material, VisualEffectBlendingMode blendingMode, VisualEffectState state, QWidget* parent)
    : QWidget(parent)
    , m_material(material)
    , m_blendingMode(blendingMode)
    , m_state(state)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

void VisualEffectBackground::apply(
    VisualEffectMaterial material, VisualEffectBlendingMode blendingMode, VisualEffectState state)
{
    m_material = material;
    m_blendingMode = blendingMode;
    m_state = state;
    update();
}

QColor VisualEffectBackground::effectiveColor() const
{
    const QColor base = palette().color(QPalette::Window);
    const bool dark = theme::colorSchemeOf(palette()) == ColorScheme::dark;
    // The sidebar sits a step away from the window tone, towards the middle.
    QColor tone = m_material == VisualEffectMaterial::sidebar ? (dark ? base.lighter(118) : base.darker(106)) : base;
    const bool active = m_state == VisualEffectState::active
        || (m_state == VisualEffectState::followsWindowActiveState && isActiveWindow());
    const bool seeThrough = active && m_blendingMode == VisualEffectBlendingMode::behindWindow
        && window()->testAttribute(Qt::WA_TranslucentBackground);
    return seeThrough ? theme::withOpacity(tone, 0.85) : tone;
}

void VisualEffectBackground::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), effectiveColor());
}

void VisualEffectBackground::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && m_state == VisualEffectState::followsWindowActiveState)
        update();
}

WindowDragHandle::WindowDragHandle(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

void WindowDragHandle::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    if (QWindow* handle = window()->windowHandle())
        handle->startSystemMove();
}

}  // namespace mendo
