#pragma once

// The closed vocabularies of the settings. Five are stored as their raw-value
// strings, so the raw values are a persisted format: never rename one.

#include "base/BiText.h"
#include "base/EnumTable.h"
#include "base/UiLanguage.h"

namespace mendo {

enum class AppearanceMode { system, liquidSky, liquidViolet, liquidMint, liquidRose, liquidNoir };
enum class SurfaceMode { translucent, solid };
enum class MenuScale { tiny, small, medium, large, xlarge };
enum class QuickMenuOpenMode { input, button };
enum class SettingsPage { general, actions, styles, aiReply, quickMenu, clipboard, layout, permissions, shortcuts, updates };

template <>
struct EnumTraits<AppearanceMode> {
    static constexpr std::array<EnumCase<AppearanceMode>, 6> cases{{
        {AppearanceMode::system, "system"},
        {AppearanceMode::liquidSky, "liquid-sky"},
        {AppearanceMode::liquidViolet, "liquid-violet"},
        {AppearanceMode::liquidMint, "liquid-mint"},
        {AppearanceMode::liquidRose, "liquid-rose"},
        {AppearanceMode::liquidNoir, "liquid-noir"},
    }};
};

template <>
struct EnumTraits<SurfaceMode> {
    static constexpr std::array<EnumCase<SurfaceMode>, 2> cases{{
        {SurfaceMode::translucent, "translucent"},
        {SurfaceMode::solid, "solid"},
    }};
};

template <>
struct EnumTraits<MenuScale> {
    static constexpr std::array<EnumCase<MenuScale>, 5> cases{{
        {MenuScale::tiny, "tiny"},
        {MenuScale::small, "small"},
        {MenuScale::medium, "medium"},
        {MenuScale::large, "large"},
        {MenuScale::xlarge, "xlarge"},
    }};
};

template <>
struct EnumTraits<QuickMenuOpenMode> {
    static constexpr std::array<EnumCase<QuickMenuOpenMode>, 2> cases{{
        {QuickMenuOpenMode::input, "input"},
        {QuickMenuOpenMode::button, "button"},
    }};
};

template <>
struct EnumTraits<SettingsPage> {
    static constexpr std::array<EnumCase<SettingsPage>, 10> cases{{
        {SettingsPage::general, "general"},
        {SettingsPage::actions, "actions"},
        {SettingsPage::styles, "styles"},
        {SettingsPage::aiReply, "aiReply"},
        {SettingsPage::quickMenu, "quickMenu"},
        {SettingsPage::clipboard, "clipboard"},
        {SettingsPage::layout, "layout"},
        {SettingsPage::permissions, "permissions"},
        {SettingsPage::shortcuts, "shortcuts"},
        {SettingsPage::updates, "updates"},
    }};
};

BiText title(AppearanceMode mode);
BiText title(MenuScale scale);
BiText title(SettingsPage page);

inline QString localizedTitle(AppearanceMode mode, UiLanguage language) { return title(mode).text(language); }
inline QString localizedTitle(MenuScale scale, UiLanguage language) { return title(scale).text(language); }
inline QString localizedTitle(SettingsPage page, UiLanguage language) { return title(page).text(language); }

// The icon name of a settings page (a freedesktop-style symbolic name is
// chosen from it by the settings window).
QString symbolName(SettingsPage page);

}  // namespace mendo
