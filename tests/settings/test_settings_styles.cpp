#include "settings/SettingsRig.h"

#include "hotkeys/HotkeyRecorderField.h"
#include "hotkeys/ParsedHotkey.h"
#include "model/AIReplyStyleLibrary.h"
#include "model/MendoPromptLibrary.h"
#include "settings/AIReplySettingsView.h"
#include "settings/StyleCardList.h"
#include "settings/StylesSettingsView.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace mendo;

namespace {

using Field = StyleEditorStore::Field;

// The two pages through one face: the reply page is the rewrite page without
// the "Auto" switch.
struct PageFace {
    SettingsPage page;
    QWidget* view = nullptr;
    StyleCardList* list = nullptr;
    QAbstractButton* add = nullptr;
    QAbstractButton* reset = nullptr;
};

PageFace open(SettingsRig& rig, SettingsPage page)
{
    rig.state->setSelectedSettingsPage(page);
    PageFace face { page };
    if (page == SettingsPage::styles) {
        auto* view = rig.shownPage<StylesSettingsView>();
        face = { page, view, view->cardList(), view->addButton(), view->resetButton() };
    } else {
        auto* view = rig.shownPage<AIReplySettingsView>();
        face = { page, view, view->cardList(), view->addButton(), view->resetButton() };
    }
    return face;
}

// The stored styles of the page as the store holds them (reply styles have
// no auto-replace).
QList<EditedStyle> stored(const MendoSettings& settings, SettingsPage page)
{
    QList<EditedStyle> styles;
    if (page == SettingsPage::styles) {
        for (const PromptStyle& s : settings.promptStyles)
            styles << EditedStyle { s.id, s.name, s.prompt, s.hotkey, s.autoReplace };
    } else {
        for (const AIReplyStyle& s : settings.aiReplyStyles)
            styles << EditedStyle { s.id, s.name, s.prompt, s.hotkey, std::nullopt };
    }
    return styles;
}

QList<EditedStyle> builtIns(SettingsPage page)
{
    MendoSettings defaults;
    defaults.promptStyles = MendoPromptLibrary::defaultStyles();
    defaults.aiReplyStyles = AIReplyStyleLibrary::defaultStyles();
    return stored(defaults, page);
}

std::optional<EditedStyle> storedStyle(SettingsRig& rig, SettingsPage page, const QString& id)
{
    for (const EditedStyle& style : stored(rig.state->settings(), page)) {
        if (style.id == id)
            return style;
    }
    return std::nullopt;
}

QString lastId(SettingsRig& rig, SettingsPage page)
{
    return stored(rig.state->settings(), page).last().id;
}

HotkeyKeyPress press(int key, quint32 nativeKey, Qt::KeyboardModifiers modifiers = {}, QString characters = {})
{
    return { key, nativeKey, modifiers, std::move(characters) };
}

}  // namespace

class TestSettingsStyles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QApplication::clipboard()->clear(); }
    void bothPages_data();
    void trashOnlyOnUserCards_data() { bothPages_data(); }
    void trashOnlyOnUserCards();
    void addKeepsItsLanguage_data() { bothPages_data(); }
    void addKeepsItsLanguage();
    void twoAddsGiveDistinctIds_data() { bothPages_data(); }
    void twoAddsGiveDistinctIds();
    void eachFieldSavesOnlyItself_data() { bothPages_data(); }
    void eachFieldSavesOnlyItself();
    void emptiedBuiltInNameComesBackAfterReload_data() { bothPages_data(); }
    void emptiedBuiltInNameComesBackAfterReload();
    void editOfAStyleResetRemovedIsDropped_data() { bothPages_data(); }
    void editOfAStyleResetRemovedIsDropped();
    void resetLeavesTheBuiltInList_data() { bothPages_data(); }
    void resetLeavesTheBuiltInList();
    void publishedChangesUpdateCardsInPlace_data() { bothPages_data(); }
    void publishedChangesUpdateCardsInPlace();
    void anIdStoredTwiceShowsItsFirstEntry();
    void textsInBothLanguages();
    void longListsMakeCardsAsTheyComeIntoView();
    void typingKeepsFocusAndCaret();
    void largePasteIsOneSave();
};

void TestSettingsStyles::bothPages_data()
{
    QTest::addColumn<SettingsPage>("page");
    QTest::newRow("styles") << SettingsPage::styles;
    QTest::newRow("ai reply") << SettingsPage::aiReply;
}

