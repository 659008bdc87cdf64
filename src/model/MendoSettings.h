#pragma once

#include "model/AIReplyStyle.h"
#include "model/AIReplyStyleLibrary.h"
#include "model/AppLayoutRule.h"
#include "model/MendoPromptLibrary.h"
#include "model/PromptStyle.h"
#include "model/QuickAction.h"
#include "model/SettingsValueTypes.h"
#include "model/WindowTilingHotkeys.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace mendo {

// Every user setting, as one value. A default-constructed record holds every
// default. It is stored key by key by NativeSettingsStore.
struct MendoSettings {
    AppearanceMode appearanceMode = AppearanceMode::system;
    SurfaceMode surfaceMode = SurfaceMode::translucent;
    MenuScale menuScale = MenuScale::tiny;
    QString targetLanguage = QStringLiteral("English");
    QString translatePreviewTargetLanguage = QStringLiteral("English");
    UiLanguage uiLanguage = UiLanguage::en;
    QString selectedStyleId = QStringLiteral("original");
    QList<PromptStyle> promptStyles = MendoPromptLibrary::defaultStyles();
    QList<AIReplyStyle> aiReplyStyles = AIReplyStyleLibrary::defaultStyles();
    QString quickMenuHotkey = QStringLiteral("Alt+Q");
    QString assistantHotkey = QStringLiteral("Alt+I");
    QString clipboardHotkey = QStringLiteral("Alt+V");
    QString layoutHotkey = QStringLiteral("Alt+A");
    QString translatePreviewHotkey = QStringLiteral("Alt+R");
    QString layoutLatinSource = QStringLiteral("ABC");
    QString layoutNativeSource = QStringLiteral("Русская — ПК");
    bool layoutAutoSwitch = true;
    bool appLayoutSwitchingEnabled = false;
    QList<AppLayoutRule> appLayoutRules;
    bool windowTilingEnabled = true;
    HotkeyMap windowTilingHotkeys = WindowTilingHotkeys::defaults();
    // The selection watcher's switches: every load and every save makes them false.
    bool autoQuickMenuEnabled = false;
    bool floatingButtonVisible = false;
    MenuScale quickMenuSize = MenuScale::tiny;
    QuickMenuOpenMode quickMenuOpenMode = QuickMenuOpenMode::input;
    QStringList quickMenuActions = QuickAction::defaultActionIds();
    QStringList quickMenuOrder = QuickAction::defaultActionIds();
    bool clipboardHistoryEnabled = true;
    qint64 clipboardLimit = 100;
    QString clipboardDays = QStringLiteral("forever");
    bool openMainWindowOnLaunch = true;
    bool menuBarIconVisible = true;
    bool closeToMenuBar = true;
    bool autoSelectAllBeforeAction = true;
    bool aiContextEnabled = false;
    bool updateNotificationsEnabled = true;
    bool automaticUpdateChecksEnabled = true;

    bool operator==(const MendoSettings&) const = default;
};

}  // namespace mendo
