#include "settings/QuickMenuActions.h"

#include "app/MendoAppState.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace mendo {

namespace {

QStringList normalized(const QStringList& ids)
{
    QStringList result;
    result.reserve(ids.size());
    for (const QString& id : ids)
        result.append(QuickAction::normalize(id));
    return result;
}

}  // namespace

QStringList QuickMenuActions::availableActionIds() const
{
    QStringList candidates { QStringLiteral("ai"), QStringLiteral("translate") };
    for (const PromptStyle& style : m_state.promptStyles()) {
        // The translate style is reached through the translate action.
        if (style.id != QLatin1String("translate"))
            candidates.append(QStringLiteral("style:") + style.id);
    }
    candidates << QStringLiteral("clipboard") << QStringLiteral("layout");

    QStringList result;
    result.reserve(candidates.size());
    QSet<QString> seen;
    for (const QString& candidate : candidates) {
        const QString id = QuickAction::normalize(candidate);
        if (!seen.contains(id)) {
            seen.insert(id);
            result.append(id);
        }
    }
    return result;
}

QStringList QuickMenuActions::orderedIds(const QStringList& available) const
{
    const QSet<QString> offered(available.begin(), available.end());
    QStringList result;
    result.reserve(available.size());
    QSet<QString> placed;
    for (const QString& stored : m_state.settings().quickMenuOrder) {
        const QString id = QuickAction::normalize(stored);
        if (offered.contains(id) && !placed.contains(id)) {
            placed.insert(id);
            result.append(id);
        }
    }
    for (const QString& id : available) {
        if (!placed.contains(id))
            result.append(id);
    }
    return result;
}

QStringList QuickMenuActions::orderedActionIds() const
{
    return orderedIds(availableActionIds());
}

QList<QuickAction> QuickMenuActions::orderedActions() const
{
    QList<QuickAction> actions;
    const QStringList ids = orderedActionIds();
    actions.reserve(ids.size());
    for (const QString& id : ids)
        actions.append(QuickAction { id });
    return actions;
}

bool QuickMenuActions::isEnabled(const QString& id) const
{
    const QString wanted = QuickAction::normalize(id);
    for (const QString& stored : m_state.settings().quickMenuActions) {
        if (QuickAction::normalize(stored) == wanted)
            return true;
    }
    return false;
}

QSet<QString> QuickMenuActions::enabledIds() const
{
    const QStringList stored = normalized(m_state.settings().quickMenuActions);
    return QSet<QString>(stored.begin(), stored.end());
}

void QuickMenuActions::setAction(const QString& id, bool enabled)
{
    const QString action = QuickAction::normalize(id);
    QStringList actions = normalized(m_state.settings().quickMenuActions);
    if (enabled) {
        if (!actions.contains(action))
            actions.append(action);
    } else {
        actions.removeAll(action);
    }

    const QStringList order = orderedActionIds();
    QHash<QString, qsizetype> position;
    position.reserve(order.size());
    for (qsizetype i = 0; i < order.size(); ++i)
        position.insert(order[i], i);
    const auto rank = [&](const QString& entry) { return position.value(entry, order.size()); };
    std::stable_sort(actions.begin(), actions.end(),
        [&](const QString& a, const QString& b) { return rank(a) < rank(b); });

    m_state.editSettings([&](MendoSettings& s) { s.quickMenuActions = actions; });
}

void QuickMenuActions::moveAction(int index, int direction)
{
    QStringList order = orderedActionIds();
    const qsizetype target = qsizetype(index) + direction;
    if (index < 0 || index >= order.size() || target < 0 || target >= order.size())
        return;
    order.swapItemsAt(index, target);
    m_state.editSettings([&](MendoSettings& s) { s.quickMenuOrder = order; });

    // Read again: the first save may have been answered by an observer.
    const QStringList stored = normalized(m_state.settings().quickMenuActions);
    const QSet<QString> enabled(stored.begin(), stored.end());
    QStringList actions;
    for (const QString& entry : order) {
        if (enabled.contains(entry))
            actions.append(entry);
    }
    m_state.editSettings([&](MendoSettings& s) { s.quickMenuActions = actions; });
}

}  // namespace mendo
