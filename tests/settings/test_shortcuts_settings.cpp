#include "settings/SettingsRig.h"

#include "hotkeys/HotkeyRecorderField.h"
#include "model/WindowTilingHotkeys.h"
#include "settings/ShortcutsSettingsView.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using namespace mendo;

namespace {

using Prepare = std::function<void(SettingsRig&)>;
using Edit = std::function<void(MendoSettings&)>;

const QString notAssigned = QStringLiteral("Not assigned");
const DisplayId panel = 1;
const DisplayId monitor = 2;

FakeDisplays::Display builtIn()
{
    FakeDisplays::Display d;
    d.id = panel;
    d.builtin = true;
    return d;
}

FakeDisplays::Display external()
{
    FakeDisplays::Display d;
    d.id = monitor;
    return d;
}

QStringList thirteen()
{
    QStringList ids = WindowTilingHotkeys::order();
    ids.removeAll(QStringLiteral("builtInDisplay"));
    return ids;
}

QStringList labels(const QWidget* page)
{
    QStringList texts;
    for (const QLabel* label : page->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

PromptStyle stored(const MendoAppState& state, const QString& id)
{
    for (const PromptStyle& style : state.settings().promptStyles)
        if (style.id == id)
            return style;
    return {};
}

}  // namespace

Q_DECLARE_METATYPE(Prepare)
Q_DECLARE_METATYPE(Edit)

class TestShortcutsSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void builtInDisplayRow_data();
    void builtInDisplayRow();
    void tilingBindingReadsAndWrites_data();
    void tilingBindingReadsAndWrites();
    void switchHidesTilingRowsAndKeepsValues();
    void tilingTexts_data();
    void tilingTexts();
    void pageTextsInBothLanguages();
    void actionRowsWriteTheirFields();
    void styleRowOfUnknownIdStoresNothing();
    void styleHotkeyKeepsNameChangedElsewhere();
    void styleRowsFollowTheList();
};

void TestShortcutsSettings::builtInDisplayRow_data()
{
    QTest::addColumn<Prepare>("prepare");
    // Done while the page is shown.
    QTest::addColumn<Prepare>("meanwhile");
    QTest::addColumn<QStringList>("expected");
    // How often the tray menu's callback ran.
    QTest::addColumn<int>("menuRefreshes");
    const QStringList fourteen = WindowTilingHotkeys::order();
    const Prepare nothing = [](SettingsRig&) {};
    const Prepare laptopWithMonitor = [](SettingsRig& rig) { rig.displays.displays = { builtIn(), external() }; };
    const Prepare switchOff = [](SettingsRig& rig) {
        rig.builtInDisplay.disableBuiltIn();
        QVERIFY(rig.builtInDisplay.disabledDisplayID());
        QVERIFY(!rig.builtInDisplay.activeBuiltInDisplay());
    };
    QTest::newRow("no configuration function") << Prepare([](SettingsRig& rig) {
        rig.displays.canConfigure = false;
        rig.displays.displays = { builtIn(), external() };
    }) << nothing << thirteen() << 0;
    QTest::newRow("active built-in output") << laptopWithMonitor << nothing << fourteen << 0;
    // Switched off, the panel is no longer active, yet its hotkey brings it back.
    QTest::newRow("built-in switched off by the service") << Prepare([=](SettingsRig& rig) {
        laptopWithMonitor(rig);
        switchOff(rig);
    }) << nothing << fourteen << 1;
    QTest::newRow("neither") << Prepare([](SettingsRig& rig) { rig.displays.displays = { external() }; }) << nothing
                             << thirteen() << 0;
    QTest::newRow("no display at all") << nothing << nothing << thirteen() << 0;
    QTest::newRow("built-in output comes while shown")
        << Prepare([](SettingsRig& rig) { rig.displays.displays = { external() }; }) << Prepare([](SettingsRig& rig) {
               rig.displays.displays.prepend(builtIn());
               rig.displays.notice({ { panel, false, true } });
           })
        << fourteen << 1;
    QTest::newRow("built-in output goes while shown") << laptopWithMonitor << Prepare([](SettingsRig& rig) {
        rig.displays.displays.removeFirst();
        rig.displays.notice({ { panel, true, false } });
    }) << thirteen() << 1;
    QTest::newRow("switched off from the tray while shown") << laptopWithMonitor << switchOff << fourteen << 1;
    QTest::newRow("switched back on while shown") << Prepare([=](SettingsRig& rig) {
        laptopWithMonitor(rig);
        switchOff(rig);
    }) << Prepare([](SettingsRig& rig) { rig.builtInDisplay.enableBuiltIn(); }) << fourteen << 2;
}

void TestShortcutsSettings::builtInDisplayRow()
{
    QFETCH(Prepare, prepare);
    QFETCH(Prepare, meanwhile);
    QFETCH(QStringList, expected);
    QFETCH(int, menuRefreshes);
    SettingsRig rig;
    // As at launch: the service follows the display server from then on.
    rig.builtInDisplay.restoreAfterPreviousLaunch();
    // The service's one change callback, taken as the tray menu takes it.
    int refreshes = 0;
    rig.displayBridge.setOnChange([&] { ++refreshes; });
    prepare(rig);
    rig.state->setSelectedSettingsPage(SettingsPage::shortcuts);
    auto* page = rig.shownPage<ShortcutsSettingsView>();
    QVERIFY(page);
    meanwhile(rig);
    QTRY_COMPARE(refreshes, menuRefreshes);
    QCOMPARE(page->shownTilingIds(), expected);
    QCOMPARE(shortcuts::windowTilingList(rig.builtInDisplay), expected);
}

void TestShortcutsSettings::tilingBindingReadsAndWrites_data()
{
    QTest::addColumn<Edit>("prepare");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("written");
    QTest::newRow("stored") << Edit([](MendoSettings& s) { s.windowTilingHotkeys["topLeft"] = "Control+Alt+Y"; })
                            << "topLeft" << "Control+Alt+Y" << "Control+Alt+Shift+Y";
    QTest::newRow("default") << Edit([](MendoSettings& s) { s.windowTilingHotkeys.remove("topLeft"); })
                             << "topLeft" << "Control+Alt+U" << "Control+Alt+Shift+U";
    // Cleared, a hotkey stays cleared rather than falling back to its default.
    QTest::newRow("cleared over a default") << Edit([](MendoSettings& s) { s.windowTilingHotkeys.remove("fill"); })
                                            << "fill" << "Control+Alt+Shift+Up" << notAssigned;
    QTest::newRow("stored Not assigned") << Edit([](MendoSettings& s) { s.windowTilingHotkeys["swapUp"] = "Not assigned"; })
                                         << "swapUp" << notAssigned << "Control+Alt+Up";
    QTest::newRow("neither stored nor default") << Edit([](MendoSettings&) {}) << "somethingElse" << notAssigned
                                                << "Control+Alt+9";
}

void TestShortcutsSettings::tilingBindingReadsAndWrites()
{
    QFETCH(Edit, prepare);
    QFETCH(QString, id);
    QFETCH(QString, read);
    QFETCH(QString, written);
    SettingsRig rig(prepare);
    SettingsBinding<QString> hotkey = shortcuts::windowTilingBinding(*rig.state, id);
    QCOMPARE(hotkey.get(), read);

    MendoSettings wanted = rig.state->settings();
    wanted.windowTilingHotkeys.insert(id, written);
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    hotkey.set(written);
    QCOMPARE(saves.size(), 1);
    QCOMPARE(hotkey.get(), written);
    QVERIFY(rig.state->settings() == wanted);
    QCOMPARE(rig.store.load().windowTilingHotkeys.value(id), written);
}

void TestShortcutsSettings::switchHidesTilingRowsAndKeepsValues()
{
    SettingsRig rig([](MendoSettings& s) { s.windowTilingHotkeys["topLeft"] = "Control+Alt+Y"; });
    rig.state->setSelectedSettingsPage(SettingsPage::shortcuts);
    auto* page = rig.shownPage<ShortcutsSettingsView>();
    QVERIFY(page->windowTilingToggle()->isChecked());
    QCOMPARE(page->shownTilingIds(), thirteen());
    const HotkeyMap before = rig.state->settings().windowTilingHotkeys;

    page->windowTilingToggle()->click();
    QVERIFY(!rig.state->settings().windowTilingEnabled);
    QVERIFY(page->shownTilingIds().isEmpty());
    QCOMPARE(rig.state->settings().windowTilingHotkeys, before);
    // The switch itself stays.
    QVERIFY(!page->windowTilingToggle()->isHidden());

    page->windowTilingToggle()->click();
    QVERIFY(rig.state->settings().windowTilingEnabled);
    QCOMPARE(page->shownTilingIds(), thirteen());
    QCOMPARE(rig.state->settings().windowTilingHotkeys, before);
    QCOMPARE(page->tilingField("topLeft")->hotkey(), QStringLiteral("Control+Alt+Y"));
    QCOMPARE(page->tilingField("topRight")->hotkey(), QStringLiteral("Control+Alt+I"));

    // A change made elsewhere while the rows are hidden shows when they come back.
    page->windowTilingToggle()->click();
    rig.state->editSettings([](MendoSettings& s) { s.windowTilingHotkeys["topRight"] = "Not assigned"; });
    page->windowTilingToggle()->click();
    QCOMPARE(page->tilingField("topRight")->hotkey(), notAssigned);
}

void TestShortcutsSettings::tilingTexts_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QStringList>("english");
    QTest::addColumn<QStringList>("russian");
    const QString active = "Active window";
    const QString активное = "Активное окно";
    const QString half = "Active window. In Chromium or Chrome the tab opens as a separate window without the "
                         "address bar";
    const QString половина = "Активное окно. В Chromium или Chrome вкладка открывается отдельным окном без "
                             "адресной строки";
    const QString swap = "Active window trades places with its neighbour. Or drag a window onto another with Alt "
                         "held";
    const QString обмен = "Активное окно меняется местами с соседним. Или перетащите окно на другое с зажатым Alt";
    auto row = [&](const char* id, QStringList en, QStringList ru) { QTest::newRow(id) << QString(id) << en << ru; };
    row("tileAll", { "Arrange windows", "Up to 4 recent windows of the current screen" },
        { "Разложить окна", "До 4 последних окон текущего экрана" });
    row("topLeft", { "Top left", active }, { "Левая верхняя четверть", активное });
    row("topRight", { "Top right", active }, { "Правая верхняя четверть", активное });
    row("bottomLeft", { "Bottom left", active }, { "Левая нижняя четверть", активное });
    row("bottomRight", { "Bottom right", active }, { "Правая нижняя четверть", активное });
    row("leftHalf", { "Left half", half }, { "Левая половина", половина });
    row("rightHalf", { "Right half", half }, { "Правая половина", половина });
    row("full", { "Fill screen", active }, { "На весь экран", активное });
    row("fill", { "Fill", active }, { "Заполнить", активное });
    row("swapLeft", { "Swap with window on the left", swap }, { "Обмен с окном слева", обмен });
    row("swapRight", { "Swap with window on the right", swap }, { "Обмен с окном справа", обмен });
    row("swapUp", { "Swap with window above", swap }, { "Обмен с окном сверху", обмен });
    row("swapDown", { "Swap with window below", swap }, { "Обмен с окном снизу", обмен });
    row("builtInDisplay",
        { "Built-in display on/off", "Turns off the built-in screen while an external monitor is connected" },
        { "Встроенный экран вкл/выкл", "Выключает встроенный экран, пока подключён внешний монитор" });
    row("unknown", { "Fill screen", active }, { "На весь экран", активное });
}

