#include "model/NativeSettingsStore.h"
#include "fakes/MemoryUserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace mendo;

class TestSettingsStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyProfileIsTheDefaultRecord();
    void scalarFields_data();
    void scalarFields();
    void quickMenuLists_data();
    void quickMenuLists();
    void migrationsRunOncePerProfile();
    void styleListsDropOnlyMalformedElements();
    void corruptStyleListsFallBack_data();
    void corruptStyleListsFallBack();
    void tilingHotkeys_data();
    void tilingHotkeys();
    void saveWritesEveryKeyUnvalidated();
    void roundTripOfAnEditedRecord();
};

static QByteArray json(const QJsonArray& a)
{
    return QJsonDocument(a).toJson(QJsonDocument::Compact);
}

// The field of a record by name, as a comparable value.
static QVariant field(const MendoSettings& s, const QString& name)
{
    static const QHash<QString, std::function<QVariant(const MendoSettings&)>> fields {
        { "appearanceMode", [](auto& s) { return QVariant(rawValue(s.appearanceMode)); } },
        { "surfaceMode", [](auto& s) { return QVariant(rawValue(s.surfaceMode)); } },
        { "menuScale", [](auto& s) { return QVariant(rawValue(s.menuScale)); } },
        { "quickMenuSize", [](auto& s) { return QVariant(rawValue(s.quickMenuSize)); } },
        { "quickMenuOpenMode", [](auto& s) { return QVariant(rawValue(s.quickMenuOpenMode)); } },
        { "uiLanguage", [](auto& s) { return QVariant(rawValue(s.uiLanguage)); } },
        { "targetLanguage", [](auto& s) { return QVariant(s.targetLanguage); } },
        { "translatePreviewTargetLanguage", [](auto& s) { return QVariant(s.translatePreviewTargetLanguage); } },
        { "quickMenuHotkey", [](auto& s) { return QVariant(s.quickMenuHotkey); } },
        { "layoutLatinSource", [](auto& s) { return QVariant(s.layoutLatinSource); } },
        { "layoutNativeSource", [](auto& s) { return QVariant(s.layoutNativeSource); } },
        { "clipboardDays", [](auto& s) { return QVariant(s.clipboardDays); } },
        { "clipboardLimit", [](auto& s) { return QVariant(s.clipboardLimit); } },
        { "layoutAutoSwitch", [](auto& s) { return QVariant(s.layoutAutoSwitch); } },
        { "aiContextEnabled", [](auto& s) { return QVariant(s.aiContextEnabled); } },
        { "autoQuickMenuEnabled", [](auto& s) { return QVariant(s.autoQuickMenuEnabled); } },
        { "selectedStyleId", [](auto& s) { return QVariant(s.selectedStyleId); } },
    };
    return fields.value(name)(s);
}

void TestSettingsStore::emptyProfileIsTheDefaultRecord()
{
    MemoryUserDefaults defaults;
    NativeSettingsStore store(defaults);
    const MendoSettings loaded = store.load();
    QVERIFY(loaded == MendoSettings {});
    QCOMPARE(loaded.layoutNativeSource.toUtf8().size(), 23);
    QCOMPARE(defaults.writes, 0);

    store.save(MendoSettings {});
    QVERIFY(store.load() == MendoSettings {});
}