void TestSettingsStyles::trashOnlyOnUserCards()
{
    QFETCH(SettingsPage, page);
    SettingsRig rig;
    PageFace face = open(rig, page);
    face.add->click();
    const QString added = lastId(rig, page);

    QCOMPARE(face.list->cards().size(), 18);
    for (StyleEditorCard* card : face.list->cards()) {
        const bool user = card->styleId() == added;
        QCOMPARE(card->canDelete(), user);
        QCOMPARE(card->deleteButton() != nullptr, user);
        // Only rewrite styles replace automatically.
        QCOMPARE(card->autoReplaceToggle() != nullptr, page == SettingsPage::styles);
        const HotkeyRecorderField expectedWidth(rig.registrar, nullptr, {}, page == SettingsPage::styles ? 120 : 140);
        QCOMPARE(card->hotkeyField()->sizeHint().width(), expectedWidth.sizeHint().width());
    }

    // The trash takes the style, and a rewrite style's quick-menu entries.
    QPointer<StyleEditorCard> card = face.list->card(added);
    card->deleteButton()->click();
    QVERIFY(!storedStyle(rig, page, added));
    QVERIFY(!rig.state->settings().quickMenuOrder.contains(QStringLiteral("style:") + added));
    QVERIFY(!rig.state->settings().quickMenuActions.contains(QStringLiteral("style:") + added));
    QCOMPARE(face.list->cards().size(), 17);
    QTRY_VERIFY(!card);
    QCOMPARE(stored(rig.store.load(), page), builtIns(page));
}

void TestSettingsStyles::addKeepsItsLanguage()
{
    QFETCH(SettingsPage, page);
    SettingsRig rig;
    PageFace face = open(rig, page);
    const bool styles = page == SettingsPage::styles;

    face.add->click();
    const QString english = lastId(rig, page);
    rig.setLanguage(UiLanguage::ru);
    face.add->click();
    const QString russian = lastId(rig, page);
    rig.setLanguage(UiLanguage::en);

    const EditedStyle en = *storedStyle(rig, page, english);
    const EditedStyle ru = *storedStyle(rig, page, russian);
    QCOMPARE(en.name, styles ? QStringLiteral("New Style") : QStringLiteral("New Reply Style"));
    QCOMPARE(en.prompt,
        styles ? QStringLiteral("Rewrite the text in the requested style. Preserve the meaning and return only the "
                                "final text.")
               : QStringLiteral("Write a natural ready-to-send reply in the requested style. Return only the reply "
                                "text."));
    QCOMPARE(ru.name, styles ? QStringLiteral("Новый стиль") : QStringLiteral("Новый стиль ответа"));
    QCOMPARE(ru.prompt,
        styles ? QStringLiteral("Перепиши текст в нужном стиле. Сохрани смысл и верни только готовый текст.")
               : QStringLiteral("Напиши естественный готовый ответ в нужном стиле. Верни только текст ответа."));
    QCOMPARE(en.hotkey, ParsedHotkey::notAssigned);
    QCOMPARE(ru.hotkey, ParsedHotkey::notAssigned);
    if (styles)
        QCOMPARE(ru.autoReplace, std::optional<bool>(true));
    // The cards show what was stored, whatever the language now.
    QCOMPARE(face.list->card(russian)->nameField()->text(), ru.name);
    QCOMPARE(face.list->card(russian)->promptEditor()->toPlainText(), ru.prompt);
    QCOMPARE(face.list->card(english)->nameField()->text(), en.name);
    QCOMPARE(rig.state->selectedSettingsPage(), page);
}

