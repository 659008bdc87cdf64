#pragma once

#include "hotkeys/HotkeyKeyPress.h"

#include <QHash>
#include <QString>
#include <optional>

namespace mendo {

class HotkeyRegistrar;

// The two translations of the hotkey recorder: a stored hotkey text into the
// symbols shown to the user, and a key press into a stored text.
namespace HotkeyFormatter {

// Virtual key code -> the name a recorded text gives it. Tab and Escape have
// none: Tab moves the focus and Escape cancels recording.
const QHash<quint16, QString>& keyCodeNames();

// "Control+Alt+Shift+Left" -> "⌃ ⌥ ⇧ ←". Only the exact-case words become
// symbols: "alt+q" is shown as "alt q".
QString display(const QString& text);
QString displayPart(const QString& piece);

// "Command", "Control", "Alt", "Shift" (in this order) and the key name joined
// by "+"; none for a key without a name or without a modifier. Super is
// Command; AltGr is not Alt.
std::optional<QString> capture(const HotkeyKeyPress& press, HotkeyRegistrar& keys);

// The key's name by the key itself, whatever layout is in use; failing that,
// the letter or digit it types, but only when that name resolves back to the
// pressed key (the keypad's 1 types "1", and "1" would grab the top-row key).
std::optional<QString> keyName(const HotkeyKeyPress& press, HotkeyRegistrar& keys);

}  // namespace HotkeyFormatter
}  // namespace mendo