void TestSettingsStore::scalarFields_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");
    const auto ru = QString::fromUtf8("Русская — ПК");

    QTest::newRow("theme raw value") << "mendo.theme" << QVariant("liquid-sky") << "appearanceMode"
                                     << QVariant("liquid-sky");
    QTest::newRow("theme case name") << "mendo.theme" << QVariant("liquidSky") << "appearanceMode"
                                     << QVariant("system");
    QTest::newRow("theme other case") << "mendo.theme" << QVariant("Liquid-Sky") << "appearanceMode"
                                      << QVariant("system");
    QTest::newRow("surface solid") << "mendo.surfaceMode" << QVariant("solid") << "surfaceMode" << QVariant("solid");
    QTest::newRow("surface other") << "mendo.surfaceMode" << QVariant("Solid") << "surfaceMode"
                                   << QVariant("translucent");
    QTest::newRow("menu scale") << "mendo.menuScale" << QVariant("xlarge") << "menuScale" << QVariant("xlarge");
    QTest::newRow("menu scale unknown") << "mendo.menuScale" << QVariant("huge") << "menuScale" << QVariant("tiny");
    QTest::newRow("quick menu size") << "mendo.quickMenu.size" << QVariant("large") << "quickMenuSize"
                                     << QVariant("large");
    QTest::newRow("open mode") << "mendo.quickMenu.openMode" << QVariant("button") << "quickMenuOpenMode"
                               << QVariant("button");
    QTest::newRow("ui ru") << "mendo.uiLanguage" << QVariant("ru") << "uiLanguage" << QVariant("ru");
    QTest::newRow("ui other") << "mendo.uiLanguage" << QVariant("de") << "uiLanguage" << QVariant("en");
    QTest::newRow("language listed") << "mendo.targetLanguage" << QVariant("Chinese (Simplified)") << "targetLanguage"
                                     << QVariant("Chinese (Simplified)");
    QTest::newRow("language other case") << "mendo.targetLanguage" << QVariant("german") << "targetLanguage"
                                         << QVariant("English");
    QTest::newRow("language unknown") << "mendo.translationPreviewTargetLanguage" << QVariant("Klingon")
                                      << "translatePreviewTargetLanguage" << QVariant("English");
    QTest::newRow("preview language") << "mendo.translationPreviewTargetLanguage" << QVariant("Odia")
                                      << "translatePreviewTargetLanguage" << QVariant("Odia");
    QTest::newRow("hotkey empty") << "mendo.quickMenuHotkey" << QVariant("") << "quickMenuHotkey" << QVariant("Alt+Q");
    QTest::newRow("hotkey not assigned") << "mendo.quickMenuHotkey" << QVariant("Not assigned") << "quickMenuHotkey"
                                         << QVariant("Not assigned");
    QTest::newRow("hotkey as data") << "mendo.quickMenuHotkey" << QVariant(QByteArray("Alt+W")) << "quickMenuHotkey"
                                    << QVariant("Alt+Q");
    QTest::newRow("latin Auto") << "mendo.layoutLatinSource" << QVariant("Auto") << "layoutLatinSource"
                                << QVariant("ABC");
    QTest::newRow("latin auto") << "mendo.layoutLatinSource" << QVariant("auto") << "layoutLatinSource"
                                << QVariant("auto");
    QTest::newRow("native Auto") << "mendo.layoutNativeSource" << QVariant("Auto") << "layoutNativeSource"
                                 << QVariant(ru);
    QTest::newRow("native empty") << "mendo.layoutNativeSource" << QVariant("") << "layoutNativeSource" << QVariant(ru);
    QTest::newRow("days empty") << "mendo.clipboardDays" << QVariant("") << "clipboardDays" << QVariant("forever");
    QTest::newRow("selected style unchecked")
        << "mendo.selectedStyleId" << QVariant("gone") << "selectedStyleId" << QVariant("gone");
    QTest::newRow("limit 0") << "mendo.clipboardLimit" << QVariant(qint64(0)) << "clipboardLimit"
                             << QVariant(qint64(1));
    QTest::newRow("limit 5000") << "mendo.clipboardLimit" << QVariant(qint64(5000)) << "clipboardLimit"
                                << QVariant(qint64(1000));
    QTest::newRow("limit text") << "mendo.clipboardLimit" << QVariant(" 250 items") << "clipboardLimit"
                                << QVariant(qint64(250));
    QTest::newRow("limit double") << "mendo.clipboardLimit" << QVariant(42.9) << "clipboardLimit"
                                  << QVariant(qint64(42));
    QTest::newRow("bool stored false") << "mendo.layoutAutoSwitch" << QVariant(false) << "layoutAutoSwitch"
                                       << QVariant(false);
    QTest::newRow("bool from number") << "mendo.aiContextEnabled" << QVariant(qint64(2)) << "aiContextEnabled"
                                      << QVariant(true);
    QTest::newRow("bool from text") << "mendo.aiContextEnabled" << QVariant("YES") << "aiContextEnabled"
                                    << QVariant(true);
    QTest::newRow("bool from data") << "mendo.layoutAutoSwitch" << QVariant(QByteArray("1")) << "layoutAutoSwitch"
                                    << QVariant(false);
    QTest::newRow("watcher switch not read")
        << "mendo.autoQuickMenuEnabled" << QVariant(true) << "autoQuickMenuEnabled" << QVariant(false);
}

