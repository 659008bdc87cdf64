#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

namespace mendo {

// The icon of an action row, drawn once per symbol, colour and size: a page
// of two hundred rows mostly repeats a handful of icons.
QPixmap actionSymbol(const QString& symbolName, int size, const QColor& color, qreal devicePixelRatio);

}  // namespace mendo
