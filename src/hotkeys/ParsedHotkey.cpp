#include "hotkeys/ParsedHotkey.h"

#include "base/Text.h"

#include <QStringList>

namespace mendo {

const QHash<QString, quint16>& ParsedHotkey::keyCodes()
{
    static const QHash<QString, quint16> table = [] {
        QHash<QString, quint16> t;
        t.reserve(80);
        const std::pair<const char*, quint16> entries[] = {
            // Letters and digits, numbered by their place on the ANSI keyboard.
            {"A", 0}, {"S", 1}, {"D", 2}, {"F", 3}, {"H", 4}, {"G", 5}, {"Z", 6}, {"X", 7}, {"C", 8}, {"V", 9},
            {"B", 11}, {"Q", 12}, {"W", 13}, {"E", 14}, {"R", 15}, {"Y", 16}, {"T", 17}, {"O", 31}, {"U", 32},
            {"I", 34}, {"P", 35}, {"L", 37}, {"J", 38}, {"K", 40}, {"N", 45}, {"M", 46},
            {"1", 18}, {"2", 19}, {"3", 20}, {"4", 21}, {"6", 22}, {"5", 23}, {"9", 25}, {"7", 26}, {"8", 28},
            {"0", 29},
            {"=", 24}, {"EQUAL", 24}, {"-", 27}, {"MINUS", 27}, {"]", 30}, {"BRACKETRIGHT", 30}, {"[", 33},
            {"BRACKETLEFT", 33}, {"'", 39}, {"QUOTE", 39}, {";", 41}, {"SEMICOLON", 41}, {"\\", 42},
            {"BACKSLASH", 42}, {",", 43}, {"COMMA", 43}, {"/", 44}, {"SLASH", 44}, {".", 47}, {"PERIOD", 47},
            {"`", 50}, {"BACKQUOTE", 50},
            {"SPACE", 49}, {"TAB", 48}, {"RETURN", 36}, {"ENTER", 36}, {"LEFT", 123}, {"RIGHT", 124},
            {"DOWN", 125}, {"UP", 126}, {"ESCAPE", 53}, {"ESC", 53},
            {"F1", 122}, {"F2", 120}, {"F3", 99}, {"F4", 118}, {"F5", 96}, {"F6", 97}, {"F7", 98}, {"F8", 100},
            {"F9", 101}, {"F10", 109}, {"F11", 103}, {"F12", 111},
        };
        for (const auto& [name, code] : entries)
            t.insert(QString::fromLatin1(name), code);
        return t;
    }();
    return table;
}

bool ParsedHotkey::isNotAssigned(const QString& text)
{
    return text.toLower() == notAssigned.toLower();
}

std::optional<ParsedHotkey> ParsedHotkey::parse(const QString& text)
{
    // The symbols only stand for modifiers as pieces of their own: "⌘+⇧+K"
    // parses, "⌘⇧K" is one unknown piece.
    QString normalized = text;
    normalized.replace(QStringLiteral("Option"), QStringLiteral("Alt"))
        .replace(QStringLiteral("⌥"), QStringLiteral("Alt"))
        .replace(QStringLiteral("⌘"), QStringLiteral("Command"))
        .replace(QStringLiteral("⇧"), QStringLiteral("Shift"))
        .replace(QStringLiteral("⌃"), QStringLiteral("Control"));

    QStringList pieces;
    for (const QString& raw : normalized.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        QString piece = text::trimmed(raw);
        if (!piece.isEmpty())
            pieces.append(piece);
    }
    if (pieces.isEmpty())
        return std::nullopt;

    const auto found = keyCodes().constFind(pieces.takeLast().toUpper());
    if (found == keyCodes().constEnd())
        return std::nullopt;

    ParsedHotkey hotkey;
    hotkey.keyCode = *found;
    for (const QString& piece : pieces) {
        const QString word = piece.toLower();
        if (word == u"alt" || word == u"option")
            hotkey.option = true;
        else if (word == u"cmd" || word == u"command")
            hotkey.command = true;
        else if (word == u"shift")
            hotkey.shift = true;
        else if (word == u"ctrl" || word == u"control")
            hotkey.control = true;
        else
            return std::nullopt;
    }
    return hotkey;
}

QString ParsedHotkey::canonicalSignature() const
{
    const auto flag = [](bool set) { return set ? QStringLiteral("1") : QStringLiteral("0"); };
    return QStringList{QString::number(keyCode), flag(option), flag(command), flag(shift), flag(control)}.join(
        QLatin1Char(':'));
}

quint32 ParsedHotkey::modifierMask() const
{
    return (command ? hotkeyCommand : 0u) | (shift ? hotkeyShift : 0u) | (option ? hotkeyOption : 0u)
        | (control ? hotkeyControl : 0u);
}

}  // namespace mendo
