#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace mendo {

// A text action named by its id: "ai", "translate", "clipboard", "layout", or
// "style:" followed by a prompt style id. Hotkeys, menus and the settings
// lists hold these ids.
struct QuickAction {
    QString id;

    bool operator==(const QuickAction&) const = default;

    // The canonical form of a stored or typed id: trimmed; a bare built-in
    // style id (and the old "fix") gains the "style:" prefix.
    static QString normalize(const QString& id);
    // The 20 ids of the default quick menu, in order.
    static const QStringList& defaultActionIds();
    static const QList<QuickAction>& defaultActions();

    // "translate" for "translate"; the part after "style:" (maybe empty);
    // nothing for other ids.
    std::optional<QString> styleId() const;
    // A fixed title that ignores the interface language.
    QString title() const;
    // The name of the icon shown beside the action.
    QString symbolName() const;
};

}  // namespace mendo
