#include "settings/SettingsRig.h"

#include "settings/GeneralSettingsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using namespace mendo;

namespace {

using Edit = std::function<void(MendoSettings&)>;
using Act = std::function<void(GeneralSettingsView&)>;

// The user picks entry `index` of a pop-up, as its list does.
void choose(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

QStringList items(const QComboBox* box)
{
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown << box->itemText(i);
    return shown;
}

QStringList labels(const QWidget* page)
{
    QStringList texts;
    for (const QLabel* label : page->findChildren<QLabel*>())
        texts << label->text();
    for (const QCheckBox* box : page->findChildren<QCheckBox*>())
        texts << box->text();
    return texts;
}

}  // namespace

Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(Act)

class TestGeneralSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachControlWritesItsFieldOnce_data();
    void eachControlWritesItsFieldOnce();
    void showingChangedSettingsStoresNothing();
    void textsInBothLanguages();
};

void TestGeneralSettings::eachControlWritesItsFieldOnce_data()
{
    QTest::addColumn<Act>("act");
    QTest::addColumn<Edit>("expected");
    QTest::newRow("appearance") << Act([](GeneralSettingsView& v) { choose(v.appearancePicker(), 3); })
                                << Edit([](MendoSettings& s) { s.appearanceMode = AppearanceMode::liquidMint; });
    QTest::newRow("language") << Act([](GeneralSettingsView& v) { choose(v.languagePicker(), 1); })
                              << Edit([](MendoSettings& s) { s.uiLanguage = UiLanguage::ru; });
    // The quick panel's size, never the menu's own scale.
    QTest::newRow("menu size") << Act([](GeneralSettingsView& v) { choose(v.menuSizePicker(), 4); })
                               << Edit([](MendoSettings& s) { s.quickMenuSize = MenuScale::xlarge; });
    QTest::newRow("open on launch") << Act([](GeneralSettingsView& v) { v.openOnLaunchToggle()->click(); })
                                    << Edit([](MendoSettings& s) { s.openMainWindowOnLaunch = false; });
    QTest::newRow("tray icon") << Act([](GeneralSettingsView& v) { v.trayIconToggle()->click(); })
                               << Edit([](MendoSettings& s) { s.menuBarIconVisible = false; });
    QTest::newRow("keep in tray") << Act([](GeneralSettingsView& v) { v.keepInTrayToggle()->click(); })
                                  << Edit([](MendoSettings& s) { s.closeToMenuBar = false; });
}

void TestGeneralSettings::eachControlWritesItsFieldOnce()
{
    QFETCH(Act, act);
    QFETCH(Edit, expected);
    // menuScale differs from quickMenuSize, so a mix-up shows.
    SettingsRig rig([](MendoSettings& s) { s.menuScale = MenuScale::medium; });
    auto* page = rig.shownPage<GeneralSettingsView>();
    QVERIFY(page);
    MendoSettings wanted = rig.state->settings();
    expected(wanted);
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);

    act(*page);
    QCOMPARE(saves.size(), 1);
    QVERIFY(rig.state->settings() == wanted);
    QVERIFY(rig.store.load() == wanted);
    QCOMPARE(rig.state->settings().menuScale, MenuScale::medium);
}

void TestGeneralSettings::showingChangedSettingsStoresNothing()
{
    SettingsRig rig;
    auto* page = rig.shownPage<GeneralSettingsView>();
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    // Changed elsewhere (the Quick Menu page's size, the tray, another
    // window): every control shows the new values and writes nothing back.
    rig.state->editSettings([](MendoSettings& s) {
        s.appearanceMode = AppearanceMode::liquidRose;
        s.uiLanguage = UiLanguage::ru;
        s.quickMenuSize = MenuScale::large;
        s.openMainWindowOnLaunch = false;
        s.menuBarIconVisible = false;
        s.closeToMenuBar = false;
    });
    QCOMPARE(saves.size(), 1);
    QCOMPARE(page->appearancePicker()->currentText(), QStringLiteral("Розовое стекло"));
    QCOMPARE(page->languagePicker()->currentText(), QStringLiteral("Русский"));
    QCOMPARE(page->menuSizePicker()->currentText(), QStringLiteral("Большой"));
    QVERIFY(!page->openOnLaunchToggle()->isChecked());
    QVERIFY(!page->trayIconToggle()->isChecked());
    QVERIFY(!page->keepInTrayToggle()->isChecked());
    QCOMPARE(saves.size(), 1);
}

void TestGeneralSettings::textsInBothLanguages()
{
    SettingsRig rig;
    auto* page = rig.shownPage<GeneralSettingsView>();
    QCOMPARE(labels(page),
        (QStringList { "Appearance", "Interface language", "Menu size", "Open main window on launch",
            "Show tray icon", "Keep MendoAI in the tray when closing" }));
    QCOMPARE(items(page->appearancePicker()),
        (QStringList { "System", "Sky Glass", "Violet Glass", "Mint Glass", "Rose Glass", "Noir Glass" }));
    QCOMPARE(items(page->languagePicker()), (QStringList { "English", "Русский" }));
    QCOMPARE(items(page->menuSizePicker()), (QStringList { "Tiny", "Small", "Medium", "Large", "Extra Large" }));

    choose(page->languagePicker(), 1);
    QCOMPARE(labels(page),
        (QStringList { "Внешний вид", "Язык интерфейса", "Размер меню", "Открывать окно при запуске",
            "Показывать иконку в трее", "Оставлять MendoAI в трее при закрытии" }));
    QCOMPARE(items(page->appearancePicker()),
        (QStringList { "Системный", "Небесное стекло", "Фиолетовое стекло", "Мятное стекло", "Розовое стекло",
            "Темное стекло" }));
    // The languages keep their own names.
    QCOMPARE(items(page->languagePicker()), (QStringList { "English", "Русский" }));
    QCOMPARE(items(page->menuSizePicker()), (QStringList { "Мини", "Маленький", "Средний", "Большой", "Очень большой" }));
    QCOMPARE(page->keepInTrayToggle()->accessibleName(), QStringLiteral("Оставлять MendoAI в трее при закрытии"));
    QCOMPARE(page->menuSizePicker()->accessibleName(), QStringLiteral("Размер меню"));
}

QTEST_MAIN(TestGeneralSettings)
#include "test_general_settings.moc"
