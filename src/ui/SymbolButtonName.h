#pragma once

#include <QAbstractButton>

namespace mendo {

// Qt names a button by its text, so one that shows only a symbol, and says
// what it does in its tooltip alone, would be nameless to screen readers and
// other assistive tools: its tooltip names it. A button with a text keeps
// Qt's own name. Call it whenever the tooltip or the text changes.
inline void nameSymbolButtonByToolTip(QAbstractButton* button)
{
    const QString name = button->text().isEmpty() ? button->toolTip() : QString();
    if (button->accessibleName() != name)
        button->setAccessibleName(name);
}

}  // namespace mendo