void TestSettingsStyles::twoAddsGiveDistinctIds()
{
    QFETCH(SettingsPage, page);
    SettingsRig rig;
    PageFace face = open(rig, page);
    const MendoSettings before = rig.state->settings();
    face.add->click();
    face.add->click();

    const QList<EditedStyle> styles = stored(rig.state->settings(), page);
    QCOMPARE(styles.size(), 19);
    const QString first = styles[17].id;
    const QString second = styles[18].id;
    QVERIFY(first != second);
    const QRegularExpression idForm(page == SettingsPage::styles ? QStringLiteral("^custom-[0-9a-f]{8}$")
                                                                 : QStringLiteral("^custom-reply-[0-9a-f]{8}$"));
    QVERIFY2(idForm.match(first).hasMatch(), qPrintable(first));
    QVERIFY2(idForm.match(second).hasMatch(), qPrintable(second));
    QCOMPARE(face.list->cards().at(17)->styleId(), first);
    QCOMPARE(face.list->cards().at(18)->styleId(), second);

    const MendoSettings& after = rig.state->settings();
    if (page == SettingsPage::styles) {
        // Each new style is enabled once at the end of the quick menu.
        const QStringList added { "style:" + first, "style:" + second };
        QCOMPARE(after.quickMenuOrder, before.quickMenuOrder + added);
        QCOMPARE(after.quickMenuActions, before.quickMenuActions + added);
    } else {
        QCOMPARE(after.quickMenuOrder, before.quickMenuOrder);
        QCOMPARE(after.quickMenuActions, before.quickMenuActions);
    }
}

// Every change of every field is one save of that field alone; typing the
// name and then the prompt keeps both.
void TestSettingsStyles::eachFieldSavesOnlyItself()
{
    QFETCH(SettingsPage, page);
    SettingsRig rig;
    rig.registrar.useLayouts({ "us" });
    PageFace face = open(rig, page);
    face.add->click();
    const QString id = lastId(rig, page);
    StyleEditorCard* card = face.list->card(id);
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    const QList<EditedStyle> others = stored(rig.state->settings(), page).mid(0, 17);

    EditedStyle expected = *storedStyle(rig, page, id);
    auto check = [&](int savesSoFar) {
        QCOMPARE(saves.size(), savesSoFar);
        QCOMPARE(*storedStyle(rig, page, id), expected);
        const QList<EditedStyle> saved = stored(rig.store.load(), page);
        QCOMPARE(saved.last(), expected);
    };

    card->nameField()->clear();
    card->nameField()->setFocus();
    QTest::keyClicks(card->nameField(), QStringLiteral("Pirate"));
    expected.name = QStringLiteral("Pirate");
    check(6);

    card->promptEditor()->clear();  // shown text only: writes the emptied prompt once
    QCOMPARE(storedStyle(rig, page, id)->prompt, QString());
    QTest::keyClicks(card->promptEditor(), QStringLiteral("Arr"));
    expected.prompt = QStringLiteral("Arr");
    check(7 + 3);

    card->hotkeyField()->beginRecording();
    card->hotkeyField()->handle(press(Qt::Key_Q, 24, Qt::AltModifier | Qt::ShiftModifier, "Q"));
    expected.hotkey = QStringLiteral("Alt+Shift+Q");
    check(11);
    card->hotkeyField()->beginRecording();
    card->hotkeyField()->handle(press(Qt::Key_Delete, 119));
    expected.hotkey = ParsedHotkey::notAssigned;
    check(12);

    if (page == SettingsPage::styles) {
        card->autoReplaceToggle()->click();
        expected.autoReplace = false;
        check(13);
        QVERIFY(!card->autoReplaceToggle()->isChecked());
    }
    // The built-in styles stayed as they were.
    QCOMPARE(stored(rig.state->settings(), page).mid(0, 17), others);
    QCOMPARE(card->nameField()->text(), QStringLiteral("Pirate"));
    QCOMPARE(card->promptEditor()->toPlainText(), QStringLiteral("Arr"));
}

// An emptied name is stored empty; a built-in style's comes back on the next
// start, when the stored list is rebuilt over the built-ins.
void TestSettingsStyles::emptiedBuiltInNameComesBackAfterReload()
{
    QFETCH(SettingsPage, page);
    SettingsRig rig;
    PageFace face = open(rig, page);
    StyleEditorCard* card = face.list->card(QStringLiteral("friendly"));
    const QString builtInName = card->nameField()->text();
    QVERIFY(!builtInName.isEmpty());
    card->nameField()->setFocus();
    card->nameField()->end(false);
    for (qsizetype i = 0; i < builtInName.size(); ++i)
        QTest::keyClick(card->nameField(), Qt::Key_Backspace);
    QCOMPARE(storedStyle(rig, page, QStringLiteral("friendly"))->name, QString());
    QCOMPARE(card->nameField()->text(), QString());

    const QList<EditedStyle> reloaded = stored(NativeSettingsStore(rig.defaults).load(), page);
    QCOMPARE(reloaded.at(1).id, QStringLiteral("friendly"));
    QCOMPARE(reloaded.at(1).name, builtInName);
}

