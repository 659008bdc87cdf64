#pragma once

#include "model/QuickAction.h"

#include <QList>
#include <QSet>
#include <QStringList>

namespace mendo {

class MendoAppState;

// Which actions the quick panel offers and in which order, as the Quick Menu
// page edits them: every action the panel can offer (the fixed ones and one
// per prompt style), in the user's stored order with the rest after it, and
// the two stored lists rewritten by a switch or a move. Ids are compared in
// their normalised form, so older stored forms ("fix", a bare built-in style
// id, surrounding blanks) count as the action they name. Both derived lists
// are computed afresh from the settings on every call. Main thread only.
class QuickMenuActions {
public:
    explicit QuickMenuActions(MendoAppState& state)
        : m_state(state)
    {
    }

    // "ai", "translate", one "style:<id>" per prompt style (the style called
    // "translate" is the translate action itself), "clipboard", "layout";
    // each once.
    QStringList availableActionIds() const;
    // Every available action exactly once: the stored order first, then the
    // others in the order above.
    QList<QuickAction> orderedActions() const;
    QStringList orderedActionIds() const;

    // Whether the action is switched on (in the stored actions).
    bool isEnabled(const QString& id) const;
    // The switched-on ids, normalised.
    QSet<QString> enabledIds() const;
    // Whether the row at `index` of `count` rows can move up or down.
    static bool canMoveUp(int index) { return index > 0; }
    static bool canMoveDown(int index, int count) { return index >= 0 && index < count - 1; }

    // Switches one action on (appended once) or off (every copy removed) and
    // stores the actions sorted into page order; ids that are not available
    // sort last, in the order they had. One save; the order is not touched.
    void setAction(const QString& id, bool enabled);
    // Swaps the action at `index` with its neighbour (direction -1 up, +1
    // down) and stores the whole order; then stores the switched-on actions
    // that are available, in the new order. Two saves; nothing at all when
    // either position lies outside the rows.
    void moveAction(int index, int direction);

private:
    QStringList orderedIds(const QStringList& available) const;

    MendoAppState& m_state;
};

}  // namespace mendo
