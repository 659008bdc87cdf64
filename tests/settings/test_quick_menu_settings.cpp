#include "settings/SettingsRig.h"

#include "hotkeys/HotkeyRecorderField.h"
#include "settings/GeneralSettingsView.h"
#include "settings/QuickMenuSettingsView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace mendo;

namespace {

QuickMenuSettingsView* showQuickMenu(SettingsRig& rig)
{
    rig.state->setSelectedSettingsPage(SettingsPage::quickMenu);
    return rig.shownPage<QuickMenuSettingsView>();
}

QStringList rowIds(const QuickMenuSettingsView& page)
{
    QStringList ids;
    for (const QuickMenuActionRow* row : page.actionRows())
        ids << row->action().id;
    return ids;
}

void choose(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

// The names of the settings fields that differ.
QStringList changedFields(const MendoSettings& a, const MendoSettings& b)
{
    QStringList changed;
    const auto check = [&](const char* name, auto field) {
        if (!(a.*field == b.*field))
            changed << QString::fromLatin1(name);
    };
    check("quickMenuSize", &MendoSettings::quickMenuSize);
    check("menuScale", &MendoSettings::menuScale);
    check("quickMenuHotkey", &MendoSettings::quickMenuHotkey);
    check("autoSelectAllBeforeAction", &MendoSettings::autoSelectAllBeforeAction);
    check("quickMenuActions", &MendoSettings::quickMenuActions);
    check("quickMenuOrder", &MendoSettings::quickMenuOrder);
    MendoSettings rest = b;
    rest.quickMenuSize = a.quickMenuSize;
    rest.menuScale = a.menuScale;
    rest.quickMenuHotkey = a.quickMenuHotkey;
    rest.autoSelectAllBeforeAction = a.autoSelectAllBeforeAction;
    rest.quickMenuActions = a.quickMenuActions;
    rest.quickMenuOrder = a.quickMenuOrder;
    if (!(rest == a))
        changed << QStringLiteral("another field");
    return changed;
}

}  // namespace

class TestQuickMenuSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowsFollowTheStoredLists();
    void eachControlWritesItsOwnField_data();
    void eachControlWritesItsOwnField();
    void bothSizePickersAgree();
    void bothLanguages();
    void theFocusGoesWithTheMovedAction();
};

void TestQuickMenuSettings::rowsFollowTheStoredLists()
{
    SettingsRig rig([](MendoSettings& s) {
        s.promptStyles.append({ "custom-1", "<i>Mine</i>", "Say it my way.", "Not assigned", true });
        s.quickMenuOrder = { "layout", "fix" };
        s.quickMenuActions = { "original", "layout" };
    });
    QuickMenuSettingsView* page = showQuickMenu(rig);
    QVERIFY(page);
    const QStringList ids = rowIds(*page);
    QCOMPARE(ids.size(), 21);
    QCOMPARE(ids.mid(0, 4), (QStringList { "layout", "style:original", "ai", "translate" }));
    QCOMPARE(ids.mid(19), (QStringList { "style:custom-1", "clipboard" }));

    const QList<QuickMenuActionRow*> rows = page->actionRows();
    QCOMPARE(rows[1]->title(), QStringLiteral("Fix"));
    QCOMPARE(rows[1]->symbolName(), QStringLiteral("wand.and.sparkles"));
    QCOMPARE(rows[19]->title(), QStringLiteral("<i>Mine</i>"));
    // Switched on: checked, filled more.
    QVERIFY(rows[0]->toggle()->isChecked() && rows[1]->toggle()->isChecked() && !rows[2]->toggle()->isChecked());
    QCOMPARE(rows[0]->fillOpacity(), 0.075);
    QCOMPARE(rows[2]->fillOpacity(), 0.035);
    QVERIFY(!rows.first()->upButton()->isEnabled() && rows.first()->downButton()->isEnabled());
    QVERIFY(rows.last()->upButton()->isEnabled() && !rows.last()->downButton()->isEnabled());

    // A new style gets a row at once; a deleted one loses it.
    rig.state->addPromptStyle();
    QCOMPARE(page->actionRows().size(), 22);
    QVERIFY(page->actionRows()[20]->action().id.startsWith(QStringLiteral("style:custom-")));
    // However long its name, a row does not widen the page.
    PromptStyle added = rig.state->promptStyles().last();
    added.name = QStringLiteral("A very long name ").repeated(20);
    rig.state->updatePromptStyle(added);
    const int addedRow = int(rowIds(*page).indexOf(QStringLiteral("style:") + added.id));
    QCOMPARE(page->actionRows()[addedRow]->title(), added.name);
    QVERIFY(page->minimumSizeHint().width() < 500);
    rig.state->deletePromptStyle(rig.state->promptStyles()[17]);
    QCOMPARE(page->actionRows().size(), 21);
    QVERIFY(!rowIds(*page).contains(QStringLiteral("style:custom-1")));
}