void TestSettingsStore::scalarFields()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    MemoryUserDefaults defaults;
    defaults.values.insert(key, stored);
    QCOMPARE(::field(NativeSettingsStore(defaults).load(), field), expected);
}

void TestSettingsStore::quickMenuLists_data()
{
    QTest::addColumn<QVariant>("stored");  // invalid: nothing stored
    QTest::addColumn<QStringList>("expected");
    const QStringList defaultIds = QuickAction::defaultActionIds();
    QTest::newRow("absent") << QVariant() << defaultIds;
    QTest::newRow("empty array") << QVariant(QByteArray("[]")) << defaultIds;
    QTest::newRow("not json") << QVariant(QByteArray("[\"ai\"")) << defaultIds;
    QTest::newRow("not an array") << QVariant(QByteArray("{\"a\":1}")) << defaultIds;
    QTest::newRow("insert before polite") << QVariant(QByteArray(R"(["ai","style:polite","clipboard"])"))
                                          << QStringList { "ai", "style:emoji", "style:polite", "clipboard" };
    QTest::newRow("normalised, appended")
        << QVariant(QByteArray(R"(["ai"," fix"])")) << QStringList { "ai", "style:original", "style:emoji" };
    QTest::newRow("json text in a string")
        << QVariant(R"(["layout","ai"])") << QStringList { "layout", "ai", "style:emoji" };
    QTest::newRow("broken string") << QVariant("layout,ai") << defaultIds;
    QTest::newRow("duplicates kept") << QVariant(QByteArray(R"(["ai","ai","style:emoji"])"))
                                     << QStringList { "ai", "ai", "style:emoji" };
    QTest::newRow("non-string element dropped")
        << QVariant(QByteArray(R"(["ai",7,"style:emoji"])")) << QStringList { "ai", "style:emoji" };
}

void TestSettingsStore::quickMenuLists()
{
    QFETCH(QVariant, stored);
    QFETCH(QStringList, expected);
    for (const char* key : { "mendo.quickMenu.actions", "mendo.quickMenu.order" }) {
        MemoryUserDefaults defaults;
        if (stored.isValid())
            defaults.values.insert(key, stored);
        const MendoSettings loaded = NativeSettingsStore(defaults).load();
        QCOMPARE(QString(key).endsWith("actions") ? loaded.quickMenuActions : loaded.quickMenuOrder, expected);
    }
}

void TestSettingsStore::migrationsRunOncePerProfile()
{
    MemoryUserDefaults defaults;
    defaults.values.insert("mendo.quickMenu.actions", QByteArray(R"(["ai","style:polite"])"));
    PromptStyle emoji = *MendoPromptLibrary::style("emoji", {});
    emoji.hotkey = "Alt+0";
    // An edit of the fix style that keeps the opening of a prompt shipped long ago.
    const PromptStyle builtInFix = *MendoPromptLibrary::style("original", {});
    PromptStyle fix = builtInFix;
    fix.name = "My fix";
    fix.prompt = "Fix obvious typos, and never touch my slang.";
    defaults.values.insert("mendo.promptStyles", json(QJsonArray { fix.toJson(), emoji.toJson() }));
    NativeSettingsStore store(defaults);

    // First load of an old profile: every migration happens.
    MendoSettings settings = store.load();
    QCOMPARE(settings.quickMenuActions, (QStringList { "ai", "style:emoji", "style:polite" }));
    QCOMPARE(settings.promptStyles.at(2).hotkey, QStringLiteral("Alt+E"));
    QCOMPARE(settings.promptStyles.at(0).prompt, builtInFix.prompt);
    QCOMPARE(settings.promptStyles.at(0).name, builtInFix.name);

    // The user then removes the emoji action, picks another hotkey and edits
    // the fix style again the same way: all of it stays, load after load.
    settings.quickMenuActions.removeAll("style:emoji");
    settings.promptStyles[2].hotkey = "Alt+0";
    settings.promptStyles[0].name = fix.name;
    settings.promptStyles[0].prompt = fix.prompt;
    store.save(settings);
    for (int load = 0; load < 2; ++load) {
        const MendoSettings reloaded = store.load();
        QCOMPARE(reloaded.quickMenuActions, (QStringList { "ai", "style:polite" }));
        QCOMPARE(reloaded.promptStyles.at(2).hotkey, QStringLiteral("Alt+0"));
        QCOMPARE(reloaded.promptStyles.at(0).prompt, fix.prompt);
        QCOMPARE(reloaded.promptStyles.at(0).name, fix.name);
    }
}

