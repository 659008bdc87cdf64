#include "model/SettingsValueTypes.h"

namespace mendo {

BiText title(AppearanceMode mode)
{
    switch (mode) {
    case AppearanceMode::system: return {QStringLiteral("System"), QStringLiteral("Системный")};
    case AppearanceMode::liquidSky: return {QStringLiteral("Sky Glass"), QStringLiteral("Небесное стекло")};
    case AppearanceMode::liquidViolet: return {QStringLiteral("Violet Glass"), QStringLiteral("Фиолетовое стекло")};
    case AppearanceMode::liquidMint: return {QStringLiteral("Mint Glass"), QStringLiteral("Мятное стекло")};
    case AppearanceMode::liquidRose: return {QStringLiteral("Rose Glass"), QStringLiteral("Розовое стекло")};
    case AppearanceMode::liquidNoir: return {QStringLiteral("Noir Glass"), QStringLiteral("Темное стекло")};
    }
    return {};
}

BiText title(MenuScale scale)
{
    switch (scale) {
    case MenuScale::tiny: return {QStringLiteral("Tiny"), QStringLiteral("Мини")};
    case MenuScale::small: return {QStringLiteral("Small"), QStringLiteral("Маленький")};
    case MenuScale::medium: return {QStringLiteral("Medium"), QStringLiteral("Средний")};
    case MenuScale::large: return {QStringLiteral("Large"), QStringLiteral("Большой")};
    case MenuScale::xlarge: return {QStringLiteral("Extra Large"), QStringLiteral("Очень большой")};
    }
    return {};
}

BiText title(SettingsPage page)
{
    switch (page) {
    case SettingsPage::general: return {QStringLiteral("General"), QStringLiteral("Основные")};
    case SettingsPage::actions: return {QStringLiteral("Actions"), QStringLiteral("Действия")};
    case SettingsPage::styles: return {QStringLiteral("Styles"), QStringLiteral("Стили")};
    case SettingsPage::aiReply: return {QStringLiteral("AI Reply"), QStringLiteral("AI Reply")};
    case SettingsPage::quickMenu: return {QStringLiteral("Quick Menu"), QStringLiteral("Быстрое меню")};
    case SettingsPage::clipboard: return {QStringLiteral("Clipboard"), QStringLiteral("Буфер")};
    case SettingsPage::layout: return {QStringLiteral("Layout"), QStringLiteral("Раскладка")};
    case SettingsPage::permissions: return {QStringLiteral("Permissions"), QStringLiteral("Разрешения")};
    case SettingsPage::shortcuts: return {QStringLiteral("Shortcuts"), QStringLiteral("Хоткеи")};
    case SettingsPage::updates: return {QStringLiteral("Updates"), QStringLiteral("Обновления")};
    }
    return {};
}

QString symbolName(SettingsPage page)
{
    switch (page) {
    case SettingsPage::general: return QStringLiteral("gearshape");
    case SettingsPage::actions: return QStringLiteral("sparkles");
    case SettingsPage::styles: return QStringLiteral("text.badge.star");
    case SettingsPage::aiReply: return QStringLiteral("bubble.left.and.text.bubble.right");
    case SettingsPage::quickMenu: return QStringLiteral("bolt.circle");
    case SettingsPage::clipboard: return QStringLiteral("clipboard");
    case SettingsPage::layout: return QStringLiteral("keyboard");
    case SettingsPage::permissions: return QStringLiteral("lock.shield");
    case SettingsPage::shortcuts: return QStringLiteral("keyboard");
    case SettingsPage::updates: return QStringLiteral("arrow.down.circle");
    }
    return {};
}

}  // namespace mendo
