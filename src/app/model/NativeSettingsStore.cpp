#include "app/model/NativeSettingsStore.h"

#include "platform/UserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace mendo {

namespace {

// Defaults keys, one per field.
constexpr const char* kTheme = "mendo.theme";
constexpr const char* kSurfaceMode = "mendo.surfaceMode";
constexpr const char* kMenuScale = "mendo.menuScale";
constexpr const char* kTargetLanguage = "mendo.targetLanguage";
constexpr const char* kPreviewLanguage = "mendo.translationPreviewTargetLanguage";
constexpr const char* kUiLanguage = "mendo.uiLanguage";
constexpr const char* kSelectedStyleId = "mendo.selectedStyleId";
constexpr const char* kPromptStyles = "mendo.promptStyles";
constexpr const char* kReplyStyles = "mendo.aiReplyStyles";
constexpr const char* kQuickMenuHotkey = "mendo.quickMenuHotkey";
constexpr const char* kAssistantHotkey = "mendo.assistantHotkey";
constexpr const char* kClipboardHotkey = "mendo.clipboardHotkey";
constexpr const char* kLayoutHotkey = "mendo.layoutHotkey";
constexpr const char* kPreviewHotkey = "mendo.translatePreviewHotkey";
constexpr const char* kLatinSource = "mendo.layoutLatinSource";
constexpr const char* kNativeSource = "mendo.layoutNativeSource";
constexpr const char* kLayoutAutoSwitch = "mendo.layoutAutoSwitch";
constexpr const char* kAppLayoutEnabled = "mendo.appLayoutSwitching.enabled";
constexpr const char* kAppLayoutRules = "mendo.appLayoutSwitching.rules";
constexpr const char* kTilingHotkeys = "mendo.windowTiling.hotkeys";
constexpr const char* kAutoQuickMenu = "mendo.autoQuickMenuEnabled";
constexpr const char* kFloatingButton = "mendo.quickMenu.floatingButtonVisible";
constexpr const char* kQuickMenuSize = "mendo.quickMenu.size";
constexpr const char* kQuickMenuOpenMode = "mendo.quickMenu.openMode";
constexpr const char* kQuickMenuActions = "mendo.quickMenu.actions";
constexpr const char* kQuickMenuOrder = "mendo.quickMenu.order";
constexpr const char* kClipboardEnabled = "mendo.clipboardHistory.enabled";
constexpr const char* kClipboardLimit = "mendo.clipboardLimit";
constexpr const char* kClipboardDays = "mendo.clipboardDays";
constexpr const char* kOpenMainWindow = "mendo.openMainWindowOnLaunch";
constexpr const char* kAutoSelectAll = "mendo.autoSelectAllBeforeAction";
constexpr const char* kAiContext = "mendo.aiContextEnabled";
constexpr const char* kUpdateNotifications = "mendo.updates.notificationsEnabled";
constexpr const char* kAutomaticUpdateChecks = "mendo.updates.automaticChecksEnabled";

class Reader {
public:
    explicit Reader(const UserDefaults& defaults) : d(defaults) {}

    // Nothing readable as a string, or an empty one, gives the fallback.
    QString string(const char* key, const QString& fallback) const
    {
        const auto value = d.string(QString::fromLatin1(key));
        return value && !value->isEmpty() ? *value : fallback;
    }

    bool boolean(const char* key, bool fallback) const
    {
        const QString k = QString::fromLatin1(key);
        return d.contains(k) ? d.boolean(k) : fallback;
    }

    qint64 integer(const char* key, qint64 fallback, qint64 lowest, qint64 highest) const
    {
        const QString k = QString::fromLatin1(key);
        return d.contains(k) ? std::clamp(d.integer(k), lowest, highest) : fallback;
    }

    template <class E>
    E twoCase(const char* key, E first, E second) const
    {
        return string(key, rawValue(first)) == rawValue(second) ? second : first;
    }

    MenuScale menuScale(const char* key) const
    {
        return fromRawValue<MenuScale>(string(key, rawValue(MenuScale::tiny))).value_or(MenuScale::tiny);
    }

    QString language(const char* key) const
    {
        const QString value = string(key, QStringLiteral("English"));
        return MendoPromptLibrary::languages().contains(value) ? value : QStringLiteral("English");
    }

    QString source(const char* key, const QString& fallback) const
    {
        const QString value = string(key, fallback);
        return value == u"Auto" ? fallback : value;
    }

    // The JSON array stored under the key as data (or, where allowed, as the
    // text of JSON); nothing when there is none or it does not parse as one.
    std::optional<QJsonArray> array(const char* key, bool acceptText) const
    {
        const auto bytes = json(key, acceptText);
        if (!bytes)
            return std::nullopt;
        const QJsonDocument document = QJsonDocument::fromJson(*bytes);
        if (!document.isArray())
            return std::nullopt;
        return document.array();
    }