void TestSettingsStyles::editOfAStyleResetRemovedIsDropped()
{
    QFETCH(SettingsPage, page);
    SettingsRig rig;
    PageFace face = open(rig, page);
    face.add->click();
    const QString id = lastId(rig, page);
    QPointer<StyleEditorCard> card = face.list->card(id);
    card->build();

    face.reset->click();
    QVERIFY(card);  // still there until the event loop takes it
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    card->editText(Field::name, QStringLiteral("Late"));
    card->editText(Field::prompt, QStringLiteral("Late"));
    card->editAutoReplace(false);
    QCOMPARE(saves.size(), 0);
    QVERIFY(!storedStyle(rig, page, id));
    QCOMPARE(stored(rig.state->settings(), page), builtIns(page));
    QTRY_VERIFY(!card);
}

void TestSettingsStyles::resetLeavesTheBuiltInList()
{
    QFETCH(SettingsPage, page);
    SettingsRig rig;
    PageFace face = open(rig, page);
    face.add->click();
    face.add->click();
    const QString dropped = lastId(rig, page);
    StyleEditorCard* professional = face.list->card(QStringLiteral("professional"));
    professional->editText(Field::name, QStringLiteral("Stiff"));
    professional->editText(Field::hotkey, QStringLiteral("Alt+Shift+7"));
    const QStringList order = rig.state->settings().quickMenuOrder;
    const QStringList actions = rig.state->settings().quickMenuActions;
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);

    face.reset->click();
    QCOMPARE(saves.size(), 1);
    QCOMPARE(stored(rig.state->settings(), page), builtIns(page));
    QCOMPARE(stored(rig.store.load(), page), builtIns(page));
    // The quick-menu entries of dropped styles are left for the Quick Menu page.
    QCOMPARE(rig.state->settings().quickMenuOrder, order);
    QCOMPARE(rig.state->settings().quickMenuActions, actions);
    if (page == SettingsPage::styles)
        QVERIFY(order.contains(QStringLiteral("style:") + dropped));

    // The surviving cards are the same cards, showing the built-in values.
    QCOMPARE(face.list->cards().size(), 17);
    QCOMPARE(face.list->card(QStringLiteral("professional")), professional);
    QCOMPARE(professional->nameField()->text(), builtIns(page).at(4).name);
    QCOMPARE(professional->hotkeyField()->hotkey(), builtIns(page).at(4).hotkey);
    QStringList ids;
    for (StyleEditorCard* card : face.list->cards())
        ids << card->styleId();
    QStringList builtInIds;
    for (const EditedStyle& style : builtIns(page))
        builtInIds << style.id;
    QCOMPARE(ids, builtInIds);
}

// A change published by anyone (the card's own save included) reaches the
// cards in place: the same widgets, the typed field untouched, the others
// shown anew.
void TestSettingsStyles::publishedChangesUpdateCardsInPlace()
{
    QFETCH(SettingsPage, page);
    SettingsRig rig;
    PageFace face = open(rig, page);
    const QList<StyleEditorCard*> cards = face.list->cards();
    StyleEditorCard* friendly = face.list->card(QStringLiteral("friendly"));
    QLineEdit* name = friendly->nameField();
    name->setText(QStringLiteral("Warm"));
    name->setCursorPosition(2);
    QTest::keyClicks(name, QStringLiteral("xy"));
    QCOMPARE(name->text(), QStringLiteral("Waxyrm"));
    QCOMPARE(name->cursorPosition(), 4);
    QVERIFY(name->isUndoAvailable());
    QCOMPARE(face.list->cards(), cards);

    // Another style changed elsewhere shows on its card.
    if (page == SettingsPage::styles) {
        rig.state->editSettings([](MendoSettings& s) { s.promptStyles[4].prompt = QStringLiteral("Be formal."); });
    } else {
        rig.state->editSettings([](MendoSettings& s) { s.aiReplyStyles[4].prompt = QStringLiteral("Be formal."); });
    }
    QCOMPARE(
        face.list->card(QStringLiteral("professional"))->promptEditor()->toPlainText(), QStringLiteral("Be formal."));
    QCOMPARE(name->cursorPosition(), 4);
    QCOMPARE(face.list->cards(), cards);
}