void TestSettingsStore::styleListsDropOnlyMalformedElements()
{
    MemoryUserDefaults defaults;
    const PromptStyle mine { "custom-0000abcd", "Mine", "Do it", "Not assigned", true };
    QJsonObject noPrompt = PromptStyle { "custom-0000ffff", "Broken", "x", "y", true }.toJson();
    noPrompt.remove("prompt");
    const PromptStyle firstFriendly { "friendly", "First", "one", "Alt+7", true };
    const PromptStyle secondFriendly { "friendly", "Second", "two", "Alt+8", true };
    defaults.values.insert("mendo.promptStyles",
        json(QJsonArray { noPrompt, firstFriendly.toJson(), "text", secondFriendly.toJson(), mine.toJson() }));

    const AIReplyStyle myReply { "custom-reply-0000abcd", "R", "Reply so", "Not assigned" };
    QJsonObject numericHotkey = myReply.toJson();
    numericHotkey["hotkey"] = 3;
    defaults.values.insert("mendo.aiReplyStyles", json(QJsonArray { numericHotkey, myReply.toJson() }));

    const AppLayoutRule rule { QUuid::createUuid(), "org.gnome.gedit", "Text Editor", "/usr/bin/gedit", "us", true };
    QJsonObject noPath = rule.toJson();
    noPath.remove("appPath");
    QJsonObject badId = rule.toJson();
    badId["id"] = "not-a-uuid";
    defaults.values.insert("mendo.appLayoutSwitching.rules", json(QJsonArray { noPath, rule.toJson(), badId }));

    const MendoSettings loaded = NativeSettingsStore(defaults).load();
    QCOMPARE(loaded.promptStyles.size(), 18);
    QCOMPARE(loaded.promptStyles.at(1).name, QStringLiteral("First"));
    QCOMPARE(loaded.promptStyles.last(), mine);
    QCOMPARE(loaded.aiReplyStyles.size(), 18);
    QCOMPARE(loaded.aiReplyStyles.last(), myReply);
    QCOMPARE(loaded.appLayoutRules, QList<AppLayoutRule> { rule });
}

void TestSettingsStore::corruptStyleListsFallBack_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("not json") << QVariant(QByteArray("[{"));
    QTest::newRow("an object") << QVariant(QByteArray("{}"));
    QTest::newRow("empty array") << QVariant(QByteArray("[]"));
    QTest::newRow("nothing decodes") << QVariant(QByteArray("[1,2]"));
    QTest::newRow("a number") << QVariant(qint64(5));
}

void TestSettingsStore::corruptStyleListsFallBack()
{
    QFETCH(QVariant, stored);
    MemoryUserDefaults defaults;
    defaults.values.insert("mendo.promptStyles", stored);
    defaults.values.insert("mendo.aiReplyStyles", stored);
    defaults.values.insert("mendo.appLayoutSwitching.rules", stored);
    const MendoSettings loaded = NativeSettingsStore(defaults).load();
    QCOMPARE(loaded.promptStyles, MendoPromptLibrary::defaultStyles());
    QCOMPARE(loaded.aiReplyStyles, AIReplyStyleLibrary::defaultStyles());
    QVERIFY(loaded.appLayoutRules.isEmpty());
}

void TestSettingsStore::tilingHotkeys_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariantMap>("changes");  // over the defaults
    QTest::newRow("absent") << QVariant() << QVariantMap {};
    QTest::newRow("one stored") << QVariant(QByteArray(R"({"tileAll":"Alt+T"})"))
                                << QVariantMap { { "tileAll", "Alt+T" } };
    QTest::newRow("old left half") << QVariant(QByteArray(R"({"leftHalf":"Control+Alt+Left"})")) << QVariantMap {};
    QTest::newRow("old right half") << QVariant(QByteArray(R"({"rightHalf":"Control+Alt+Right"})")) << QVariantMap {};
    QTest::newRow("not assigned") << QVariant(QByteArray(R"({"leftHalf":"Not assigned"})"))
                                  << QVariantMap { { "leftHalf", "Not assigned" } };
    QTest::newRow("extra name kept") << QVariant(QByteArray(R"({"spin":"Alt+S"})"))
                                     << QVariantMap { { "spin", "Alt+S" } };
    QTest::newRow("an array") << QVariant(QByteArray(R"(["tileAll"])")) << QVariantMap {};
    QTest::newRow("a text, not data") << QVariant(R"({"tileAll":"Alt+T"})") << QVariantMap {};
    QTest::newRow("number value dropped alone")
        << QVariant(QByteArray(R"({"tileAll":4,"full":"Alt+F"})")) << QVariantMap { { "full", "Alt+F" } };
}