void TestShortcutsSettings::tilingTexts()
{
    QFETCH(QString, id);
    QFETCH(QStringList, english);
    QFETCH(QStringList, russian);
    const BiText title = shortcuts::windowTilingTitle(id);
    const BiText subtitle = shortcuts::windowTilingSubtitle(id);
    QCOMPARE((QStringList { title.en, subtitle.en }), english);
    QCOMPARE((QStringList { title.ru, subtitle.ru }), russian);
}

void TestShortcutsSettings::pageTextsInBothLanguages()
{
    SettingsRig rig([](MendoSettings& s) {
        s.promptStyles = { { "fix", "Fix", "p", "Alt+1", true }, { "custom-0000000a", "Mine", "p", "Not assigned",
                                                                    false } };
    });
    rig.state->setSelectedSettingsPage(SettingsPage::shortcuts);
    auto* page = rig.shownPage<ShortcutsSettingsView>();
    const QStringList english = labels(page);
    for (const char* text : { "Quick menu", "Open quick actions", "AI assistant", "Open AI chat with selected text",
             "Clipboard history", "Open clipboard window", "Translate preview", "Open translation window",
             "Fix layout", "Convert typed text layout", "Windows", "Styles", "Auto replace", "Manual review",
             "Mine", "Arrange windows", "Top left" })
        QVERIFY2(english.contains(QString::fromUtf8(text)), text);
    QCOMPARE(page->windowTilingToggle()->text(), QStringLiteral("Arrange windows with hotkeys"));
    QCOMPARE(page->actionField("assistantHotkey")->accessibleName(), QStringLiteral("AI assistant"));

    rig.state->editSettings([](MendoSettings& s) { s.uiLanguage = UiLanguage::ru; });
    const QStringList russian = labels(page);
    for (const char* text : { "Быстрое меню", "Открыть быстрые действия", "AI помощник",
             "Открыть AI-чат с выделенным текстом", "История буфера", "Открыть окно буфера", "Предпросмотр перевода",
             "Открыть окно перевода", "Исправить раскладку", "Преобразовать текст из неверной раскладки", "Окна",
             "Стили", "Автозамена", "Ручная проверка", "Mine", "Разложить окна", "Левая верхняя четверть" })
        QVERIFY2(russian.contains(QString::fromUtf8(text)), text);
    for (const char* text : { "Quick menu", "Windows", "Styles", "Auto replace", "Top left" })
        QVERIFY2(!russian.contains(QString::fromUtf8(text)), text);
    QCOMPARE(page->windowTilingToggle()->text(), QStringLiteral("Раскладывать окна хоткеями"));
    QCOMPARE(page->actionField("assistantHotkey")->accessibleName(), QStringLiteral("AI помощник"));
    // A built-in style is titled in the interface language, as the state titles it.
    PromptStyle fix = rig.state->promptStyles().first();
    QVERIFY(russian.contains(rig.state->styleTitle(fix)));
}

