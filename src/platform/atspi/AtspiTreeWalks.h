#pragma once

#include "platform/atspi/AtspiObjects.h"

#include <QHash>

#include <vector>

// Searches of an application's tree, each bounded: a hung or enormous tree
// costs a limited number of calls.
namespace mendo::atspi {

// A Collection search under `root`: new references of at most `count`
// elements (0: all) with all of `states` and one of `roles` (any role when
// empty). Nothing when the application does not implement Collection (Qt
// does not), so callers walk instead.
std::optional<QList<AtspiAccessible*>> collectionMatches(
    AtspiAccessible* root, const std::vector<AtspiStateType>& states, const std::vector<AtspiRole>& roles, int count);

// The application's focused element: the one that last announced it took the
// focus (`lastFocused`, by bus name) while it still has it, else the element
// in the focused state, its active window searched first. A new reference.
AtspiAccessible* focusedElementOf(AtspiAccessible* application, const QHash<QString, AtspiAccessible*>& lastFocused);

// Its active window, else the first showing one. A new reference.
AtspiAccessible* focusedWindowOf(AtspiAccessible* application);

}  // namespace mendo::atspi
