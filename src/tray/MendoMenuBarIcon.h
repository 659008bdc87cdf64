#pragma once

#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QRectF>

class QPainter;

namespace mendo::MendoMenuBarIcon {

// The design is 18 by 18 units with the origin at the bottom left; every
// size is drawn from it on its own pixel grid, never scaled from another.
inline constexpr double designSize = 18.0;

// "AI" above a small keyboard: light shapes inside a thin dark rim, so that
// it reads on dark and light panels alike (trays do not tint icons).
QImage makeImage(int pixelSize);
// Every size a tray may ask for.
QIcon makeIcon();
// The same drawing as a scalable SVG document (the desktop entry's icon), its
// letters as outlines so that it shows alike without the font.
QByteArray makeSvg();

// The keys, each grown by `grow` pixels on every side (the rim).
void drawKeyboard(QPainter& painter, int pixelSize, const QColor& color, int grow = 0);
// `text` centred in the design rectangle `rect`, moved by `offset` pixels.
void drawCenteredText(
    QPainter& painter, const QString& text, const QRectF& rect, int pixelSize, const QColor& color, QPoint offset = {});

}  // namespace mendo::MendoMenuBarIcon
