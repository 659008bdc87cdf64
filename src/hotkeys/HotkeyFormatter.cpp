#include "hotkeys/HotkeyFormatter.h"

#include "hotkeys/ParsedHotkey.h"
#include "platform/HotkeyRegistrar.h"

#include <QRegularExpression>
#include <QStringList>

namespace mendo::HotkeyFormatter {

const QHash<quint16, QString>& keyCodeNames()
{
    static const QHash<quint16, QString> table = [] {
        QHash<quint16, QString> t;
        t.reserve(65);
        const std::pair<quint16, const char*> entries[] = {
            { 0, "A" },
            { 1, "S" },
            { 2, "D" },
            { 3, "F" },
            { 4, "H" },
            { 5, "G" },
            { 6, "Z" },
            { 7, "X" },
            { 8, "C" },
            { 9, "V" },
            { 11, "B" },
            { 12, "Q" },
            { 13, "W" },
            { 14, "E" },
            { 15, "R" },
            { 16, "Y" },
            { 17, "T" },
            { 31, "O" },
            { 32, "U" },
            { 34, "I" },
            { 35, "P" },
            { 37, "L" },
            { 38, "J" },
            { 40, "K" },
            { 45, "N" },
            { 46, "M" },
            { 18, "1" },
            { 19, "2" },
            { 20, "3" },
            { 21, "4" },
            { 22, "6" },
            { 23, "5" },
            { 25, "9" },
            { 26, "7" },
            { 28, "8" },
            { 29, "0" },
            { 24, "Equal" },
            { 27, "Minus" },
            { 30, "BracketRight" },
            { 33, "BracketLeft" },
            { 39, "Quote" },
            { 41, "Semicolon" },
            { 42, "Backslash" },
            { 43, "Comma" },
            { 44, "Slash" },
            { 47, "Period" },
            { 50, "Backquote" },
            { 49, "Space" },
            { 36, "Return" },
            { 123, "Left" },
            { 124, "Right" },
            { 125, "Down" },
            { 126, "Up" },
            { 122, "F1" },
            { 120, "F2" },
            { 99, "F3" },
            { 118, "F4" },
            { 96, "F5" },
            { 97, "F6" },
            { 98, "F7" },
            { 100, "F8" },
            { 101, "F9" },
            { 109, "F10" },
            { 103, "F11" },
            { 111, "F12" },
        };
        for (const auto& [code, name] : entries)
            t.insert(code, QString::fromLatin1(name));
        return t;
    }();
    return table;
}

QString displayPart(const QString& piece)
{
    static const QHash<QString, QString> symbols {
        { QStringLiteral("Command"), QStringLiteral("⌘") },
        { QStringLiteral("Control"), QStringLiteral("⌃") },
        { QStringLiteral("Alt"), QStringLiteral("⌥") },
        { QStringLiteral("Shift"), QStringLiteral("⇧") },
        { QStringLiteral("Space"), QStringLiteral("Space") },
        { QStringLiteral("SPACE"), QStringLiteral("Space") },
        { QStringLiteral("Period"), QStringLiteral(".") },
        { QStringLiteral("Comma"), QStringLiteral(",") },
        { QStringLiteral("Slash"), QStringLiteral("/") },
        { QStringLiteral("Backslash"), QStringLiteral("\\") },
        { QStringLiteral("Semicolon"), QStringLiteral(";") },
        { QStringLiteral("Quote"), QStringLiteral("'") },
        { QStringLiteral("BracketLeft"), QStringLiteral("[") },
        { QStringLiteral("BracketRight"), QStringLiteral("]") },
        { QStringLiteral("Minus"), QStringLiteral("-") },
        { QStringLiteral("Equal"), QStringLiteral("=") },
        { QStringLiteral("Backquote"), QStringLiteral("`") },
        { QStringLiteral("Return"), QStringLiteral("↩") },
        { QStringLiteral("Left"), QStringLiteral("←") },
        { QStringLiteral("Right"), QStringLiteral("→") },
        { QStringLiteral("Down"), QStringLiteral("↓") },
        { QStringLiteral("Up"), QStringLiteral("↑") },
    };
    return symbols.value(piece, piece);
}

QString display(const QString& text)
{
    QString normalized = text;
    normalized.replace(QStringLiteral("Option"), QStringLiteral("Alt"))
        .replace(QStringLiteral("⌥"), QStringLiteral("Alt"))
        .replace(QStringLiteral("Cmd"), QStringLiteral("Command"))
        .replace(QStringLiteral("⌘"), QStringLiteral("Command"))
        .replace(QStringLiteral("Ctrl"), QStringLiteral("Control"))
        .replace(QStringLiteral("⌃"), QStringLiteral("Control"))
        .replace(QStringLiteral("⇧"), QStringLiteral("Shift"));
    if (normalized.isEmpty() || ParsedHotkey::isNotAssigned(normalized))
        return ParsedHotkey::notAssigned;
    QStringList shown;
    for (const QString& piece : normalized.split(QLatin1Char('+'), Qt::SkipEmptyParts))
        shown.append(displayPart(piece));
    return shown.join(QLatin1Char(' '));
}

std::optional<QString> keyName(const HotkeyKeyPress& press, HotkeyRegistrar& keys)
{
    if (const auto code = keys.keyCodeForNativeKey(press.nativeKey)) {
        const auto name = keyCodeNames().constFind(*code);
        if (name != keyCodeNames().constEnd())
            return *name;
    }
    if (press.characters.size() != 1)
        return std::nullopt;
    static const QRegularExpression letterOrDigit(QStringLiteral("^[A-Z0-9]$"));
    const QString character = press.characters.toUpper();
    if (!letterOrDigit.match(character).hasMatch())
        return std::nullopt;
    const auto code = ParsedHotkey::keyCodes().constFind(character);
    if (code == ParsedHotkey::keyCodes().constEnd() || keys.nativeKeyForKeyCode(*code) != press.nativeKey)
        return std::nullopt;
    return character;
}

std::optional<QString> capture(const HotkeyKeyPress& press, HotkeyRegistrar& keys)
{
    const auto name = keyName(press, keys);
    if (!name)
        return std::nullopt;
    QStringList pieces;
    if (press.modifiers & Qt::MetaModifier)
        pieces.append(QStringLiteral("Command"));
    if (press.modifiers & Qt::ControlModifier)
        pieces.append(QStringLiteral("Control"));
    if (press.modifiers & Qt::AltModifier)
        pieces.append(QStringLiteral("Alt"));
    if (press.modifiers & Qt::ShiftModifier)
        pieces.append(QStringLiteral("Shift"));
    if (pieces.isEmpty())
        return std::nullopt;
    pieces.append(*name);
    return pieces.join(QLatin1Char('+'));
}

}  // namespace mendo::HotkeyFormatter