void TestShortcutsSettings::actionRowsWriteTheirFields()
{
    SettingsRig rig;
    rig.state->setSelectedSettingsPage(SettingsPage::shortcuts);
    auto* page = rig.shownPage<ShortcutsSettingsView>();
    const QList<std::pair<QString, QString MendoSettings::*>> fields {
        { "quickMenuHotkey", &MendoSettings::quickMenuHotkey },
        { "assistantHotkey", &MendoSettings::assistantHotkey },
        { "clipboardHotkey", &MendoSettings::clipboardHotkey },
        { "translatePreviewHotkey", &MendoSettings::translatePreviewHotkey },
        { "layoutHotkey", &MendoSettings::layoutHotkey },
    };
    int n = 0;
    for (const auto& [name, field] : fields) {
        HotkeyRecorderField* hotkey = page->actionField(name);
        QVERIFY2(hotkey, qPrintable(name));
        QCOMPARE(hotkey->hotkey(), rig.state->settings().*field);
        const QString chord = QStringLiteral("Control+Alt+Shift+%1").arg(++n);
        MendoSettings wanted = rig.state->settings();
        wanted.*field = chord;
        Q_EMIT hotkey->hotkeyEdited(chord);
        QVERIFY2(rig.state->settings() == wanted, qPrintable(name));
        // Changed elsewhere: shown, not written back.
        rig.state->editSettings([&](MendoSettings& s) { s.*field = notAssigned; });
        QCOMPARE(hotkey->hotkey(), notAssigned);
    }
}

