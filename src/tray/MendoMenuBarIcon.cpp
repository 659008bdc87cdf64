#include "tray/MendoMenuBarIcon.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace mendo::MendoMenuBarIcon {

namespace {

const QColor fillColor(246, 246, 248);
const QColor rimColor(20, 20, 24);

struct KeyRow {
    double y;  // the bottom edge
    double height;
    double firstX;
    int count;
    double width;
};

constexpr double keyPitch = 2.48;

// From the top, in design units.
const KeyRow keyRows[] = {
    { 6.0, 1.32, 3.5, 5, 1.9 },
    { 4.15, 1.32, 4.55, 4, 1.9 },
    { 2.25, 1.28, 4.7, 1, 8.6 },
};

// The keys on the pixel grid. At tray sizes the design's gaps are under a
// pixel and rounding each edge would fuse the keys, so every gap keeps at
// least one pixel and each row stays centred where the design has it.
QList<QRect> keyRects(int pixelSize)
{
    const double scale = pixelSize / designSize;
    auto toPixels = [scale](double units) { return int(std::lround(units * scale)); };
    QList<QRect> keys;
    int top = toPixels(designSize - keyRows[0].y - keyRows[0].height);
    for (size_t r = 0; r < std::size(keyRows); ++r) {
        const KeyRow& row = keyRows[r];
        const int height = std::max(1, toPixels(row.height));
        const double span = (row.count - 1) * keyPitch + row.width;
        const int gap = std::max(1, toPixels(keyPitch - row.width));
        const int width = std::max(1, (toPixels(span) - (row.count - 1) * gap) / row.count);
        const int total = row.count * width + (row.count - 1) * gap;
        int left = int(std::lround((row.firstX + span / 2) * scale - total / 2.0));
        for (int k = 0; k < row.count; ++k, left += width + gap)
            keys.append(QRect(left, top, width, height));
        if (r + 1 < std::size(keyRows)) {
            const KeyRow& next = keyRows[r + 1];
            top += height + std::max(1, toPixels(row.y - next.y - next.height));
        }
    }
    return keys;
}

}  // namespace

void drawKeyboard(QPainter& painter, int pixelSize, const QColor& color, int grow)
{
    const double radius = 0.34 * pixelSize / designSize + grow;
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (const QRect& key : keyRects(pixelSize))
        painter.drawRoundedRect(QRectF(key.adjusted(-grow, -grow, grow, grow)), radius, radius);
}

namespace {

struct TextLayout {
    QFont font;
    QRectF box;
    double baseline;
    double capHeight;
};

TextLayout layoutText(const QRectF& rect, int pixelSize)
{
    const double scale = pixelSize / designSize;
    TextLayout layout;
    layout.font.setPixelSize(std::max(1, int(std::lround(9 * scale))));
    layout.font.setWeight(QFont::Black);
    layout.font.setHintingPreference(QFont::PreferFullHinting);
    // Whole pixels keep the letters' stems sharp.
    layout.font.setLetterSpacing(QFont::AbsoluteSpacing, std::trunc(-0.45 * scale));
    const QFontMetricsF metrics(layout.font);
    const double height = std::round(metrics.height());
    // The text's box: the rectangle's width, its middle a little below the
    // rectangle's. In pixels with y pointing down.
    const double middle = (designSize - rect.center().y()) * scale + 0.15 * scale;
    layout.box = QRectF(
        std::round(rect.left() * scale), std::round(middle - height / 2), std::round(rect.width() * scale), height);
    layout.baseline = layout.box.top() + (height - metrics.height()) / 2 + metrics.ascent();
    layout.capHeight = metrics.capHeight();
    return layout;
}

}  // namespace

void drawCenteredText(
    QPainter& painter, const QString& text, const QRectF& rect, int pixelSize, const QColor& color, QPoint offset)
{
    const TextLayout layout = layoutText(rect, pixelSize);
    painter.setFont(layout.font);
    painter.setPen(color);
    painter.drawText(layout.box.translated(offset), Qt::AlignHCenter | Qt::AlignVCenter, text);
}

