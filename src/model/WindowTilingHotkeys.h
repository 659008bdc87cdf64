#pragma once

#include "model/WindowTileSlot.h"

#include <QJsonObject>
#include <QMap>
#include <QStringList>
#include <optional>

namespace mendo {

// Window-management action name -> hotkey text.
using HotkeyMap = QMap<QString, QString>;

// The fixed vocabulary of window-management actions and their hotkeys.
namespace WindowTilingHotkeys {

// The 14 actions with their default hotkeys.
const HotkeyMap& defaults();
// The same 14 names in the order they are registered and listed.
const QStringList& order();

// "full" and "fill" both give the whole-screen slot; exact names only.
std::optional<WindowTileSlot> slot(const QString& actionName);
std::optional<WindowSwapDirection> swapDirection(const QString& actionName);

// A stored map merged over the defaults: stored texts win, names only in the
// store are kept, and the old half-screen defaults (which are now the swap
// hotkeys) are moved to today's.
HotkeyMap mergedOverDefaults(const HotkeyMap& stored);

// Entries whose value is not a string are left out.
HotkeyMap fromJson(const QJsonObject& object);
QJsonObject toJson(const HotkeyMap& map);

}  // namespace WindowTilingHotkeys

}  // namespace mendo
