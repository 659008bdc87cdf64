#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace mendo {

// Every symbol MendoAI draws (in the panels, the tray and the settings
// window) by its symbol name ("checkmark.circle.fill", "bolt.fill", the
// names of QuickAction::symbolName(), ...). A symbol comes from the desktop's
// icon theme where a freedesktop icon matches it (Adwaita when the desktop
// sets no theme), else from a small glyph MendoAI draws; an unknown name
// gets a generic glyph, never nothing. Symbols are one colour: theme icons
// are recoloured like the symbolic icons they are. Main thread.
class SymbolRegistry {
public:
    // The freedesktop icon name tried for `symbolName`; empty when MendoAI
    // always draws it itself.
    static QString themeIconName(const QString& symbolName);
    // Whether the icon theme supplies `symbolName` on this desktop.
    static bool fromTheme(const QString& symbolName);
    // Whether `symbolName` is unknown here: neither the theme nor a glyph of
    // MendoAI's own draws it, and the generic sparkles stand in.
    static bool drawsFallback(const QString& symbolName);

    // `symbolName` in `color`, `size` device-independent pixels square.
    static QPixmap pixmap(const QString& symbolName, int size, const QColor& color, qreal devicePixelRatio = 1.0);
    // The same as an icon for buttons, menus and the tray.
    static QIcon icon(const QString& symbolName, const QColor& color);

private:
    static QIcon themeIcon(const QString& symbolName);
};

}  // namespace mendo