// A hand-edited profile may hold a user's style twice: one card shows the
// entry that edits and the engine use, and its edits land there.
void TestSettingsStyles::anIdStoredTwiceShowsItsFirstEntry()
{
    const PromptStyle first { QStringLiteral("custom-0000beef"), QStringLiteral("First"), QStringLiteral("One"),
        ParsedHotkey::notAssigned, true };
    PromptStyle second = first;
    second.name = QStringLiteral("Second");
    SettingsRig rig([&](MendoSettings& s) { s.promptStyles << first << second; });
    QCOMPARE(rig.state->promptStyles().size(), 19);
    PageFace face = open(rig, SettingsPage::styles);
    QCOMPARE(face.list->cards().size(), 18);
    QLineEdit* name = face.list->card(first.id)->nameField();
    QCOMPARE(name->text(), QStringLiteral("First"));
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("!"));
    QCOMPARE(name->text(), QStringLiteral("First!"));
    QCOMPARE(rig.state->settings().promptStyles.at(17).name, QStringLiteral("First!"));
    QCOMPARE(rig.state->settings().promptStyles.at(18).name, QStringLiteral("Second"));
}

void TestSettingsStyles::textsInBothLanguages()
{
    SettingsRig rig;
    rig.registrar.useLayouts({ "us" });
    PageFace styles = open(rig, SettingsPage::styles);
    PageFace reply = open(rig, SettingsPage::aiReply);
    auto* stylesView = static_cast<StylesSettingsView*>(styles.view);
    auto* replyView = static_cast<AIReplySettingsView*>(reply.view);
    StyleEditorCard* styleCard = styles.list->cards().first();
    StyleEditorCard* replyCard = reply.list->cards().first();

    const struct {
        UiLanguage language;
        QStringList texts;
    } expected[] = {
        { UiLanguage::en,
            { "Prompt styles", "Add", "Reset", "Name", "Auto", "AI Reply",
                "Select a message and use Super + Alt with a reply-style key.", "Add", "Reset", "Name", "Delete" } },
        { UiLanguage::ru,
            { "Стили", "Добавить", "Сброс", "Название", "Авто", "AI Reply",
                "Выделите сообщение и нажмите Super + Alt с клавишей стиля ответа.", "Добавить", "Сброс", "Название",
                "Удалить" } },
    };
    reply.add->click();
    StyleEditorCard* userCard = reply.list->cards().last();
    for (const auto& [language, texts] : expected) {
        rig.setLanguage(language);
        const QStringList shown { stylesView->heading()->text(), styles.add->text(), styles.reset->text(),
            styleCard->nameField()->placeholderText(), styleCard->autoReplaceToggle()->text(),
            replyView->heading()->text(), replyView->hint()->text(), reply.add->text(), reply.reset->text(),
            replyCard->nameField()->placeholderText(), userCard->deleteButton()->accessibleName() };
        QCOMPARE(shown, texts);
        // Each control names itself to screen readers in the language shown.
        QCOMPARE(styleCard->nameField()->accessibleName(), texts[3]);
        QVERIFY(!styleCard->hotkeyField()->accessibleName().isEmpty());
        QVERIFY(!styleCard->promptEditor()->accessibleName().isEmpty());
    }
}

void TestSettingsStyles::longListsMakeCardsAsTheyComeIntoView()
{
    SettingsRig rig([](MendoSettings& s) {
        for (int i = 0; i < 200; ++i) {
            s.promptStyles.append(
                { QStringLiteral("custom-%1").arg(i, 8, 16, QLatin1Char('0')), QStringLiteral("Style %1").arg(i),
                    QStringLiteral("Prompt %1").arg(i), ParsedHotkey::notAssigned, true });
        }
    });
    MainSettingsView& view = rig.makeView();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PageFace face = open(rig, SettingsPage::styles);
    QCOMPARE(face.list->cards().size(), 217);
    QTRY_VERIFY(face.list->builtCardCount() >= 4);
    QVERIFY2(face.list->builtCardCount() < 30, qPrintable(QString::number(face.list->builtCardCount())));

    // Scrolled to the end, the last cards are made and shown.
    QScrollArea* area = view.currentScrollArea();
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    QTRY_VERIFY(face.list->cards().last()->isBuilt());
    QTRY_COMPARE(area->verticalScrollBar()->value(), area->verticalScrollBar()->maximum());
    QTRY_VERIFY(!face.list->cards().last()->visibleRegion().isEmpty());
    QCOMPARE(face.list->cards().last()->nameField()->text(), QStringLiteral("Style 199"));
}

