#pragma once

#include "model/MendoSettings.h"

namespace mendo {

class UserDefaults;

// Loads and saves MendoSettings key by key in the user defaults. Loading is
// forgiving: a missing, empty, malformed or out-of-range value falls back to
// the field's default and never fails the load. Saving writes every key at
// once, unvalidated. No cache: every load reads the defaults afresh.
// Main thread only.
class NativeSettingsStore {
public:
    explicit NativeSettingsStore(UserDefaults& defaults)
        : m_defaults(defaults)
    {
    }

    MendoSettings load() const;
    void save(const MendoSettings& settings);

    UserDefaults& defaults() const { return m_defaults; }

    // Keys other components read directly from the defaults.
    static constexpr const char* closeToMenuBarKey = "mendo.closeToMenuBar";
    static constexpr const char* menuBarIconVisibleKey = "mendo.menuBarIconVisible";
    static constexpr const char* windowTilingEnabledKey = "mendo.windowTiling.enabled";
    // Set by every save: the profile's stored lists have been through the
    // one-time emoji migration (the "style:emoji" quick-menu entry and the
    // emoji style's hotkey), so a later removal or change by the user stays.
    static constexpr const char* emojiMigrationKey = "mendo.migrations.emojiStyle";

private:
    UserDefaults& m_defaults;
};

}  // namespace mendo