void TestSettingsStore::tilingHotkeys()
{
    QFETCH(QVariant, stored);
    QFETCH(QVariantMap, changes);
    MemoryUserDefaults defaults;
    if (stored.isValid())
        defaults.values.insert("mendo.windowTiling.hotkeys", stored);
    HotkeyMap expected = WindowTilingHotkeys::defaults();
    for (auto it = changes.constBegin(); it != changes.constEnd(); ++it)
        expected.insert(it.key(), it.value().toString());
    QCOMPARE(NativeSettingsStore(defaults).load().windowTilingHotkeys, expected);
}

void TestSettingsStore::saveWritesEveryKeyUnvalidated()
{
    MemoryUserDefaults defaults;
    defaults.values.insert("mendo.quickMenu.order", "[\"ai\"]");
    NativeSettingsStore store(defaults);
    MendoSettings settings;
    settings.autoQuickMenuEnabled = true;
    settings.floatingButtonVisible = true;
    settings.clipboardLimit = 5000;
    settings.targetLanguage = "Klingon";
    store.save(settings);

    QCOMPARE(defaults.values.value("mendo.autoQuickMenuEnabled"), QVariant(false));
    QCOMPARE(defaults.values.value("mendo.quickMenu.floatingButtonVisible"), QVariant(false));
    QCOMPARE(defaults.values.value("mendo.clipboardLimit"), QVariant(qint64(5000)));
    QCOMPARE(defaults.values.value("mendo.targetLanguage"), QVariant("Klingon"));
    QCOMPARE(defaults.values.value("mendo.theme"), QVariant("system"));
    QCOMPARE(defaults.values.value("mendo.quickMenu.order").typeId(), QMetaType::QByteArray);
    const QJsonObject style
        = QJsonDocument::fromJson(defaults.values.value("mendo.promptStyles").toByteArray()).array().at(0).toObject();
    QCOMPARE(style.keys(), (QStringList { "autoReplace", "hotkey", "id", "name", "prompt" }));
    // One key per field, plus the migration marker.
    QCOMPARE(defaults.keys().size(), 38);

    const MendoSettings loaded = store.load();
    QCOMPARE(loaded.autoQuickMenuEnabled, false);
    QCOMPARE(loaded.clipboardLimit, qint64(1000));
    QCOMPARE(loaded.targetLanguage, QStringLiteral("English"));
}

void TestSettingsStore::roundTripOfAnEditedRecord()
{
    MemoryUserDefaults defaults;
    NativeSettingsStore store(defaults);
    MendoSettings s;
    s.appearanceMode = AppearanceMode::liquidRose;
    s.surfaceMode = SurfaceMode::solid;
    s.menuScale = MenuScale::large;
    s.uiLanguage = UiLanguage::ru;
    s.targetLanguage = "Haitian Creole";
    s.promptStyles.append(PromptStyle { "custom-12345678", "Pirate", "Talk like a pirate", "Alt+P", false });
    s.promptStyles[0].name = "Fix it";
    s.aiReplyStyles.append(AIReplyStyle { "custom-reply-12345678", "Short", "Very short", "Not assigned" });
    s.appLayoutRules.append(
        AppLayoutRule { QUuid::createUuid(), "firefox", "Firefox", "/usr/bin/firefox", "us", false });
    s.windowTilingHotkeys["full"] = "Not assigned";
    s.quickMenuOpenMode = QuickMenuOpenMode::button;
    s.quickMenuActions = { "ai", "style:emoji", "style:custom-12345678" };
    s.clipboardLimit = 1;
    s.clipboardDays = "7";
    s.closeToMenuBar = false;
    s.automaticUpdateChecksEnabled = false;
    store.save(s);
    QVERIFY(store.load() == s);
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settings_store.moc"
