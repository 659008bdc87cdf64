#pragma once

#include <QFont>
#include <QString>

namespace mendo {

// One line of text fitted into a width: shrunk down to `minimumScale` of
// its font size first, then cut with an ellipsis.
struct FittedLine {
    qreal scale = 1.0;
    QString text;

    static FittedLine fit(const QString& text, const QFont& font, int width, qreal minimumScale);
};

}  // namespace mendo
