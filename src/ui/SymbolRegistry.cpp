#include "ui/SymbolRegistry.h"

#include <QHash>
#include <QSet>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>
#include <QtMath>

namespace mendo {

namespace {

const QHash<QString, QString>& themeNames()
{
    static const QHash<QString, QString> names {
        { QStringLiteral("progress.indicator"), QStringLiteral("process-working-symbolic") },
        { QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("dialog-warning-symbolic") },
        { QStringLiteral("exclamationmark.triangle"), QStringLiteral("dialog-warning-symbolic") },
        { QStringLiteral("translate"), QStringLiteral("preferences-desktop-locale-symbolic") },
        { QStringLiteral("face.smiling"), QStringLiteral("face-smile-symbolic") },
        { QStringLiteral("heart"), QStringLiteral("emblem-favorite-symbolic") },
        { QStringLiteral("heart.circle"), QStringLiteral("emblem-favorite-symbolic") },
        { QStringLiteral("text.document"), QStringLiteral("x-office-document-symbolic") },
        { QStringLiteral("clipboard"), QStringLiteral("edit-paste-symbolic") },
        { QStringLiteral("keyboard"), QStringLiteral("input-keyboard-symbolic") },
        { QStringLiteral("trash"), QStringLiteral("user-trash-symbolic") },
        { QStringLiteral("doc.on.doc"), QStringLiteral("edit-copy-symbolic") },
        { QStringLiteral("xmark"), QStringLiteral("window-close-symbolic") },
        { QStringLiteral("magnifyingglass"), QStringLiteral("system-search-symbolic") },
        { QStringLiteral("plus"), QStringLiteral("list-add-symbolic") },
        { QStringLiteral("pencil"), QStringLiteral("document-edit-symbolic") },
        { QStringLiteral("note.text"), QStringLiteral("text-x-generic-symbolic") },
        { QStringLiteral("checkmark"), QStringLiteral("object-select-symbolic") },
        { QStringLiteral("arrow.clockwise"), QStringLiteral("view-refresh-symbolic") },
        { QStringLiteral("chevron.down"), QStringLiteral("pan-down-symbolic") },
        { QStringLiteral("paperplane.fill"), QStringLiteral("mail-send-symbolic") },
        { QStringLiteral("sidebar.left"), QStringLiteral("sidebar-show-symbolic") },
        { QStringLiteral("sidebar.leading"), QStringLiteral("sidebar-show-symbolic") },
        { QStringLiteral("doc.on.clipboard"), QStringLiteral("edit-paste-symbolic") },
        { QStringLiteral("arrow.turn.down.left"), QStringLiteral("mail-reply-sender-symbolic") },
        { QStringLiteral("chevron.up"), QStringLiteral("pan-up-symbolic") },
        // The settings pages and the quick actions.
        { QStringLiteral("gearshape"), QStringLiteral("emblem-system-symbolic") },
        { QStringLiteral("lock.shield"), QStringLiteral("security-high-symbolic") },
        { QStringLiteral("arrow.down.circle"), QStringLiteral("software-update-available-symbolic") },
        // The Updates page's state line.
        { QStringLiteral("arrow.triangle.2.circlepath"), QStringLiteral("emblem-synchronizing-symbolic") },
        { QStringLiteral("clock"), QStringLiteral("preferences-system-time-symbolic") },
        { QStringLiteral("text.badge.star"), QStringLiteral("starred-symbolic") },
        { QStringLiteral("wand.and.sparkles"), QStringLiteral("tools-check-spelling-symbolic") },
        { QStringLiteral("theatermasks"), QStringLiteral("face-laugh-symbolic") },
        { QStringLiteral("hands.sparkles"), QStringLiteral("emoji-people-symbolic") },
    };
    return names;
}

// Qt looks for icon themes only where its platform plugin says; without a
// desktop theme (and offscreen) that misses the system's icon folders, and
// the plain hicolor theme it then uses has no symbolic icons.
void prepareIconTheme()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& dir : QStandardPaths::locateAll(
             QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory)) {
        if (!paths.contains(dir))
            paths << dir;
    }
    QIcon::setThemeSearchPaths(paths);
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QStringLiteral("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

// The names MendoAI draws itself (a theme icon, where there is one, is
// preferred). Any other name without a theme icon gets the sparkles.
const QSet<QString>& glyphNames()
{
    static const QSet<QString> names {
        QStringLiteral("checkmark.circle.fill"), QStringLiteral("checkmark.circle"),
        QStringLiteral("exclamationmark.triangle"), QStringLiteral("exclamationmark.triangle.fill"),
        QStringLiteral("exclamationmark.circle"), QStringLiteral("progress.indicator"), QStringLiteral("bolt"),
        QStringLiteral("bolt.fill"), QStringLiteral("bolt.circle"), QStringLiteral("checkmark"),
        QStringLiteral("chevron.up.chevron.down"), QStringLiteral("xmark.circle.fill"),
        QStringLiteral("arrow.turn.down.left"), QStringLiteral("plus.square.on.square"), QStringLiteral("circle"),
        QStringLiteral("circle.fill"), QStringLiteral("globe"), QStringLiteral("bubble.left.and.bubble.right"),
        QStringLiteral("bubble.left.and.text.bubble.right"), QStringLiteral("plus.message"), QStringLiteral("xmark"),
        QStringLiteral("briefcase"), QStringLiteral("flame"), QStringLiteral("building.columns"),
        QStringLiteral("graduationcap"), QStringLiteral("megaphone"), QStringLiteral("sparkles"),
        QStringLiteral("arrow.down.circle.fill"),
    };
    return names;
}

// The glyphs, drawn into a 24 x 24 box.
void drawCheck(QPainter& p, const QColor& stroke, qreal width)
{
    QPainterPath check;
    check.moveTo(7.2, 12.4);
    check.lineTo(10.6, 15.8);
    check.lineTo(16.9, 8.7);
    p.setPen(QPen(stroke, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(check);
}

void drawGlyph(QPainter& p, const QString& name, const QColor& color)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QColor knockout(Qt::transparent);
    if (name == QLatin1String("checkmark.circle.fill")) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(2, 2, 20, 20));
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        drawCheck(p, knockout, 2.4);
    } else if (name == QLatin1String("checkmark.circle")) {
        p.setPen(QPen(color, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(2.9, 2.9, 18.2, 18.2));
        drawCheck(p, color, 2.0);
    } else if (name.startsWith(QLatin1String("exclamationmark.triangle"))) {
        QPainterPath triangle;
        triangle.moveTo(12, 2.5);
        triangle.lineTo(22.5, 20.8);
        triangle.lineTo(1.5, 20.8);
        triangle.closeSubpath();
        p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(color);
        p.drawPath(triangle);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(QPen(knockout, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 8.6), QPointF(12, 13.8));
        p.setPen(Qt::NoPen);
        p.setBrush(knockout);
        p.drawEllipse(QPointF(12, 17.4), 1.4, 1.4);
    } else if (name == QLatin1String("progress.indicator")) {
        // Eight spokes fading round the circle, as a spinner at rest.
        for (int i = 0; i < 8; ++i) {
            QColor spoke = color;
            spoke.setAlphaF(color.alphaF() * (0.25 + 0.75 * i / 7.0));
            p.setPen(QPen(spoke, 2.4, Qt::SolidLine, Qt::RoundCap));
            const qreal angle = qDegreesToRadians(45.0 * i - 90.0);
            const QPointF dir(qCos(angle), qSin(angle));
            p.drawLine(QPointF(12, 12) + dir * 5.0, QPointF(12, 12) + dir * 9.5);
        }
    } else if (name == QLatin1String("arrow.down.circle.fill")) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(2, 2, 20, 20));
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(QPen(knockout, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(12, 6.6), QPointF(12, 16.6));
        QPainterPath head;
        head.moveTo(7.8, 12.6);
        head.lineTo(12, 16.8);
        head.lineTo(16.2, 12.6);
        p.drawPath(head);
    } else if (name == QLatin1String("exclamationmark.circle")) {
        p.setPen(QPen(color, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(2.9, 2.9, 18.2, 18.2));
        p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 7.2), QPointF(12, 13.2));
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QPointF(12, 16.8), 1.3, 1.3);
    } else if (name == QLatin1String("bolt.circle")) {
        p.setPen(QPen(color, 1.7));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(2.4, 2.4, 19.2, 19.2));
        QPainterPath bolt;
        bolt.moveTo(13.2, 5.2);
        bolt.lineTo(7.6, 13.0);
        bolt.lineTo(11.4, 13.0);
        bolt.lineTo(10.6, 18.8);
        bolt.lineTo(16.4, 10.8);
        bolt.lineTo(12.6, 10.8);
        bolt.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPath(bolt);
    } else if (name == QLatin1String("briefcase")) {
        p.setPen(QPen(color, 1.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(3, 7.5, 18, 12.5), 2.4, 2.4);
        p.drawRoundedRect(QRectF(8.5, 4, 7, 3.5), 1.2, 1.2);
        p.drawLine(QPointF(3, 12.8), QPointF(21, 12.8));
    } else if (name == QLatin1String("flame")) {
        QPainterPath flame;
        flame.moveTo(12, 2.5);
        flame.cubicTo(13.5, 7, 19, 9.5, 19, 15);
        flame.cubicTo(19, 19, 15.8, 21.5, 12, 21.5);
        flame.cubicTo(8.2, 21.5, 5, 19, 5, 15);
        flame.cubicTo(5, 11.5, 7.5, 10, 8.5, 7.5);
        flame.cubicTo(9.5, 10, 10.5, 10.5, 11, 11);
        flame.cubicTo(11.5, 8, 11.5, 5, 12, 2.5);
        p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(flame);
    } else if (name == QLatin1String("building.columns")) {
        QPainterPath roof;
        roof.moveTo(2.5, 8.5);
        roof.lineTo(12, 3);
        roof.lineTo(21.5, 8.5);
        roof.closeSubpath();
        p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(color);
        p.drawPath(roof);
        for (const qreal x : { 5.5, 10.0, 14.0, 18.5 })
            p.drawLine(QPointF(x, 10.5), QPointF(x, 17.5));
        p.drawLine(QPointF(3, 20), QPointF(21, 20));
    } else if (name == QLatin1String("graduationcap")) {
        QPainterPath board;
        board.moveTo(12, 4);
        board.lineTo(22, 9);
        board.lineTo(12, 14);
        board.lineTo(2, 9);
        board.closeSubpath();
        p.setPen(QPen(color, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(color);
        p.drawPath(board);
        p.setBrush(Qt::NoBrush);
        QPainterPath cap;
        cap.moveTo(6.5, 11.5);
        cap.lineTo(6.5, 16);
        cap.quadTo(12, 20, 17.5, 16);
        cap.lineTo(17.5, 11.5);
        p.drawPath(cap);
        p.drawLine(QPointF(21, 9.5), QPointF(21, 15.5));
    } else if (name == QLatin1String("megaphone")) {
        QPainterPath horn;
        horn.moveTo(4, 9.5);
        horn.lineTo(8, 9.5);
        horn.lineTo(18, 4);
        horn.lineTo(18, 20);
        horn.lineTo(8, 14.5);
        horn.lineTo(4, 14.5);
        horn.closeSubpath();
        p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(horn);
        p.drawLine(QPointF(8, 14.5), QPointF(9.5, 20));
        p.drawLine(QPointF(20.5, 10), QPointF(20.5, 14));
    } else if (name.startsWith(QLatin1String("bolt"))) {
        QPainterPath bolt;
        bolt.moveTo(13.8, 1.8);
        bolt.lineTo(4.6, 13.6);
        bolt.lineTo(11.2, 13.6);
        bolt.lineTo(9.8, 22.2);
        bolt.lineTo(19.4, 10.2);
        bolt.lineTo(12.6, 10.2);
        bolt.closeSubpath();
        p.setPen(QPen(color, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(name.endsWith(QLatin1String(".fill")) ? QBrush(color) : QBrush(Qt::NoBrush));
        p.drawPath(bolt);
    } else if (name == QLatin1String("checkmark")) {
        QPainterPath check;
        check.moveTo(4.5, 12.8);
        check.lineTo(9.6, 17.8);
        check.lineTo(19.5, 6.2);
        p.setPen(QPen(color, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(check);
    } else if (name == QLatin1String("chevron.up.chevron.down")) {
        p.setPen(QPen(color, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({ QPointF(7, 9.5), QPointF(12, 4.5), QPointF(17, 9.5) }));
        p.drawPolyline(QPolygonF({ QPointF(7, 14.5), QPointF(12, 19.5), QPointF(17, 14.5) }));
    } else if (name == QLatin1String("xmark.circle.fill")) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(2, 2, 20, 20));
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(QPen(knockout, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8.5, 8.5), QPointF(15.5, 15.5));
        p.drawLine(QPointF(15.5, 8.5), QPointF(8.5, 15.5));
    } else if (name == QLatin1String("arrow.turn.down.left")) {
        // A return arrow: down from the top right, then left, with its head.
        QPainterPath arrow;
        arrow.moveTo(18.5, 4.5);
        arrow.lineTo(18.5, 12.5);
        arrow.quadTo(18.5, 15.5, 15.5, 15.5);
        arrow.lineTo(5.5, 15.5);
        p.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arrow);
        QPainterPath head;
        head.moveTo(9.5, 11.5);
        head.lineTo(5.5, 15.5);
        head.lineTo(9.5, 19.5);
        p.drawPath(head);
    } else if (name == QLatin1String("plus.square.on.square")) {
        p.setPen(QPen(color, 1.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath back;
        back.moveTo(4, 16);
        back.lineTo(4, 6);
        back.quadTo(4, 4, 6, 4);
        back.lineTo(16, 4);
        p.drawPath(back);
        p.drawRoundedRect(QRectF(8, 8, 12.5, 12.5), 2.2, 2.2);
        p.drawLine(QPointF(14.25, 11), QPointF(14.25, 17.5));
        p.drawLine(QPointF(11, 14.25), QPointF(17.5, 14.25));
    } else if (name == QLatin1String("circle") || name == QLatin1String("circle.fill")) {
        const bool fill = name.endsWith(QLatin1String(".fill"));
        p.setPen(fill ? Qt::NoPen : QPen(color, 1.8));
        p.setBrush(fill ? QBrush(color) : QBrush(Qt::NoBrush));
        p.drawEllipse(QRectF(2.9, 2.9, 18.2, 18.2));
    } else if (name == QLatin1String("globe")) {
        // The outline, a meridian and the equator with two parallels.
        p.setPen(QPen(color, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(2.8, 2.8, 18.4, 18.4));
        p.drawEllipse(QRectF(8, 2.8, 8, 18.4));
        p.drawLine(QPointF(2.8, 12), QPointF(21.2, 12));
        p.drawLine(QPointF(4.6, 7.4), QPointF(19.4, 7.4));
        p.drawLine(QPointF(4.6, 16.6), QPointF(19.4, 16.6));
    } else if (name == QLatin1String("bubble.left.and.bubble.right") || name == QLatin1String("plus.message")
        || name == QLatin1String("bubble.left.and.text.bubble.right")) {
        // A speech bubble; a second one behind it, or a plus inside it.
        auto bubble = [&](QRectF box, bool tailLeft) {
            QPainterPath path;
            path.addRoundedRect(box, box.height() * 0.42, box.height() * 0.42);
            QPainterPath tail;
            const qreal x = tailLeft ? box.left() + box.width() * 0.22 : box.right() - box.width() * 0.22;
            tail.moveTo(x - 2.2, box.bottom() - 1);
            tail.lineTo(tailLeft ? x - 3.6 : x + 3.6, box.bottom() + 3.6);
            tail.lineTo(x + 2.2, box.bottom() - 1);
            return path.united(tail);
        };
        p.setPen(QPen(color, 1.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        if (name == QLatin1String("plus.message")) {
            p.drawPath(bubble(QRectF(2.5, 3.5, 19, 14), true));
            p.drawLine(QPointF(12, 7.2), QPointF(12, 13.8));
            p.drawLine(QPointF(8.7, 10.5), QPointF(15.3, 10.5));
        } else if (name == QLatin1String("bubble.left.and.text.bubble.right")) {
            // The answer bubble in front, with lines of text in it.
            p.setBrush(color);
            p.drawPath(bubble(QRectF(2, 3, 13.5, 10), true));
            p.setBrush(Qt::NoBrush);
            p.drawPath(bubble(QRectF(8.5, 9.5, 13.5, 10), false));
            p.setPen(QPen(color, 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(11.8, 13.2), QPointF(18.7, 13.2));
            p.drawLine(QPointF(11.8, 16.0), QPointF(16.5, 16.0));
        } else {
            p.drawPath(bubble(QRectF(8.5, 8.5, 13.5, 10), false));
            p.setBrush(color);
            p.drawPath(bubble(QRectF(2, 3, 13.5, 10), true));
        }
    } else if (name == QLatin1String("xmark")) {
        p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
    } else {
        // Sparkles: a large and a small four-pointed star.
        auto star = [&](QPointF c, qreal r) {
            QPainterPath path;
            path.moveTo(c + QPointF(0, -r));
            path.quadTo(c, c + QPointF(r, 0));
            path.quadTo(c, c + QPointF(0, r));
            path.quadTo(c, c + QPointF(-r, 0));
            path.quadTo(c, c + QPointF(0, -r));
            p.drawPath(path);
        };
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        star(QPointF(10, 13), 9);
        star(QPointF(19, 5.5), 4.2);
    }
}

}  // namespace

QString SymbolRegistry::themeIconName(const QString& symbolName)
{
    return themeNames().value(symbolName);
}

QIcon SymbolRegistry::themeIcon(const QString& symbolName)
{
    const QString name = themeIconName(symbolName);
    if (name.isEmpty())
        return {};
    prepareIconTheme();
    // Only the exact icon: Qt would otherwise fall back to the colour icon
    // without "-symbolic", which loses its detail when recoloured.
    if (!QIcon::hasThemeIcon(name))
        return {};
    QIcon icon = QIcon::fromTheme(name);
    return icon.name() == name ? icon : QIcon();
}

bool SymbolRegistry::fromTheme(const QString& symbolName)
{
    return !themeIcon(symbolName).isNull();
}

bool SymbolRegistry::drawsFallback(const QString& symbolName)
{
    return !glyphNames().contains(symbolName) && !fromTheme(symbolName);
}

QPixmap SymbolRegistry::pixmap(const QString& symbolName, int size, const QColor& color, qreal devicePixelRatio)
{
    const int pixels = qMax(1, qRound(size * devicePixelRatio));
    QPixmap result(pixels, pixels);
    result.fill(Qt::transparent);
    QPainter p(&result);
    const QIcon icon = themeIcon(symbolName);
    const QPixmap themed = icon.isNull() ? QPixmap() : icon.pixmap(QSize(pixels, pixels), 1.0);
    if (!themed.isNull()) {
        p.drawPixmap(QRect(0, 0, pixels, pixels), themed);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(QRect(0, 0, pixels, pixels), color);
    } else {
        p.scale(pixels / 24.0, pixels / 24.0);
        drawGlyph(p, symbolName, color);
    }
    p.end();
    result.setDevicePixelRatio(devicePixelRatio);
    return result;
}

QIcon SymbolRegistry::icon(const QString& symbolName, const QColor& color)
{
    QIcon result;
    for (const int size : { 16, 24, 32, 48 })
        result.addPixmap(pixmap(symbolName, size, color));
    return result;
}

}  // namespace mendo