void TestShortcutsSettings::styleRowOfUnknownIdStoresNothing()
{
    SettingsRig rig;
    const PromptStyle gone { "custom-0000dead", "Gone", "p", "Control+Alt+G", false };
    SettingsBinding<QString> hotkey = shortcuts::styleHotkeyBinding(*rig.state, gone);
    QCOMPARE(hotkey.get(), QStringLiteral("Control+Alt+G"));
    const MendoSettings before = rig.state->settings();
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    hotkey.set(QStringLiteral("Control+Alt+H"));
    hotkey.set(notAssigned);
    QCOMPARE(saves.size(), 0);
    QVERIFY(rig.state->settings() == before);
    QCOMPARE(hotkey.get(), QStringLiteral("Control+Alt+G"));
}

void TestShortcutsSettings::styleHotkeyKeepsNameChangedElsewhere()
{
    SettingsRig rig([](MendoSettings& s) {
        s.promptStyles.append({ "custom-00000001", "Old name", "Old prompt", "Not assigned", true });
    });
    rig.state->setSelectedSettingsPage(SettingsPage::shortcuts);
    auto* page = rig.shownPage<ShortcutsSettingsView>();
    const PromptStyle captured = stored(*rig.state, "custom-00000001");
    SettingsBinding<QString> hotkey = shortcuts::styleHotkeyBinding(*rig.state, captured);

    // The Styles page edits the style meanwhile.
    PromptStyle edited = captured;
    edited.name = "New name";
    edited.prompt = "New prompt";
    edited.autoReplace = false;
    rig.state->updatePromptStyle(edited);

    hotkey.set(QStringLiteral("Control+Alt+N"));
    PromptStyle wanted = edited;
    wanted.hotkey = "Control+Alt+N";
    QCOMPARE(stored(*rig.state, "custom-00000001"), wanted);

    // Through the page's own row as well.
    Q_EMIT page->styleField("custom-00000001")->hotkeyEdited(QStringLiteral("Control+Alt+M"));
    wanted.hotkey = "Control+Alt+M";
    QCOMPARE(stored(*rig.state, "custom-00000001"), wanted);
    QCOMPARE(rig.store.load().promptStyles.last(), wanted);
}

