#include "ui/FittedLine.h"

#include <QFontMetricsF>

#include <algorithm>

namespace mendo {

FittedLine FittedLine::fit(const QString& text, const QFont& font, int width, qreal minimumScale)
{
    const QFontMetricsF metrics(font);
    const qreal natural = metrics.horizontalAdvance(text);
    if (natural <= width)
        return { 1.0, text };
    const qreal scale = std::max(minimumScale, width / natural);
    // Measured at full size, drawn scaled: the width it may take grows.
    return { scale, metrics.elidedText(text, Qt::ElideRight, width / scale) };
}

}  // namespace mendo