    std::optional<QJsonObject> object(const char* key) const
    {
        const auto bytes = json(key, false);
        if (!bytes)
            return std::nullopt;
        const QJsonDocument document = QJsonDocument::fromJson(*bytes);
        if (!document.isObject())
            return std::nullopt;
        return document.object();
    }

private:
    std::optional<QByteArray> json(const char* key, bool acceptText) const
    {
        const QString k = QString::fromLatin1(key);
        if (auto data = d.data(k))
            return data;
        if (acceptText)
            if (auto text = d.string(k))
                return text->toUtf8();
        return std::nullopt;
    }

    const UserDefaults& d;
};

// One malformed element is dropped on its own: the rest of the user's list
// must survive, or the next save would erase it.
template <class T>
QList<T> decodeEach(const QJsonArray& array)
{
    QList<T> result;
    result.reserve(array.size());
    for (const QJsonValue& element : array)
        if (auto value = T::fromJson(element))
            result.append(*value);
    return result;
}

QStringList decodeStrings(const QJsonArray& array)
{
    QStringList result;
    for (const QJsonValue& element : array)
        if (element.isString())
            result.append(element.toString());
    return result;
}

QStringList quickMenuList(const Reader& reader, const char* key, bool insertEmoji)
{
    QStringList ids;
    if (auto array = reader.array(key, true))
        ids = decodeStrings(*array);
    if (ids.isEmpty())
        ids = QuickAction::defaultActionIds();
    for (QString& id : ids)
        id = QuickAction::normalize(id);
    const QString emoji = QStringLiteral("style:emoji");
    if (insertEmoji && !ids.contains(emoji)) {
        const qsizetype polite = ids.indexOf(QStringLiteral("style:polite"));
        ids.insert(polite < 0 ? ids.size() : polite, emoji);
    }
    return ids;
}

template <class T>
QJsonArray encodeEach(const QList<T>& values)
{
    QJsonArray result;
    for (const T& value : values)
        result.append(value.toJson());
    return result;
}

}  // namespace

MendoSettings NativeSettingsStore::load() const
{
    const Reader r(m_defaults);
    const bool firstMigration = !m_defaults.boolean(QString::fromLatin1(emojiMigrationKey));
    MendoSettings s;

    s.appearanceMode = fromRawValue<AppearanceMode>(m_defaults.string(kTheme).value_or(QString()))
                           .value_or(AppearanceMode::system);
    s.surfaceMode = r.twoCase(kSurfaceMode, SurfaceMode::translucent, SurfaceMode::solid);
    s.menuScale = r.menuScale(kMenuScale);
    s.targetLanguage = r.language(kTargetLanguage);
    s.translatePreviewTargetLanguage = r.language(kPreviewLanguage);
    s.uiLanguage = r.twoCase(kUiLanguage, UiLanguage::en, UiLanguage::ru);
    s.selectedStyleId = r.string(kSelectedStyleId, s.selectedStyleId);

    if (auto array = r.array(kPromptStyles, true)) {
        const auto saved = decodeEach<PromptStyle>(*array);
        if (!saved.isEmpty())
            s.promptStyles = MendoPromptLibrary::mergeSavedStyles(saved, firstMigration);
    }
    QList<AIReplyStyle> savedReplies;
    if (auto array = r.array(kReplyStyles, true))
        savedReplies = decodeEach<AIReplyStyle>(*array);
    s.aiReplyStyles = AIReplyStyleLibrary::restoredStyles(savedReplies);

    s.quickMenuHotkey = r.string(kQuickMenuHotkey, s.quickMenuHotkey);
    s.assistantHotkey = r.string(kAssistantHotkey, s.assistantHotkey);
    s.clipboardHotkey = r.string(kClipboardHotkey, s.clipboardHotkey);
    s.layoutHotkey = r.string(kLayoutHotkey, s.layoutHotkey);
    s.translatePreviewHotkey = r.string(kPreviewHotkey, s.translatePreviewHotkey);
    s.layoutLatinSource = r.source(kLatinSource, s.layoutLatinSource);
    s.layoutNativeSource = r.source(kNativeSource, s.layoutNativeSource);
    s.layoutAutoSwitch = r.boolean(kLayoutAutoSwitch, s.layoutAutoSwitch);
    s.appLayoutSwitchingEnabled = r.boolean(kAppLayoutEnabled, s.appLayoutSwitchingEnabled);
    if (auto array = r.array(kAppLayoutRules, false))
        s.appLayoutRules = decodeEach<AppLayoutRule>(*array);
    s.windowTilingEnabled = r.boolean(windowTilingEnabledKey, s.windowTilingEnabled);
    if (auto object = r.object(kTilingHotkeys))
        s.windowTilingHotkeys = WindowTilingHotkeys::mergedOverDefaults(WindowTilingHotkeys::fromJson(*object));
    s.autoQuickMenuEnabled = false;
    s.floatingButtonVisible = false;
    s.quickMenuSize = r.menuScale(kQuickMenuSize);
    s.quickMenuOpenMode = r.twoCase(kQuickMenuOpenMode, QuickMenuOpenMode::input, QuickMenuOpenMode::button);
    s.quickMenuActions = quickMenuList(r, kQuickMenuActions, firstMigration);
    s.quickMenuOrder = quickMenuList(r, kQuickMenuOrder, firstMigration);
    s.clipboardHistoryEnabled = r.boolean(kClipboardEnabled, s.clipboardHistoryEnabled);
    s.clipboardLimit = r.integer(kClipboardLimit, 100, 1, 1000);
    s.clipboardDays = r.string(kClipboardDays, s.clipboardDays);
    s.openMainWindowOnLaunch = r.boolean(kOpenMainWindow, s.openMainWindowOnLaunch);
    s.menuBarIconVisible = r.boolean(menuBarIconVisibleKey, s.menuBarIconVisible);
    s.closeToMenuBar = r.boolean(closeToMenuBarKey, s.closeToMenuBar);
    s.autoSelectAllBeforeAction = r.boolean(kAutoSelectAll, s.autoSelectAllBeforeAction);
    s.aiContextEnabled = r.boolean(kAiContext, s.aiContextEnabled);
    s.updateNotificationsEnabled = r.boolean(kUpdateNotifications, s.updateNotificationsEnabled);
    s.automaticUpdateChecksEnabled = r.boolean(kAutomaticUpdateChecks, s.automaticUpdateChecksEnabled);
    return s;
}

