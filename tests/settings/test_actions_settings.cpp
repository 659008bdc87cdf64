#include "settings/SettingsRig.h"

#include "app/TextActionEngine.h"
#include "engine/BackendClientError.h"
#include "engine/MendoCore.h"
#include "model/MendoPromptLibrary.h"
#include "settings/ActionsSettingsView.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace mendo;

namespace {

ActionsSettingsView* showActions(SettingsRig& rig)
{
    rig.state->setSelectedSettingsPage(SettingsPage::actions);
    return rig.shownPage<ActionsSettingsView>();
}

QStringList rowIds(const ActionsSettingsView& page)
{
    QStringList ids;
    for (const ActionRunRow* row : page.actionRows())
        ids << row->action().id;
    return ids;
}

ActionRunRow* rowOf(const ActionsSettingsView& page, const QString& id)
{
    for (ActionRunRow* row : page.actionRows()) {
        if (row->action().id == id)
            return row;
    }
    return nullptr;
}

QStringList pickerItems(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

}  // namespace

class TestActionsSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void atStart();
    void actionsWithoutSampleGiveNoRows();
    void controlsWriteTheirOwnField();
    void run_data();
    void run();
    void translateUsesThePickedLanguage();
    void droppedStyleShowsItsFallback();
    void bothLanguages();
    void editorGrowsAndKeepsTheCaret();
};

void TestActionsSettings::atStart()
{
    SettingsRig rig;
    ActionsSettingsView* page = showActions(rig);
    QVERIFY(page);
    QCOMPARE(page->sampleEditor()->toPlainText(), QStringLiteral("Hi, how are you?"));
    QVERIFY(page->latestOutputBlock()->isHidden());
    // Every quick action but the three that work on no sample, in order.
    QStringList expected = QuickAction::defaultActionIds();
    expected.removeAll(QStringLiteral("ai"));
    expected.removeAll(QStringLiteral("clipboard"));
    expected.removeAll(QStringLiteral("layout"));
    QCOMPARE(rowIds(*page), expected);
    const ActionRunRow* fix = rowOf(*page, QStringLiteral("style:original"));
    QCOMPARE(fix->title(), QStringLiteral("Fix"));
    QCOMPARE(fix->symbolName(), QStringLiteral("wand.and.sparkles"));
    QCOMPARE(fix->runButton()->text(), QStringLiteral("Run"));
    QCOMPARE(fix->runButton()->accessibleName(), QStringLiteral("Run Fix"));
    QCOMPARE(fix->fillOpacity(), 0.055);
    QCOMPARE(rowOf(*page, QStringLiteral("translate"))->title(), QStringLiteral("Translate"));

    // The one list of 100 names, in its order, the stored one chosen.
    const QStringList names = pickerItems(page->languagePicker());
    QCOMPARE(names, MendoPromptLibrary::languages());
    QCOMPARE(names.size(), 100);
    QCOMPARE(names.first(), QStringLiteral("English"));
    QCOMPARE(names.last(), QStringLiteral("Odia"));
    QCOMPARE(page->languagePicker()->currentText(), QStringLiteral("English"));
    // Its popup stays on a small screen.
    QVERIFY(page->languagePicker()->maxVisibleItems() <= 20);
}

void TestActionsSettings::actionsWithoutSampleGiveNoRows()
{
    SettingsRig rig([](MendoSettings& s) { s.quickMenuActions = { "ai", "clipboard", "layout" }; });
    ActionsSettingsView* page = showActions(rig);
    QCOMPARE(page->actionRows().size(), 0);
    QVERIFY(!page->sampleEditor()->isHidden());
    QCOMPARE(page->languagePicker()->count(), 100);

    // The rows follow the quick actions as they change.
    rig.state->editSettings([](MendoSettings& s) { s.quickMenuActions = { "layout", "fix", "ai", "translate" }; });
    QCOMPARE(rowIds(*page), (QStringList { "style:original", "translate" }));
    rig.state->editSettings([](MendoSettings& s) { s.quickMenuActions = { "translate" }; });
    QCOMPARE(rowIds(*page), (QStringList { "translate" }));
}

