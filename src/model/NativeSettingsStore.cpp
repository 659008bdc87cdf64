#include "model/NativeSettingsStore.h"

#include "platform/UserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace mendo {

namespace {

// Defaults keys of the fields with rules of their own.
constexpr const char* kTheme = "mendo.theme";
constexpr const char* kSurfaceMode = "mendo.surfaceMode";
constexpr const char* kMenuScale = "mendo.menuScale";
constexpr const char* kTargetLanguage = "mendo.targetLanguage";
constexpr const char* kPreviewLanguage = "mendo.translationPreviewTargetLanguage";
constexpr const char* kUiLanguage = "mendo.uiLanguage";
constexpr const char* kPromptStyles = "mendo.promptStyles";
constexpr const char* kReplyStyles = "mendo.aiReplyStyles";
constexpr const char* kLatinSource = "mendo.layoutLatinSource";
constexpr const char* kNativeSource = "mendo.layoutNativeSource";
constexpr const char* kAppLayoutRules = "mendo.appLayoutSwitching.rules";
constexpr const char* kTilingHotkeys = "mendo.windowTiling.hotkeys";
constexpr const char* kAutoQuickMenu = "mendo.autoQuickMenuEnabled";
constexpr const char* kFloatingButton = "mendo.quickMenu.floatingButtonVisible";
constexpr const char* kQuickMenuSize = "mendo.quickMenu.size";
constexpr const char* kQuickMenuOpenMode = "mendo.quickMenu.openMode";
constexpr const char* kQuickMenuActions = "mendo.quickMenu.actions";
constexpr const char* kQuickMenuOrder = "mendo.quickMenu.order";
constexpr const char* kClipboardLimit = "mendo.clipboardLimit";

// Fields read by the plain string rule and the plain Bool rule.
struct StringField {
    const char* key;
    QString MendoSettings::*field;
};
const StringField kStringFields[] = {
    { "mendo.selectedStyleId", &MendoSettings::selectedStyleId },
    { "mendo.quickMenuHotkey", &MendoSettings::quickMenuHotkey },
    { "mendo.assistantHotkey", &MendoSettings::assistantHotkey },
    { "mendo.clipboardHotkey", &MendoSettings::clipboardHotkey },
    { "mendo.layoutHotkey", &MendoSettings::layoutHotkey },
    { "mendo.translatePreviewHotkey", &MendoSettings::translatePreviewHotkey },
    { "mendo.clipboardDays", &MendoSettings::clipboardDays },
};

struct BoolField {
    const char* key;
    bool MendoSettings::*field;
};
const BoolField kBoolFields[] = {
    { "mendo.layoutAutoSwitch", &MendoSettings::layoutAutoSwitch },
    { "mendo.appLayoutSwitching.enabled", &MendoSettings::appLayoutSwitchingEnabled },
    { NativeSettingsStore::windowTilingEnabledKey, &MendoSettings::windowTilingEnabled },
    { "mendo.clipboardHistory.enabled", &MendoSettings::clipboardHistoryEnabled },
    { "mendo.openMainWindowOnLaunch", &MendoSettings::openMainWindowOnLaunch },
    { NativeSettingsStore::menuBarIconVisibleKey, &MendoSettings::menuBarIconVisible },
    { NativeSettingsStore::closeToMenuBarKey, &MendoSettings::closeToMenuBar },
    { "mendo.autoSelectAllBeforeAction", &MendoSettings::autoSelectAllBeforeAction },
    { "mendo.aiContextEnabled", &MendoSettings::aiContextEnabled },
    { "mendo.updates.notificationsEnabled", &MendoSettings::updateNotificationsEnabled },
    { "mendo.updates.automaticChecksEnabled", &MendoSettings::automaticUpdateChecksEnabled },
};

class Reader {
public:
    explicit Reader(const UserDefaults& defaults)
        : d(defaults)
    {
    }

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

    template <class E> E twoCase(const char* key, E first, E second) const
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
        const auto document = parsed(key, acceptText);
        return document && document->isArray() ? std::optional(document->array()) : std::nullopt;
    }

    // The JSON object stored under the key as data.
    std::optional<QJsonObject> object(const char* key) const
    {
        const auto document = parsed(key, false);
        return document && document->isObject() ? std::optional(document->object()) : std::nullopt;
    }

private:
    std::optional<QJsonDocument> parsed(const char* key, bool acceptText) const
    {
        const QString k = QString::fromLatin1(key);
        std::optional<QByteArray> bytes = d.data(k);
        if (!bytes && acceptText)
            if (auto text = d.string(k))
                bytes = text->toUtf8();
        if (!bytes)
            return std::nullopt;
        return QJsonDocument::fromJson(*bytes);
    }

    const UserDefaults& d;
};

