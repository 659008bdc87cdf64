#pragma once

#include <QString>

namespace mendo {

// What a registered hotkey runs. `argument` is the prompt style id (style), the
// reply style id (reply) or the window command name (windowTiling); empty for
// the other kinds.
struct RegisteredHotkeyAction {
    enum class Kind { style, reply, windowTiling, quickMenu, assistant, clipboard, layout, translationPreview };

    Kind kind = Kind::quickMenu;
    QString argument;

    static RegisteredHotkeyAction style(QString id) { return {Kind::style, std::move(id)}; }
    static RegisteredHotkeyAction reply(QString id) { return {Kind::reply, std::move(id)}; }
    static RegisteredHotkeyAction windowTiling(QString name) { return {Kind::windowTiling, std::move(name)}; }

    friend bool operator==(const RegisteredHotkeyAction&, const RegisteredHotkeyAction&) = default;
};

}  // namespace mendo