// Typing into a prompt editor on the shown page, key by key: every key is
// saved, and the editor keeps the focus and the caret throughout.
void TestSettingsStyles::typingKeepsFocusAndCaret()
{
    SettingsRig rig;
    MainSettingsView& view = rig.makeView();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PageFace face = open(rig, SettingsPage::styles);
    StylePromptEditor* editor = face.list->card(QStringLiteral("polite"))->promptEditor();
    QVERIFY(QTest::qWaitFor([&] { return editor->isVisible(); }));
    view.activateWindow();
    editor->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), editor);
    editor->moveCursor(QTextCursor::End);
    const QString original = editor->toPlainText();
    const QString typed = QStringLiteral(" Keep it short, and sign off warmly; thank them first.\nThen the rest.");

    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QChar c = typed.at(i);
        if (c == QLatin1Char('\n'))
            QTest::keyClick(editor, Qt::Key_Return);
        else
            QTest::keyClicks(editor, QString(c));
        QVERIFY2(QApplication::focusWidget() == editor, qPrintable(QStringLiteral("focus lost after key %1").arg(i)));
        QCOMPARE(editor->textCursor().position(), int(original.size() + i + 1));
        QCOMPARE(
            storedStyle(rig, SettingsPage::styles, QStringLiteral("polite"))->prompt, original + typed.left(i + 1));
    }
    QCOMPARE(saves.size(), int(typed.size()));

    // Typing on below the page's visible part: the page follows the caret.
    QScrollArea* area = view.currentScrollArea();
    for (int i = 0; i < 50; ++i)
        QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, QStringLiteral("Bye"));
    QVERIFY(editor->height() > area->viewport()->height());
    auto caretShown = [&] {
        const QRect caret(
            editor->viewport()->mapTo(area->viewport(), editor->cursorRect().topLeft()), editor->cursorRect().size());
        return area->viewport()->rect().contains(caret);
    };
    QTRY_VERIFY(caretShown());
    QCOMPARE(QApplication::focusWidget(), editor);
    // The undo history is the user's: undo takes back typing, not a reload.
    QVERIFY(editor->document()->isUndoAvailable());
    const QString typedAll = editor->toPlainText();
    editor->undo();
    QVERIFY(editor->toPlainText().startsWith(original));
    QVERIFY(editor->toPlainText().size() < typedAll.size());
}

// A paste of a megabyte is one save, and the editor takes the next key at
// once and draws it.
void TestSettingsStyles::largePasteIsOneSave()
{
    SettingsRig rig;
    MainSettingsView& view = rig.makeView();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PageFace face = open(rig, SettingsPage::aiReply);
    StylePromptEditor* editor = face.list->card(QStringLiteral("short"))->promptEditor();
    QVERIFY(QTest::qWaitFor([&] { return editor->isVisible(); }));
    editor->setFocus();
    editor->selectAll();

    QString big;
    big.reserve(1 << 20);
    while (big.size() < (1 << 20))
        big += QStringLiteral("A line of pasted prompt text that goes on for a while, number %1.\n").arg(big.size());
    QApplication::clipboard()->setText(big);
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(saves.size(), 1);
    QCOMPARE(storedStyle(rig, SettingsPage::aiReply, QStringLiteral("short"))->prompt, big);
    QVERIFY(editor->height() > 10000);

    // The next key is saved and drawn.
    int paints = 0;
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& c)
            : count(c)
        {
        }
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                ++count;
            return false;
        }
    } counter(paints);
    editor->viewport()->installEventFilter(&counter);
    view.currentScrollArea()->ensureWidgetVisible(editor, 0, 0);
    QTest::keyClicks(editor, QStringLiteral("!"));
    QCOMPARE(saves.size(), 2);
    QVERIFY(storedStyle(rig, SettingsPage::aiReply, QStringLiteral("short"))->prompt.endsWith(QLatin1Char('!')));
    QTRY_VERIFY(paints > 0);
}

QTEST_MAIN(TestSettingsStyles)
#include "test_settings_styles.moc"