// One malformed element is dropped on its own: the rest of the user's list
// must survive, or the next save would erase it.
template <class T> QList<T> decodeEach(const QJsonArray& array)
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

template <class T> QJsonArray encodeEach(const QList<T>& values)
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

    s.appearanceMode
        = fromRawValue<AppearanceMode>(m_defaults.string(kTheme).value_or(QString())).value_or(AppearanceMode::system);
    s.surfaceMode = r.twoCase(kSurfaceMode, SurfaceMode::translucent, SurfaceMode::solid);
    s.menuScale = r.menuScale(kMenuScale);
    s.targetLanguage = r.language(kTargetLanguage);
    s.translatePreviewTargetLanguage = r.language(kPreviewLanguage);
    s.uiLanguage = r.twoCase(kUiLanguage, UiLanguage::en, UiLanguage::ru);

    if (auto array = r.array(kPromptStyles, true)) {
        const auto saved = decodeEach<PromptStyle>(*array);
        if (!saved.isEmpty())
            s.promptStyles = MendoPromptLibrary::mergeSavedStyles(saved, firstMigration);
    }
    QList<AIReplyStyle> savedReplies;
    if (auto array = r.array(kReplyStyles, true))
        savedReplies = decodeEach<AIReplyStyle>(*array);
    s.aiReplyStyles = AIReplyStyleLibrary::restoredStyles(savedReplies);

    s.layoutLatinSource = r.source(kLatinSource, s.layoutLatinSource);
    s.layoutNativeSource = r.source(kNativeSource, s.layoutNativeSource);
    if (auto array = r.array(kAppLayoutRules, false))
        s.appLayoutRules = decodeEach<AppLayoutRule>(*array);
    if (auto object = r.object(kTilingHotkeys))
        s.windowTilingHotkeys = WindowTilingHotkeys::mergedOverDefaults(WindowTilingHotkeys::fromJson(*object));
    for (const StringField& f : kStringFields)
        s.*f.field = r.string(f.key, s.*f.field);
    for (const BoolField& f : kBoolFields)
        s.*f.field = r.boolean(f.key, s.*f.field);
    s.autoQuickMenuEnabled = false;
    s.floatingButtonVisible = false;
    s.quickMenuSize = r.menuScale(kQuickMenuSize);
    s.quickMenuOpenMode = r.twoCase(kQuickMenuOpenMode, QuickMenuOpenMode::input, QuickMenuOpenMode::button);
    s.quickMenuActions = quickMenuList(r, kQuickMenuActions, firstMigration);
    s.quickMenuOrder = quickMenuList(r, kQuickMenuOrder, firstMigration);
    s.clipboardLimit = r.integer(kClipboardLimit, 100, 1, 1000);
    return s;
}

void NativeSettingsStore::save(const MendoSettings& s)
{
    UserDefaults::Batch batch(m_defaults);
    auto set = [this](const char* key, const QVariant& value) { m_defaults.set(QString::fromLatin1(key), value); };
    auto setJson
        = [&set](const char* key, const auto& value) { set(key, QJsonDocument(value).toJson(QJsonDocument::Compact)); };

    set(kTheme, rawValue(s.appearanceMode));
    set(kSurfaceMode, rawValue(s.surfaceMode));
    set(kMenuScale, rawValue(s.menuScale));
    set(kTargetLanguage, s.targetLanguage);
    set(kPreviewLanguage, s.translatePreviewTargetLanguage);
    set(kUiLanguage, rawValue(s.uiLanguage));
    setJson(kPromptStyles, encodeEach(s.promptStyles));
    setJson(kReplyStyles, encodeEach(s.aiReplyStyles));
    set(kLatinSource, s.layoutLatinSource);
    set(kNativeSource, s.layoutNativeSource);
    setJson(kAppLayoutRules, encodeEach(s.appLayoutRules));
    setJson(kTilingHotkeys, WindowTilingHotkeys::toJson(s.windowTilingHotkeys));
    // The selection watcher's switches are never kept on.
    set(kAutoQuickMenu, false);
    set(kFloatingButton, false);
    set(kQuickMenuSize, rawValue(s.quickMenuSize));
    set(kQuickMenuOpenMode, rawValue(s.quickMenuOpenMode));
    setJson(kQuickMenuActions, QJsonArray::fromStringList(s.quickMenuActions));
    setJson(kQuickMenuOrder, QJsonArray::fromStringList(s.quickMenuOrder));
    set(kClipboardLimit, QVariant::fromValue<qint64>(s.clipboardLimit));
    for (const StringField& f : kStringFields)
        set(f.key, s.*f.field);
    for (const BoolField& f : kBoolFields)
        set(f.key, s.*f.field);
    // What was just written has been through the one-time migration.
    set(emojiMigrationKey, true);
}

}  // namespace mendo