void TestActionsSettings::controlsWriteTheirOwnField()
{
    SettingsRig rig;
    ActionsSettingsView* page = showActions(rig);
    const MendoSettings before = rig.state->settings();
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);

    // The picker writes the target language alone, in one save.
    QComboBox* picker = page->languagePicker();
    const int german = picker->findText(QStringLiteral("German"));
    picker->setCurrentIndex(german);
    Q_EMIT picker->activated(german);
    QCOMPARE(saves.size(), 1);
    MendoSettings expected = before;
    expected.targetLanguage = QStringLiteral("German");
    QVERIFY(rig.state->settings() == expected);
    QCOMPARE(rig.store.load().targetLanguage, QStringLiteral("German"));
    QCOMPARE(rig.state->targetLanguage(), QStringLiteral("German"));

    // Typing changes the sample in memory only: nothing is stored.
    const int writes = rig.defaults.writes;
    QTest::keyClicks(page->sampleEditor(), QStringLiteral(" Fine"));
    QCOMPARE(rig.state->sampleText(), QStringLiteral("Hi, how are you? Fine"));
    QCOMPARE(saves.size(), 1);
    QCOMPARE(rig.defaults.writes, writes);

    // Changed elsewhere, the picker shows it without writing.
    rig.state->editSettings([](MendoSettings& s) { s.targetLanguage = QStringLiteral("Odia"); });
    QCOMPARE(picker->currentText(), QStringLiteral("Odia"));
    QCOMPARE(saves.size(), 2);
}

void TestActionsSettings::run_data()
{
    QTest::addColumn<bool>("fails");
    QTest::newRow("the answer comes back") << false;
    QTest::newRow("the service fails") << true;
}

void TestActionsSettings::run()
{
    QFETCH(bool, fails);
    SettingsRig rig;
    ActionsSettingsView* page = showActions(rig);
    rig.state->setSampleText(QStringLiteral("helo wrld"));
    QCOMPARE(page->sampleEditor()->toPlainText(), QStringLiteral("helo wrld"));
    rig.engine.result = QStringLiteral("Hello world");
    if (fails)
        rig.engine.error = [] { throw BackendClientError::emptyResult(); };

    rowOf(*page, QStringLiteral("style:original"))->runButton()->click();
    QCOMPARE(rig.engine.calls, (QStringList { "style:original [helo wrld] English styles=17" }));
    rig.clock.advance(Millis(50));
    // The sample road: no selection read, nothing pasted.
    QCOMPARE(rig.selection.calls, QStringList());
    QCOMPARE(rig.pasteboard.writes, QStringList());
    if (fails) {
        QCOMPARE(rig.statuses.last(), QStringLiteral("10 failed AI returned an empty result."));
        QCOMPARE(page->sampleEditor()->toPlainText(), QStringLiteral("helo wrld"));
        QVERIFY(page->latestOutputBlock()->isHidden());
        QCOMPARE(rig.state->latestOutput(), QString());
    } else {
        QCOMPARE(rig.statuses.last(), QStringLiteral("10 done Hello world"));
        QCOMPARE(page->sampleEditor()->toPlainText(), QStringLiteral("Hello world"));
        QVERIFY(!page->latestOutputBlock()->isHidden());
        QCOMPARE(page->latestOutputText()->text(), QStringLiteral("Hello world"));
        // The run is one step the user can take back.
        page->sampleEditor()->undo();
        QCOMPARE(rig.state->sampleText(), QStringLiteral("helo wrld"));
        QCOMPARE(page->latestOutputText()->text(), QStringLiteral("Hello world"));
    }
}

void TestActionsSettings::translateUsesThePickedLanguage()
{
    SettingsRig rig;
    ActionsSettingsView* page = showActions(rig);
    QComboBox* picker = page->languagePicker();
    const int german = picker->findText(QStringLiteral("German"));
    picker->setCurrentIndex(german);
    Q_EMIT picker->activated(german);
    rowOf(*page, QStringLiteral("translate"))->runButton()->click();
    QCOMPARE(rig.engine.calls, (QStringList { "translate [Hi, how are you?] German styles=17" }));
    rig.clock.advance(Millis(10));
    QCOMPARE(page->latestOutputText()->text(), QStringLiteral("result"));
}

void TestActionsSettings::droppedStyleShowsItsFallback()
{
    // A style the Styles page's Reset dropped is still switched on.
    SettingsRig rig([](MendoSettings& s) { s.quickMenuActions = { "translate", "style:custom-gone" }; });
    // The real engine behind the state this time.
    MendoCore core(QStringLiteral("http://127.0.0.1:9"), rig.credentials, rig.network, rig.clock, rig.languages);
    CoreTextActionEngine engine(core);
    MendoAppState state(MendoAppState::Services {
        rig.clock, rig.store, rig.transparency, rig.permissions, rig.selection, rig.focused, rig.layouts, engine });
    QStringList statuses;
    connect(&state, &MendoAppState::statusChanged, this,
        [&](const ActionStatus& status) { statuses << AppStateRig::describe(status); });
    MainSettingsEnvironment environment { state, rig.quickPanel, rig.statusHUD, rig.hotkeys, rig.menuBar, rig.history,
        rig.clipboardPanel, rig.assistantPanel, rig.updateManager, rig.platform, rig.selection, rig.layouts,
        rig.builtInDisplay };
    std::unique_ptr<QWidget> made(makeActionsSettingsView(environment));
    auto* page = qobject_cast<ActionsSettingsView*>(made.get());
    QVERIFY(page);
    for (const UiLanguage language : { UiLanguage::en, UiLanguage::ru }) {
        state.editSettings([&](MendoSettings& s) { s.uiLanguage = language; });
        const ActionRunRow* row = rowOf(*page, QStringLiteral("style:custom-gone"));
        QVERIFY(row);
        QCOMPARE(row->title(), QStringLiteral("Действие"));
        QCOMPARE(row->symbolName(), QStringLiteral("sparkles"));
    }
    rowOf(*page, QStringLiteral("style:custom-gone"))->runButton()->click();
    rig.clock.advance(Millis(10));
    QCOMPARE(statuses.first(), QStringLiteral("running Выполняю: Действие"));
    QCOMPARE(statuses.last(),
        QStringLiteral("failed This action is not available natively yet: Style style:custom-gone"));
    QCOMPARE(page->sampleEditor()->toPlainText(), QStringLiteral("Hi, how are you?"));
    QVERIFY(page->latestOutputBlock()->isHidden());
}

