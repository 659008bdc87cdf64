#pragma once

#include <QKeyEvent>
#include <QString>

namespace mendo {

// One key press as the hotkey recorder reads it.
struct HotkeyKeyPress {
    int key = 0;  // Qt::Key: tells Escape, BackSpace and Delete apart in every layout
    quint32 nativeKey = 0;  // the X key code: which key it was, whatever the layout
    Qt::KeyboardModifiers modifiers;
    QString characters;  // the text the press types

    static HotkeyKeyPress from(const QKeyEvent& event)
    {
        return { event.key(), event.nativeScanCode(), event.modifiers(), event.text() };
    }
};

}  // namespace mendo
