#pragma once

#include "model/AIReplyStyle.h"

#include <QList>
#include <QSet>

namespace mendo {

// The built-in reply styles and the rebuilding of a saved list on top of
// them. Pure functions over constant tables.
namespace AIReplyStyleLibrary {

// The 17 built-in reply styles in their fixed order (the default settings list).
const QList<AIReplyStyle>& defaultStyles();
const QSet<QString>& builtInStyleIds();

// The working list: the 17 built-ins first, each with the saved name, prompt
// and hotkey where those are not empty, then the user's styles in saved
// order. An empty list gives the built-ins; for a built-in id saved twice the
// first occurrence is used.
QList<AIReplyStyle> restoredStyles(const QList<AIReplyStyle>& saved);

// The style word a reply request carries; empty for user styles.
QString backendStyleName(const AIReplyStyle& style);

}  // namespace AIReplyStyleLibrary

}  // namespace mendo