void TestQuickMenuSettings::eachControlWritesItsOwnField_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<int>("saves");
    QTest::newRow("size") << "size" << QStringList { "quickMenuSize" } << 1;
    QTest::newRow("hotkey") << "hotkey" << QStringList { "quickMenuHotkey" } << 1;
    QTest::newRow("select all") << "select all" << QStringList { "autoSelectAllBeforeAction" } << 1;
    QTest::newRow("a row's switch") << "switch" << QStringList { "quickMenuActions" } << 1;
    QTest::newRow("a row's down arrow") << "down" << QStringList { "quickMenuActions", "quickMenuOrder" } << 2;
    QTest::newRow("a row's up arrow") << "up" << QStringList { "quickMenuActions", "quickMenuOrder" } << 2;
}

void TestQuickMenuSettings::eachControlWritesItsOwnField()
{
    QFETCH(QString, control);
    QFETCH(QStringList, fields);
    QFETCH(int, saves);
    SettingsRig rig;
    QuickMenuSettingsView* page = showQuickMenu(rig);
    const MendoSettings before = rig.state->settings();
    QSignalSpy published(rig.state.get(), &MendoAppState::settingsChanged);
    const QList<QuickMenuActionRow*> rows = page->actionRows();

    if (control == QStringLiteral("size")) {
        choose(page->sizePicker(), 3);
        QCOMPARE(rig.state->settings().quickMenuSize, MenuScale::large);
    } else if (control == QStringLiteral("hotkey")) {
        rig.registrar.useLayouts({ "us" });
        page->hotkeyField()->beginRecording();
        page->hotkeyField()->handle({ Qt::Key_Q, 24, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("q") });
        QCOMPARE(rig.state->settings().quickMenuHotkey, QStringLiteral("Control+Alt+Q"));
    } else if (control == QStringLiteral("select all")) {
        page->selectAllToggle()->click();
        QCOMPARE(rig.state->settings().autoSelectAllBeforeAction, false);
    } else if (control == QStringLiteral("switch")) {
        rows[1]->toggle()->click();
        QVERIFY(!rig.state->settings().quickMenuActions.contains(QStringLiteral("translate")));
        QVERIFY(!rows[1]->toggle()->isChecked());
        QCOMPARE(rows[1]->fillOpacity(), 0.035);
    } else if (control == QStringLiteral("down")) {
        rows[0]->downButton()->click();
        QCOMPARE(rig.state->settings().quickMenuOrder.mid(0, 2), (QStringList { "translate", "ai" }));
        QCOMPARE(rig.state->quickActions().first().id, QStringLiteral("translate"));
        QCOMPARE(rowIds(*page).mid(0, 2), (QStringList { "translate", "ai" }));
        QCOMPARE(page->actionRows()[0]->title(), QStringLiteral("Translate"));
    } else if (control == QStringLiteral("up")) {
        rows.last()->upButton()->click();
        QCOMPARE(rowIds(*page).mid(18), (QStringList { "layout", "clipboard" }));
        QVERIFY(!page->actionRows().last()->downButton()->isEnabled());
    }
    QCOMPARE(published.size(), saves);
    QCOMPARE(changedFields(before, rig.state->settings()), fields);
    QVERIFY(rig.store.load() == rig.state->settings());
}

