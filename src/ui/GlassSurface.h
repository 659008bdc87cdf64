#pragma once

#include "ui/MendoTheme.h"

#include <QAbstractButton>
#include <QImage>
#include <QMargins>
#include <QPainterPath>
#include <QWidget>
#include <functional>

namespace mendo {

// The drawn glass card: material, wash, sheen and glows behind the content,
// a two-stroke rim over it, and a soft drop shadow outside it.
struct LiquidGlassSurfaceModifier {
    ColorScheme colorScheme = ColorScheme::dark;  // the scheme the card is drawn in
    AppearanceMode mode = AppearanceMode::system;
    SurfaceMode surfaceMode = SurfaceMode::translucent;
    qreal cornerRadius = 0;
    bool shadow = false;
    double accentStrength = 1.0;

    static QPainterPath shape(const QRectF& card, qreal radius);
    // Room the shadow needs around the card (blur 26, 16 downwards).
    static QMargins shadowMargins();

    // `material` is the colour of the layer the glass is laid on; with
    // `opaque` (no compositor blends the window) it is painted fully opaque
    // so that nothing undefined shows through.
    void paintBackground(QPainter& painter, const QRectF& card, const QColor& material, bool opaque) const;
    void paintRim(QPainter& painter, const QRectF& card) const;
    // The shadow as painted around `card`; `cache` keeps the blurred mask
    // between paints of one size.
    void paintShadow(QPainter& painter, const QRectF& card, QImage& cache) const;

    // The stops of the sheen, glows and rim, exposed for the painting code
    // and its checks.
    QColor topGlowColor() const;
    qreal topGlowRadius() const;
    std::optional<QColor> tintGlowColor() const;  // none in `system` mode
    qreal tintGlowRadius() const;
    QColor shadowColor() const;  // clear when there is no shadow
};

// The surface every floating panel wears: a glass card in the colours of the
// appearance mode, with the mode's accent as the tint of the controls inside
// and its forced colour scheme. Put the panel's widgets into content(), which
// is clipped to the card.
class MendoFloatingSurface : public QWidget {
    Q_OBJECT
public:
    MendoFloatingSurface(AppearanceMode mode, SurfaceMode surfaceMode, qreal cornerRadius, QWidget* parent = nullptr);

    void setAppearance(AppearanceMode mode, SurfaceMode surfaceMode);
    AppearanceMode mode() const { return m_glass.mode; }
    SurfaceMode surfaceMode() const { return m_glass.surfaceMode; }
    const LiquidGlassSurfaceModifier& glass() const { return m_glass; }

    // True when a compositor blends the window: then the card is translucent
    // (set it before the window is first shown)
    // and casts its shadow inside the window's margins. Otherwise the card is
    // opaque and, as a window, shaped to its rounded outline.
    void setTranslucentWindow(bool translucent);
    bool translucentWindow() const { return m_translucentWindow; }
    // A card that fills a panel's own margin casts no shadow (the status
    // display's); the shadow is on by default.
    void setShadow(bool shadow);

    QWidget* content() const { return m_content; }
    QRectF cardRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyPalette();
    void relayout();

    LiquidGlassSurfaceModifier m_glass;
    bool m_translucentWindow = false;
    bool m_applyingPalette = false;
    QWidget* m_content = nullptr;
    QWidget* m_rim = nullptr;
    QImage m_shadowCache;
};

// The small round close button of the panels: a red disc whose cross shows
// while the pointer is over it; the whole 18 x 18 square takes clicks.
class MacCloseButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit MacCloseButton(std::function<void()> action, QWidget* parent = nullptr);

    bool isHovered() const { return m_hovered; }
    QSize sizeHint() const override { return { 18, 18 }; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_hovered = false;
};

// Lays a close button running `action` over `view`'s top-left corner, 12
// points in from the top and the left edge.
MacCloseButton* panelCloseButton(QWidget* view, std::function<void()> action);

}  // namespace mendo
