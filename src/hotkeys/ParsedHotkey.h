#pragma once

#include "platform/HotkeyRegistrar.h"

#include <QHash>
#include <QString>
#include <optional>

namespace mendo {

// A hotkey text such as "Control+Alt+Shift+Left", "alt + q" or "⌘+⇧+K":
// modifier words and one key name joined by "+", the key name last. Modifiers
// may come in any order and repeat; case and blanks around pieces don't matter.
struct ParsedHotkey {
    bool option = false;
    bool command = false;
    bool shift = false;
    bool control = false;
    quint16 keyCode = 0;

    // Nothing when the text is not a valid hotkey. The "Not assigned" text is
    // not one either: callers check `isNotAssigned` first.
    static std::optional<ParsedHotkey> parse(const QString& text);

    // Upper-case key name to virtual key code; built once, never changed.
    static const QHash<QString, quint16>& keyCodes();

    // The text that means "no shortcut", in any letter case.
    static inline const QString notAssigned = QStringLiteral("Not assigned");
    static bool isNotAssigned(const QString& text);

    // Two texts are the same shortcut exactly when their signatures are equal:
    // "keyCode:option:command:shift:control" with each flag as 1 or 0.
    QString canonicalSignature() const;

    quint32 modifierMask() const;
    HotkeyChord chord() const { return {keyCode, modifierMask()}; }

    friend bool operator==(const ParsedHotkey&, const ParsedHotkey&) = default;
};

}  // namespace mendo
