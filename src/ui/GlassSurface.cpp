#include "ui/GlassSurface.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QRegion>
#include <algorithm>

namespace mendo {

namespace {

constexpr int kShadowBlur = 26;
constexpr int kShadowOffsetY = 16;

bool solid(SurfaceMode mode)
{
    return mode == SurfaceMode::solid;
}

QColor white(double opacity)
{
    return QColor::fromRgbF(1, 1, 1, float(opacity));
}

QColor black(double opacity)
{
    return QColor::fromRgbF(0, 0, 0, float(opacity));
}

// Three box blurs approximate a Gaussian; applied to the alpha mask only.
void boxBlur(QImage& image, int radius)
{
    if (radius < 1)
        return;
    const int w = image.width();
    const int h = image.height();
    std::vector<uchar> line(size_t(std::max(w, h)));
    const int window = 2 * radius + 1;
    auto pass = [&](bool horizontal) {
        const int outer = horizontal ? h : w;
        const int inner = horizontal ? w : h;
        for (int o = 0; o < outer; ++o) {
            auto at = [&](int i) -> uchar& { return horizontal ? image.scanLine(o)[i] : image.scanLine(i)[o]; };
            for (int i = 0; i < inner; ++i)
                line[size_t(i)] = at(i);
            int sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += (i >= 0 && i < inner) ? line[size_t(i)] : 0;
            for (int i = 0; i < inner; ++i) {
                at(i) = uchar(sum / window);
                const int leaving = i - radius;
                const int entering = i + radius + 1;
                sum -= (leaving >= 0) ? line[size_t(leaving)] : 0;
                sum += (entering < inner) ? line[size_t(entering)] : 0;
            }
        }
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
}

// Strokes the outline inside the card's edge.
void innerBorder(QPainter& painter, const QRectF& card, qreal radius, qreal width, const QBrush& brush)
{
    const qreal inset = width / 2;
    const QPainterPath path = LiquidGlassSurfaceModifier::shape(
        card.adjusted(inset, inset, -inset, -inset), std::max<qreal>(0, radius - inset));
    painter.strokePath(path, QPen(brush, width));
}

}  // namespace

QPainterPath LiquidGlassSurfaceModifier::shape(const QRectF& card, qreal radius)
{
    QPainterPath path;
    const qreal r = std::min({ radius, card.width() / 2, card.height() / 2 });
    path.addRoundedRect(card, r, r);
    return path;
}

QMargins LiquidGlassSurfaceModifier::shadowMargins()
{
    return { kShadowBlur, kShadowBlur - kShadowOffsetY, kShadowBlur, kShadowBlur + kShadowOffsetY };
}

QColor LiquidGlassSurfaceModifier::topGlowColor() const
{
    return white(solid(surfaceMode) ? 0.045 : 0.07);
}

qreal LiquidGlassSurfaceModifier::topGlowRadius() const
{
    return std::max<qreal>(10 * cornerRadius, 120);
}

std::optional<QColor> LiquidGlassSurfaceModifier::tintGlowColor() const
{
    if (mode == AppearanceMode::system)
        return std::nullopt;
    return theme::withOpacity(theme::surfaceTint(mode), (solid(surfaceMode) ? 0.055 : 0.032) * accentStrength);
}

qreal LiquidGlassSurfaceModifier::tintGlowRadius() const
{
    return std::max<qreal>(14 * cornerRadius, 180);
}

QColor LiquidGlassSurfaceModifier::shadowColor() const
{
    if (!shadow)
        return black(0);
    return black(solid(surfaceMode) ? 0.30 : 0.22);
}

void LiquidGlassSurfaceModifier::paintBackground(
    QPainter& painter, const QRectF& card, const QColor& material, bool opaque) const
{
    const bool isSolid = solid(surfaceMode);
    const QPainterPath path = shape(card, cornerRadius);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setClipPath(path);

    // The material: a thicker one for solid surfaces, a thin one for glass.
    painter.fillPath(path, opaque ? material : theme::withOpacity(material, isSolid ? 0.86 : 0.42));
    painter.fillPath(path, theme::glassWash(mode, surfaceMode, colorScheme));

    QLinearGradient sheen(card.topLeft(), card.bottomLeft());
    sheen.setColorAt(0, white(isSolid ? 0.055 : 0.075));
    sheen.setColorAt(0.5, white(0.018));
    sheen.setColorAt(1, black(isSolid ? 0.22 : 0.16));
    painter.fillPath(path, sheen);

    QRadialGradient topGlow(card.topLeft(), topGlowRadius());
    topGlow.setColorAt(0, topGlowColor());
    topGlow.setColorAt(1, white(0));
    painter.fillPath(path, topGlow);

    if (const auto tint = tintGlowColor()) {
        QRadialGradient tintGlow(card.topRight(), tintGlowRadius());
        tintGlow.setColorAt(0, *tint);
        QColor fade = *tint;
        fade.setAlphaF(0);
        tintGlow.setColorAt(1, fade);
        painter.fillPath(path, tintGlow);
    }
    painter.restore();
}

void LiquidGlassSurfaceModifier::paintRim(QPainter& painter, const QRectF& card) const
{
    const bool isSolid = solid(surfaceMode);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(shape(card, cornerRadius));

    QLinearGradient rim(card.topLeft(), card.bottomRight());
    rim.setColorAt(0, white(isSolid ? 0.22 : 0.28));
    rim.setColorAt(0.5, white(isSolid ? 0.075 : 0.1));
    rim.setColorAt(1, black(isSolid ? 0.28 : 0.22));
    innerBorder(painter, card, cornerRadius, 1.0, rim);
    innerBorder(
        painter, card, cornerRadius, 0.5, theme::withOpacity(theme::floatingBorderColor(mode, surfaceMode), 0.55));
    painter.restore();
}

void LiquidGlassSurfaceModifier::paintShadow(QPainter& painter, const QRectF& card, QImage& cache) const
{
    if (!shadow)
        return;
    const QSize size(int(card.width()) + 4 * kShadowBlur, int(card.height()) + 4 * kShadowBlur);
    if (cache.size() != size) {
        cache = QImage(size, QImage::Format_Alpha8);
        cache.fill(0);
        QPainter mask(&cache);
        mask.setRenderHint(QPainter::Antialiasing);
        mask.fillPath(
            shape(QRectF(2 * kShadowBlur, 2 * kShadowBlur, card.width(), card.height()), cornerRadius), Qt::black);
        mask.end();
        boxBlur(cache, kShadowBlur / 3);
    }
    QImage tinted(cache.size(), QImage::Format_ARGB32_Premultiplied);
    tinted.fill(Qt::transparent);
    QPainter colour(&tinted);
    colour.drawImage(0, 0, cache);
    colour.setCompositionMode(QPainter::CompositionMode_SourceIn);
    colour.fillRect(tinted.rect(), shadowColor());
    colour.end();

    painter.save();
    // The card covers its own shadow; only what falls outside it shows.
    QPainterPath outside;
    outside.addRect(QRectF(painter.window()));
    painter.setClipPath(outside.subtracted(shape(card, cornerRadius)));
    painter.drawImage(card.topLeft() + QPointF(-2 * kShadowBlur, -2 * kShadowBlur + kShadowOffsetY), tinted);
    painter.restore();
}

namespace {

// Paints the rim above the panel's own widgets without taking their clicks.
class GlassRim final : public QWidget {
public:
    explicit GlassRim(MendoFloatingSurface* surface)
        : QWidget(surface)
        , m_surface(surface)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_surface->glass().paintRim(painter, m_surface->cardRect());
    }

private:
    MendoFloatingSurface* m_surface;
};

}  // namespace

MendoFloatingSurface::MendoFloatingSurface(
    AppearanceMode mode, SurfaceMode surfaceMode, qreal cornerRadius, QWidget* parent)
    : QWidget(parent)
    , m_content(new QWidget(this))
{
    m_glass.mode = mode;
    m_glass.surfaceMode = surfaceMode;
    m_glass.cornerRadius = cornerRadius;
    m_glass.shadow = true;
    m_glass.accentStrength = 0.9;
    m_content->setAttribute(Qt::WA_NoSystemBackground);
    m_rim = new GlassRim(this);
    applyPalette();
    relayout();
}

void MendoFloatingSurface::setAppearance(AppearanceMode mode, SurfaceMode surfaceMode)
{
    if (m_glass.mode == mode && m_glass.surfaceMode == surfaceMode)
        return;
    m_glass.mode = mode;
    m_glass.surfaceMode = surfaceMode;
    m_shadowCache = {};
    applyPalette();
    update();
    m_rim->update();
}

void MendoFloatingSurface::setTranslucentWindow(bool translucent)
{
    m_translucentWindow = translucent;
    if (isWindow())
        setAttribute(Qt::WA_TranslucentBackground, translucent);
    m_shadowCache = {};
    relayout();
    update();
}

void MendoFloatingSurface::setShadow(bool shadow)
{
    m_glass.shadow = shadow;
    m_shadowCache = {};
    relayout();
    update();
}

QRectF MendoFloatingSurface::cardRect() const
{
    const QMargins margins
        = m_translucentWindow && m_glass.shadow ? LiquidGlassSurfaceModifier::shadowMargins() : QMargins();
    return QRectF(rect().marginsRemoved(margins));
}

void MendoFloatingSurface::applyPalette()
{
    // Liquid modes force the dark scheme; `system` follows the desktop.
    m_applyingPalette = true;
    setPalette(theme::palette(m_glass.mode, QApplication::palette()));
    m_applyingPalette = false;
    m_glass.colorScheme = theme::colorSchemeOf(palette());
}

void MendoFloatingSurface::relayout()
{
    const QRectF card = cardRect();
    m_content->setGeometry(card.toRect());
    const QPainterPath outline
        = LiquidGlassSurfaceModifier::shape(QRectF(QPointF(0, 0), card.size()), m_glass.cornerRadius);
    m_content->setMask(QRegion(outline.toFillPolygon().toPolygon()));
    m_rim->setGeometry(rect());
    m_rim->raise();
    if (isWindow()) {
        if (m_translucentWindow)
            clearMask();
        else
            setMask(QRegion(LiquidGlassSurfaceModifier::shape(card, m_glass.cornerRadius).toFillPolygon().toPolygon()));
    } else if (!mask().isEmpty()) {
        // The shape it had as a window of its own (made without a parent,
        // then laid into a panel) would clip it to its old size.
        clearMask();
    }
}

void MendoFloatingSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF card = cardRect();
    if (m_translucentWindow)
        m_glass.paintShadow(painter, card, m_shadowCache);
    m_glass.paintBackground(painter, card, palette().color(QPalette::Window), !m_translucentWindow);
}