void NativeSettingsStore::save(const MendoSettings& s)
{
    UserDefaults::Batch batch(m_defaults);
    auto set = [this](const char* key, const QVariant& value) { m_defaults.set(QString::fromLatin1(key), value); };
    auto setJson = [&set](const char* key, const auto& value) {
        set(key, QJsonDocument(value).toJson(QJsonDocument::Compact));
    };

    set(kTheme, rawValue(s.appearanceMode));
    set(kSurfaceMode, rawValue(s.surfaceMode));
    set(kMenuScale, rawValue(s.menuScale));
    set(kTargetLanguage, s.targetLanguage);
    set(kPreviewLanguage, s.translatePreviewTargetLanguage);
    set(kUiLanguage, rawValue(s.uiLanguage));
    set(kSelectedStyleId, s.selectedStyleId);
    setJson(kPromptStyles, encodeEach(s.promptStyles));
    setJson(kReplyStyles, encodeEach(s.aiReplyStyles));
    set(kQuickMenuHotkey, s.quickMenuHotkey);
    set(kAssistantHotkey, s.assistantHotkey);
    set(kClipboardHotkey, s.clipboardHotkey);
    set(kLayoutHotkey, s.layoutHotkey);
    set(kPreviewHotkey, s.translatePreviewHotkey);
    set(kLatinSource, s.layoutLatinSource);
    set(kNativeSource, s.layoutNativeSource);
    set(kLayoutAutoSwitch, s.layoutAutoSwitch);
    set(kAppLayoutEnabled, s.appLayoutSwitchingEnabled);
    setJson(kAppLayoutRules, encodeEach(s.appLayoutRules));
    set(windowTilingEnabledKey, s.windowTilingEnabled);
    setJson(kTilingHotkeys, WindowTilingHotkeys::toJson(s.windowTilingHotkeys));
    // The selection watcher's switches are never kept on.
    set(kAutoQuickMenu, false);
    set(kFloatingButton, false);
    set(kQuickMenuSize, rawValue(s.quickMenuSize));
    set(kQuickMenuOpenMode, rawValue(s.quickMenuOpenMode));
    setJson(kQuickMenuActions, QJsonArray::fromStringList(s.quickMenuActions));
    setJson(kQuickMenuOrder, QJsonArray::fromStringList(s.quickMenuOrder));
    set(kClipboardEnabled, s.clipboardHistoryEnabled);
    set(kClipboardLimit, QVariant::fromValue<qint64>(s.clipboardLimit));
    set(kClipboardDays, s.clipboardDays);
    set(kOpenMainWindow, s.openMainWindowOnLaunch);
    set(menuBarIconVisibleKey, s.menuBarIconVisible);
    set(closeToMenuBarKey, s.closeToMenuBar);
    set(kAutoSelectAll, s.autoSelectAllBeforeAction);
    set(kAiContext, s.aiContextEnabled);
    set(kUpdateNotifications, s.updateNotificationsEnabled);
    set(kAutomaticUpdateChecks, s.automaticUpdateChecksEnabled);
    // What was just written has been through the one-time migration.
    set(emojiMigrationKey, true);
}

}  // namespace mendo
