#include "platform/atspi/AtspiTreeWalks.h"

#include <algorithm>

namespace mendo::atspi {

std::optional<QList<AtspiAccessible*>> collectionMatches(
    AtspiAccessible* root, const std::vector<AtspiStateType>& states, const std::vector<AtspiRole>& roles, int count)
{
    Ref<AtspiCollection> collection(atspi_accessible_get_collection_iface(root));
    if (!collection)
        return std::nullopt;
    GArray* stateArray = g_array_new(FALSE, FALSE, sizeof(AtspiStateType));
    for (AtspiStateType state : states)
        g_array_append_val(stateArray, state);
    Ref<AtspiStateSet> stateSet(atspi_state_set_new(stateArray));
    g_array_free(stateArray, TRUE);
    GArray* roleArray = g_array_new(FALSE, FALSE, sizeof(AtspiRole));
    for (AtspiRole role : roles)
        g_array_append_val(roleArray, role);
    Ref<AtspiMatchRule> rule(
        atspi_match_rule_new(stateSet.get(), ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_NONE,
            roleArray, roles.empty() ? ATSPI_Collection_MATCH_NONE : ATSPI_Collection_MATCH_ANY, nullptr,
            ATSPI_Collection_MATCH_NONE, FALSE));
    g_array_free(roleArray, TRUE);
    Error error;
    GArray* matches = atspi_collection_get_matches(
        collection.get(), rule.get(), ATSPI_Collection_SORT_ORDER_CANONICAL, count, TRUE, error.out());
    if (error || !matches) {
        if (matches)
            g_array_free(matches, TRUE);
        return std::nullopt;
    }
    QList<AtspiAccessible*> result;
    for (guint i = 0; i < matches->len; ++i)
        if (AtspiAccessible* match = g_array_index(matches, AtspiAccessible*, i))
            result.append(match);
    g_array_free(matches, TRUE);
    return result;
}

namespace {

// Depth-first search for the focused element, skipping hidden subtrees.
// Returns a new reference.
AtspiAccessible* walkForFocused(AtspiAccessible* root, int& budget)
{
    QList<AtspiAccessible*> stack { static_cast<AtspiAccessible*>(g_object_ref(root)) };
    AtspiAccessible* found = nullptr;
    while (!stack.isEmpty() && !found && budget > 0) {
        AtspiAccessible* object = stack.takeLast();
        --budget;
        const States states(object);
        if (states.has(ATSPI_STATE_FOCUSED)) {
            found = object;
            break;
        }
        if (object == root || states.has(ATSPI_STATE_SHOWING)) {
            QList<AtspiAccessible*> children = childrenOf(object);
            std::reverse(children.begin(), children.end());
            stack += children;
        }
        g_object_unref(object);
    }
    unrefAll(stack);
    return found;
}

// The application's windows, the active one first. New references.
QList<AtspiAccessible*> windowsOf(AtspiAccessible* application)
{
    QList<AtspiAccessible*> active;
    QList<AtspiAccessible*> others;
    for (AtspiAccessible* child : childrenOf(application)) {
        if (States(child).has(ATSPI_STATE_ACTIVE))
            active.append(child);
        else
            others.append(child);
    }
    return active + others;
}

}  // namespace

AtspiAccessible* focusedElementOf(AtspiAccessible* application, const QHash<QString, AtspiAccessible*>& lastFocused)
{
    if (AtspiAccessible* tracked = lastFocused.value(busName(application))) {
        if (States(tracked).has(ATSPI_STATE_FOCUSED))
            return static_cast<AtspiAccessible*>(g_object_ref(tracked));
    }
    // Enough for any real window; a hung or enormous tree ends here.
    int budget = 20000;
    const QList<AtspiAccessible*> windows = windowsOf(application);
    AtspiAccessible* found = nullptr;
    for (AtspiAccessible* window : windows) {
        if (const auto matches = collectionMatches(window, { ATSPI_STATE_FOCUSED }, {}, 1)) {
            if (!matches->isEmpty()) {
                found = static_cast<AtspiAccessible*>(g_object_ref(matches->first()));
                unrefAll(*matches);
                break;
            }
            // Collection found nothing; a walk would not either, unless the
            // window itself has the focus.
            if (States(window).has(ATSPI_STATE_FOCUSED)) {
                found = static_cast<AtspiAccessible*>(g_object_ref(window));
                break;
            }
            continue;
        }
        if ((found = walkForFocused(window, budget)))
            break;
    }
    unrefAll(windows);
    return found;
}

AtspiAccessible* focusedWindowOf(AtspiAccessible* application)
{
    const QList<AtspiAccessible*> windows = windowsOf(application);
    AtspiAccessible* found = nullptr;
    // An application's children are its top-level windows, whatever their
    // role (a bare Qt widget window is a "filler").
    for (AtspiAccessible* window : windows) {
        const States states(window);
        if (states.has(ATSPI_STATE_ACTIVE) || states.has(ATSPI_STATE_SHOWING)) {
            found = static_cast<AtspiAccessible*>(g_object_ref(window));
            break;
        }
    }
    unrefAll(windows);
    return found;
}

}  // namespace mendo::atspi