void MendoFloatingSurface::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void MendoFloatingSurface::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_applyingPalette)
        m_glass.colorScheme = theme::colorSchemeOf(palette());
    if (event->type() == QEvent::ParentChange)
        setTranslucentWindow(m_translucentWindow);
}

MacCloseButton::MacCloseButton(std::function<void()> action, QWidget* parent)
    : QAbstractButton(parent)
{
    setFixedSize(18, 18);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Close"));
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, [action = std::move(action)] {
        if (action)
            action();
    });
}

void MacCloseButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    m_hovered = true;
    update();
}

void MacCloseButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    m_hovered = false;
    update();
}

void MacCloseButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(2, 2, 14, 14);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgbF(1.0f, 0.373f, 0.341f));
    painter.drawEllipse(disc);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(black(0.12), 0.5));
    painter.drawEllipse(disc.adjusted(0.25, 0.25, -0.25, -0.25));
    if (m_hovered) {
        // A bold cross the size of an 8-point glyph.
        const QPointF c = disc.center();
        const qreal arm = 2.6;
        painter.setPen(QPen(black(0.55), 1.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(c + QPointF(-arm, -arm), c + QPointF(arm, arm));
        painter.drawLine(c + QPointF(-arm, arm), c + QPointF(arm, -arm));
    }
}

MacCloseButton* panelCloseButton(QWidget* view, std::function<void()> action)
{
    auto* button = new MacCloseButton(std::move(action), view);
    button->move(12, 12);
    button->raise();
    button->show();
    return button;
}

}  // namespace mendo
