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
    QString selectedText() override { return selection; }
    QString selectedTextForLayout() override { return layoutSelection; }

    FocusedText reading;
    QString selection;
    QString layoutSelection;
    bool acceptsReplacement = true;
    QStringList replacements;
};

}  // namespace mendo
