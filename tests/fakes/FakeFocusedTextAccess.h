#pragma once

#include "engine/FocusedTextAccess.h"

#include <QStringList>

namespace mendo {

// A focused element with a fixed reading; replacements are recorded and
// accepted while `acceptsReplacement` is true.
class FakeFocusedTextAccess final : public FocusedTextAccess {
public:
    FocusedText focusedText() override { return reading; }
    bool replaceSelectedText(const QString& text) override
    {
        replacements << text;
        return acceptsReplacement;
    }
    // Nothing reads as selected while the element does not report the focus.
    QString selectedText() override { return focused ? selection : QString(); }
    bool reportsFocusedElement() override
    {
        ++focusChecks;
        return focused;
    }
    QString selectedTextForLayout() override { return layoutSelection; }

    FocusedText reading;
    QString selection;
    QString layoutSelection;
    bool acceptsReplacement = true;
    bool focused = true;
    int focusChecks = 0;
    QStringList replacements;
};

}  // namespace mendo