namespace {

const QRectF textRect(1.2, 8.1, 15.6, 8.8);
const QString iconText = QStringLiteral("AI");

int rimWidth(int pixelSize)
{
    return std::max(1, pixelSize / 24);
}

// On the pixel grid the letters' rim can run into the keys' rim; lift the
// letters into the free space above until a clear row parts them.
QPoint textLift(const TextLayout& layout, int pixelSize, int rim)
{
    const int keysTop = keyRects(pixelSize).first().top();
    const int wanted = int(std::lround(layout.baseline)) + 2 * rim + 1 - keysTop;
    const int room = int(std::floor(layout.baseline - layout.capHeight)) - rim;
    return QPoint(0, -std::clamp(wanted, 0, std::max(0, room)));
}

QByteArray svgNumber(double value)
{
    return QByteArray::number(std::round(value * 100) / 100, 'g', 8);
}

QByteArray svgPath(const QPainterPath& path)
{
    QByteArray data;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        switch (element.type) {
        case QPainterPath::MoveToElement:
            data += (i > 0 ? "ZM" : "M");
            break;
        case QPainterPath::LineToElement:
            data += 'L';
            break;
        case QPainterPath::CurveToElement:
            data += 'C';
            break;
        case QPainterPath::CurveToDataElement:
            data += ' ';
            break;
        }
        data += svgNumber(element.x) + ' ' + svgNumber(element.y);
    }
    return data.isEmpty() ? data : data + 'Z';
}

QByteArray svgColor(const QColor& color)
{
    return color.name().toLatin1();
}

}  // namespace

QImage makeImage(int pixelSize)
{
    QImage image(pixelSize, pixelSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int rim = rimWidth(pixelSize);
    const QPoint lift = textLift(layoutText(textRect, pixelSize), pixelSize, rim);
    for (int dx = -rim; dx <= rim; ++dx)
        for (int dy = -rim; dy <= rim; ++dy)
            drawCenteredText(painter, iconText, textRect, pixelSize, rimColor, lift + QPoint(dx, dy));
    drawKeyboard(painter, pixelSize, rimColor, rim);
    drawCenteredText(painter, iconText, textRect, pixelSize, fillColor, lift);
    drawKeyboard(painter, pixelSize, fillColor);
    painter.end();
    image.setText(QStringLiteral("Description"), QStringLiteral("MendoAI"));
    return image;
}

QByteArray makeSvg()
{
    // Large enough that the pixel grid the drawing snaps to is finer than
    // any size the icon is shown at.
    constexpr int size = 256;
    const int rim = rimWidth(size);
    const TextLayout layout = layoutText(textRect, size);
    const QFontMetricsF metrics(layout.font);
    // Where drawCenteredText puts the line: centred in the box, on its baseline.
    const QPointF origin(layout.box.center().x() - metrics.horizontalAdvance(iconText) / 2, layout.baseline);
    QPainterPath letters;
    letters.addText(origin + textLift(layout, size, rim), layout.font, iconText);
    const QByteArray lettersPath = svgPath(letters);
    const QByteArray fillRule = letters.fillRule() == Qt::OddEvenFill ? "evenodd" : "nonzero";
    const double radius = 0.34 * size / designSize;
    auto keys = [&](int grow) {
        QByteArray rects;
        for (const QRect& key : keyRects(size)) {
            const QRect grown = key.adjusted(-grow, -grow, grow, grow);
            rects += "<rect x=\"" + svgNumber(grown.x()) + "\" y=\"" + svgNumber(grown.y()) + "\" width=\""
                + svgNumber(grown.width()) + "\" height=\"" + svgNumber(grown.height()) + "\" rx=\""
                + svgNumber(radius + grow) + "\"/>\n";
        }
        return rects;
    };
    const QByteArray sizeText = QByteArray::number(size);
    const QByteArray rimFill = svgColor(rimColor);
    const QByteArray lightFill = svgColor(fillColor);
    // The rim is the letters' outline stroked twice as wide as it shows,
    // under the keys' rim and the light shapes.
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + sizeText + "\" height=\"" + sizeText
        + "\" viewBox=\"0 0 " + sizeText + ' ' + sizeText + "\">\n<title>MendoAI</title>\n"
        + "<path fill=\"" + rimFill + "\" stroke=\"" + rimFill + "\" stroke-width=\"" + QByteArray::number(2 * rim)
        + "\" stroke-linejoin=\"round\" fill-rule=\"" + fillRule + "\" d=\"" + lettersPath + "\"/>\n"
        + "<g fill=\"" + rimFill + "\">\n" + keys(rim) + "</g>\n"
        + "<path fill=\"" + lightFill + "\" fill-rule=\"" + fillRule + "\" d=\"" + lettersPath + "\"/>\n"
        + "<g fill=\"" + lightFill + "\">\n" + keys(0) + "</g>\n</svg>\n";
}

QIcon makeIcon()
{
    QIcon icon;
    for (int size : { 16, 18, 20, 22, 24, 32, 36, 44, 48, 64 })
        icon.addPixmap(QPixmap::fromImage(makeImage(size)));
    return icon;
}

}  // namespace mendo::MendoMenuBarIcon