void TestQuickMenuSettings::bothSizePickersAgree()
{
    SettingsRig rig;
    MainSettingsView& view = rig.makeView();
    auto* general = qobject_cast<GeneralSettingsView*>(view.currentPage());
    QuickMenuSettingsView* page = showQuickMenu(rig);
    const MenuScale menuScale = rig.state->settings().menuScale;

    choose(page->sizePicker(), 4);
    QCOMPARE(general->menuSizePicker()->currentIndex(), 4);
    choose(general->menuSizePicker(), 1);
    QCOMPARE(page->sizePicker()->currentIndex(), 1);
    QCOMPARE(rig.state->settings().quickMenuSize, MenuScale::small);
    QCOMPARE(rig.state->settings().menuScale, menuScale);
    QCOMPARE(page->sizePicker()->itemText(4), QStringLiteral("Extra Large"));
}

void TestQuickMenuSettings::bothLanguages()
{
    SettingsRig rig([](MendoSettings& s) {
        s.promptStyles.append({ "custom-1", "Mine", "Say it my way.", "Not assigned", true });
    });
    QuickMenuSettingsView* page = showQuickMenu(rig);
    const auto shown = [&] {
        const QuickMenuActionRow* fix = page->actionRows()[2];
        QStringList texts { page->sizePicker()->accessibleName(), page->hotkeyField()->accessibleName(),
            page->selectAllToggle()->text(), page->actionsHeading()->text(), fix->title(),
            fix->toggle()->accessibleName(), fix->upButton()->accessibleName(), fix->downButton()->accessibleName() };
        for (int i = 0; i < page->sizePicker()->count(); ++i)
            texts << page->sizePicker()->itemText(i);
        return texts;
    };
    QCOMPARE(shown(),
        (QStringList { "Size", "Hotkey", "Select all before Fix, Translate, and styles", "Actions", "Fix", "Fix",
            "Move Fix up", "Move Fix down", "Tiny", "Small", "Medium", "Large", "Extra Large" }));
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(shown(),
        (QStringList { "Размер", "Хоткей", "Выделять всё перед исправлением, переводом и стилями", "Действия",
            "Исправить", "Исправить", "Переместить «Исправить» выше", "Переместить «Исправить» ниже", "Мини",
            "Маленький", "Средний", "Большой", "Очень большой" }));
    QCOMPARE(page->actionRows()[0]->title(), QStringLiteral("AI помощник"));
    // A name that is the same in both languages, between words that are not.
    QCOMPARE(page->actionRows().last()->downButton()->accessibleName(), QStringLiteral("Переместить «Mine» ниже"));
}

void TestQuickMenuSettings::theFocusGoesWithTheMovedAction()
{
    SettingsRig rig;
    MainSettingsView& view = rig.makeView();
    view.show();
    QApplication::setActiveWindow(&view);
    QVERIFY(QTest::qWaitForWindowActive(&view));
    QuickMenuSettingsView* page = showQuickMenu(rig);

    // Space on a row's down arrow, twice: the same action goes down twice.
    page->actionRows()[2]->downButton()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(rowIds(*page).mid(2, 3), (QStringList { "style:friendly", "style:emoji", "style:original" }));
    QCOMPARE(QApplication::focusWidget(), page->actionRows()[4]->downButton());

    // Up to the top: there the down arrow takes the focus.
    page->actionRows()[1]->upButton()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(rowIds(*page).first(), QStringLiteral("translate"));
    QCOMPARE(QApplication::focusWidget(), page->actionRows()[0]->downButton());
}

QTEST_MAIN(TestQuickMenuSettings)
#include "test_quick_menu_settings.moc"
