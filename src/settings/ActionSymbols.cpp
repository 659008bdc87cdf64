#include "settings/ActionSymbols.h"

#include "ui/SymbolRegistry.h"

#include <QHash>

namespace mendo {

QPixmap actionSymbol(const QString& symbolName, int size, const QColor& color, qreal devicePixelRatio)
{
    static QHash<QString, QPixmap> drawn;
    const QString key = QStringLiteral("%1|%2|%3|%4").arg(symbolName).arg(size).arg(color.rgba()).arg(devicePixelRatio);
    auto found = drawn.constFind(key);
    if (found != drawn.constEnd())
        return *found;
    // A handful of symbols in a few colours; bounded all the same.
    if (drawn.size() > 512)
        drawn.clear();
    const QPixmap pixmap = SymbolRegistry::pixmap(symbolName, size, color, devicePixelRatio);
    drawn.insert(key, pixmap);
    return pixmap;
}

}  // namespace mendo