void TestShortcutsSettings::styleRowsFollowTheList()
{
    SettingsRig rig;
    rig.state->setSelectedSettingsPage(SettingsPage::shortcuts);
    auto* page = rig.shownPage<ShortcutsSettingsView>();
    QStringList ids;
    for (const PromptStyle& style : rig.state->promptStyles())
        ids << style.id;
    QCOMPARE(page->styleIds(), ids);
    HotkeyRecorderField* first = page->styleField(ids.first());

    rig.state->addPromptStyle();
    const QString added = rig.state->promptStyles().last().id;
    QCOMPARE(page->styleIds(), ids + QStringList { added });
    // Rows of unchanged styles are the same rows.
    QCOMPARE(page->styleField(ids.first()), first);

    // Reordered and one dropped elsewhere (a Reset, another window).
    rig.state->editSettings([](MendoSettings& s) {
        s.promptStyles.move(0, s.promptStyles.size() - 1);
        s.promptStyles.removeAt(0);
    });
    QCOMPARE(page->styleIds(), ids.mid(2) + QStringList({ added, ids.first() }));
    QCOMPARE(page->styleField(ids.first()), first);
    QVERIFY(!page->styleField(ids.at(1)));
}

QTEST_MAIN(TestShortcutsSettings)
#include "test_shortcuts_settings.moc"
