#pragma once

#include "model/BackendAction.h"
#include "model/PromptStyle.h"
#include "base/BiText.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <optional>

namespace mendo {

struct QuickAction;

// The built-in prompt styles and the rules that rebuild the user's saved list
// on top of them. Pure functions over constant tables; safe on any thread.
namespace MendoPromptLibrary {

// The 17 built-in styles in their fixed order (also the default settings list).
const QList<PromptStyle>& defaultStyles();
const QSet<QString>& builtInStyleIds();
// Built-in id -> the opening words of the instruction earlier versions
// shipped; a saved prompt that still starts so is replaced by today's.
const QHash<QString, QString>& oldBuiltInStylePromptMarkers();
// The 100 target-language names a target language must be one of.
const QStringList& languages();

// The working list from a saved one: the 17 built-ins first (the saved edit
// of each), then the user's own styles in saved order. When a built-in id is
// saved twice, the first occurrence is used. `firstMigration` (the settings
// store asks for it only on a profile's first migration) replaces built-in
// styles still saved with an outdated prompt by today's and resets the emoji
// style's hotkey; later loads keep whatever the user has edited since.
QList<PromptStyle> mergeSavedStyles(const QList<PromptStyle>& saved, bool firstMigration = true);

// The first style in `styles` with this id, else the built-in one, else nothing.
std::optional<PromptStyle> style(const QString& id, const QList<PromptStyle>& styles);

BackendAction backendAction(const QuickAction& action, const PromptStyle& style);

// The fixed English/Russian title of a built-in style; nothing for other ids.
std::optional<BiText> builtInTitle(const QString& id);

}  // namespace MendoPromptLibrary

}  // namespace mendo