void TestActionsSettings::bothLanguages()
{
    SettingsRig rig;
    ActionsSettingsView* page = showActions(rig);
    rig.state->setLatestOutput(QStringLiteral("<b>kept as typed</b>"));
    const auto shown = [&] {
        const ActionRunRow* translate = rowOf(*page, QStringLiteral("translate"));
        return QStringList { page->sampleHeading()->text(), page->languageLabel()->text(),
            page->outputHeading()->text(), translate->runButton()->text(), translate->runButton()->accessibleName(),
            translate->title(), page->languagePicker()->accessibleName(), page->sampleEditor()->accessibleName() };
    };
    QCOMPARE(shown(),
        (QStringList { "Test input", "Translate target", "Latest output", "Run", "Run Translate", "Translate",
            "Translate target", "Test input" }));
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(shown(),
        (QStringList { "Тестовый текст", "Язык перевода", "Последний результат", "Запустить",
            "Запустить «Перевод»", "Перевод", "Язык перевода", "Тестовый текст" }));
    QCOMPARE(rowOf(*page, QStringLiteral("style:original"))->title(), QStringLiteral("Исправить"));
    // The language names stay as they are stored and sent.
    QCOMPARE(pickerItems(page->languagePicker()), MendoPromptLibrary::languages());
    // The output is text, never markup.
    QCOMPARE(page->latestOutputText()->textFormat(), Qt::PlainText);
    QCOMPARE(page->latestOutputText()->text(), QStringLiteral("<b>kept as typed</b>"));
    QVERIFY(page->latestOutputText()->textInteractionFlags() & Qt::TextSelectableByMouse);
}

void TestActionsSettings::editorGrowsAndKeepsTheCaret()
{
    SettingsRig rig;
    MainSettingsView& view = rig.makeView();
    view.show();
    ActionsSettingsView* page = showActions(rig);
    SampleTextEditor* editor = page->sampleEditor();
    QTRY_COMPARE(editor->height(), SampleTextEditor::minimumHeight);

    // Forty lines: the editor grows, the page scrolls.
    QStringList lines;
    for (int i = 0; i < 40; ++i)
        lines << QStringLiteral("line %1").arg(i);
    rig.state->setSampleText(lines.join(u'\n'));
    QTRY_VERIFY(editor->height() > 40 * editor->fontMetrics().lineSpacing());
    QCOMPARE(editor->verticalScrollBar()->maximum(), 0);
    QTRY_VERIFY(view.currentScrollArea()->verticalScrollBar()->maximum() > 0);

    // The page scrolls to the caret at the end of the sample, and back.
    QScrollBar* pageScroll = view.currentScrollArea()->verticalScrollBar();
    QCOMPARE(pageScroll->value(), 0);
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    editor->moveCursor(QTextCursor::Start);
    editor->moveCursor(QTextCursor::End);
    QTRY_VERIFY(pageScroll->value() > 0);
    editor->moveCursor(QTextCursor::Start);
    QTRY_VERIFY(pageScroll->value() < 200);

    // Typing keeps the caret where it is, and its own undo.
    editor->setFocus();
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(4);
    editor->setTextCursor(cursor);
    QTest::keyClicks(editor, QStringLiteral("XY"));
    QCOMPARE(editor->textCursor().position(), 6);
    QVERIFY(rig.state->sampleText().startsWith(QStringLiteral("lineXY 0\n")));
    editor->undo();
    QVERIFY(rig.state->sampleText().startsWith(QStringLiteral("line 0\n")));

    // Back to one line, back to the least height.
    rig.state->setSampleText(QStringLiteral("short"));
    QTRY_COMPARE(editor->height(), SampleTextEditor::minimumHeight);
}

QTEST_MAIN(TestActionsSettings)
#include "test_actions_settings.moc"
