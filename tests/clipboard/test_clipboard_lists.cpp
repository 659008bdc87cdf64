// The clipboard window's tabs, lists, previews and note editor over fakes,
// with the real history and notes store: tab names, renaming, deleting tabs,
// "To note", the editor's drafts, the side-preview width rule, the empty
// texts, and what rows and cards show in both languages.

#include "app/AppStateRig.h"
#include "clipboard/ClipboardEntryList.h"
#include "clipboard/ClipboardHistoryPanel.h"
#include "clipboard/ClipboardPanelRig.h"
#include "clipboard/ClipboardPanelState.h"
#include "clipboard/ClipboardSidePreview.h"
#include "ui/FloatingPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(mendo::UiLanguage)

namespace {

struct ListsRig {
    AppStateRig app;
    ClipboardPanelRig rig { app.clock, app.defaults };
    ClipboardPanelState state { rig.history, rig.notes, app.defaults };

    explicit ListsRig(UiLanguage language = UiLanguage::en) { state.setLanguage(language); }

    ClipboardNotesService& notes() { return rig.notes; }
    QStringList titles() { return titlesOf(rig.notes.tabs()); }
    static QStringList titlesOf(const QList<ClipboardNoteTab>& tabs)
    {
        QStringList out;
        for (const ClipboardNoteTab& tab : tabs)
            out << tab.title;
        return out;
    }
    QStringList noteTexts(const QString& tabID)
    {
        QStringList out;
        if (const auto tab = rig.notes.tab(tabID)) {
            for (const ClipboardNoteItem& note : tab->notes)
                out << note.text;
        }
        return out;
    }
    ClipboardNoteItem note(const QString& tabID, const QString& text)
    {
        return *rig.notes.addNote(tabID, text);
    }
};

}  // namespace

class TestClipboardLists : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tabNames();
    void newTabNameField();
    void renameDraftKeptAcrossTabs();
    void deletingTabs();
    void clickOnTheShownTabClosesTheEditor();
    void toNote();
    void editorDrafts();
    void deletingNotes();
    void lostNoteDraftIsKept();
    void sidePreviewRule_data();
    void sidePreviewRule();
    void emptyTexts_data();
    void emptyTexts();
    void rows_data();
    void rows();
    void cards_data();
    void cards();
    void noteCopyStaysOutOfTheHistory();
    void controlsOfTheHistoryTab();
    void entriesThatLeftTheListAreLetGo();
};

void TestClipboardLists::tabNames()
{
    {
        ListsRig r(UiLanguage::ru);
        r.state.addTabAndStartRename();
        r.state.addTabAndStartRename();
        QCOMPARE(r.titles(), (QStringList { "Заметки", "Заметки 2" }));
        r.notes().renameTab(r.notes().tabs().first().id, QStringLiteral("Работа"));
        r.state.addTabAndStartRename();
        QCOMPARE(r.titles(), (QStringList { "Работа", "Заметки 2", "Заметки" }));
    }
    {
        ListsRig r;
        r.notes().addTab(QStringLiteral("A"));
        r.notes().addTab(QStringLiteral("B"));
        r.state.addTabAndStartRename();
        QCOMPARE(r.titles().last(), QStringLiteral("Notes"));
        // From the history, a new note makes its own tab, numbered whenever
        // any tab exists.
        r.state.selectTab(ClipboardPanelState::historyTabID);
        r.state.startNewNote();
        QCOMPARE(r.titles().last(), QStringLiteral("Notes 4"));
        QCOMPARE(r.state.selectedTabID(), r.notes().tabs().last().id);
        QVERIFY(r.state.isEditingNote());
        QVERIFY(r.state.renamingTabID() != std::optional<QString>(r.state.selectedTabID()));
        // Cancelling leaves the new tab.
        r.state.cancelNoteEditing();
        QCOMPARE(r.notes().tabs().size(), 4);
    }
    {
        ListsRig r;
        r.state.startNewNote();
        QCOMPARE(r.titles(), QStringList { "Notes" });
    }
}

void TestClipboardLists::newTabNameField()
{
    ListsRig r;
    r.state.addTabAndStartRename();
    const QString id = r.notes().tabs().first().id;
    QCOMPARE(r.state.renamingTabID(), std::optional<QString>(id));
    QCOMPARE(r.state.tabTitleDraft(), QStringLiteral("Notes"));
    QCOMPARE(r.state.selectedTabID(), id);
    QVERIFY(!r.state.tabNameFocused());
    QTRY_VERIFY(r.state.tabNameFocused());  // on a later turn

    const struct {
        QString draft;
        QString stored;
    } cases[] = {
        { QStringLiteral("Notes"), QStringLiteral("Notes") },
        { QString(), QStringLiteral("Notes") },
        { QStringLiteral("   "), QStringLiteral("Notes") },
        { QString(40, QLatin1Char('x')), QString(32, QLatin1Char('x')) },
        { QStringLiteral("  Work  "), QStringLiteral("Work") },
    };
    for (const auto& c : cases) {
        r.state.startRename();
        r.state.setTabTitleDraft(c.draft);
        r.state.finishRenameTab();
        QCOMPARE(r.notes().tab(id)->title, c.stored);
        QCOMPARE(r.state.renamingTabID(), std::nullopt);
        QCOMPARE(r.state.tabTitleDraft(), QString());
        QVERIFY(!r.state.tabNameFocused());
        r.notes().renameTab(id, QStringLiteral("Notes"));
    }
    r.state.finishRenameTab();  // nothing pending: nothing happens
}

void TestClipboardLists::renameDraftKeptAcrossTabs()
{
    ListsRig r;
    const ClipboardNoteTab a = r.notes().addTab(QStringLiteral("A"));
    const ClipboardNoteTab b = r.notes().addTab(QStringLiteral("B"));
    r.state.selectTab(a.id);
    r.state.startRename();
    r.state.setTabTitleDraft(QStringLiteral("Typed"));
    r.state.selectTab(b.id);
    r.state.selectTab(ClipboardPanelState::historyTabID);
    r.state.selectTab(a.id);
    QCOMPARE(r.state.renamingTabID(), std::optional<QString>(a.id));
    QCOMPARE(r.state.tabTitleDraft(), QStringLiteral("Typed"));
    QCOMPARE(r.notes().tab(a.id)->title, QStringLiteral("A"));
}

void TestClipboardLists::deletingTabs()
{
    ListsRig r;
    const ClipboardNoteTab a = r.notes().addTab(QStringLiteral("A"));
    const ClipboardNoteTab b = r.notes().addTab(QStringLiteral("B"));
    const ClipboardNoteTab c = r.notes().addTab(QStringLiteral("C"));
    r.note(a.id, QStringLiteral("a old"));
    const ClipboardNoteItem aNew = r.note(a.id, QStringLiteral("a new"));
    r.note(c.id, QStringLiteral("c"));

    // The last of three: the first tab and its first note, not a neighbour.
    r.state.selectTab(c.id);
    r.state.startNewNote();
    r.state.deleteCurrentTab();
    QCOMPARE(r.titles(), (QStringList { "A", "B" }));
    QCOMPARE(r.state.selectedTabID(), a.id);
    QCOMPARE(r.state.selectedNoteID(), std::optional<QString>(aNew.id));
    QVERIFY(!r.state.isEditingNote());

    r.state.selectTab(b.id);
    r.state.deleteCurrentTab();
    QCOMPARE(r.state.selectedTabID(), a.id);
    r.state.deleteCurrentTab();
    QCOMPARE(r.state.selectedTabID(), ClipboardPanelState::historyTabID);
    QCOMPARE(r.state.selectedNoteID(), std::nullopt);
    QVERIFY(r.notes().tabs().isEmpty());
    r.state.deleteCurrentTab();  // the history is never deleted
    QCOMPARE(r.state.selectedTabID(), ClipboardPanelState::historyTabID);
}

void TestClipboardLists::clickOnTheShownTabClosesTheEditor()
{
    ListsRig r;
    const ClipboardNoteTab a = r.notes().addTab(QStringLiteral("A"));
    const ClipboardNoteItem older = r.note(a.id, QStringLiteral("older"));
    const ClipboardNoteItem newer = r.note(a.id, QStringLiteral("newer"));
    r.state.selectTab(a.id);
    r.state.startEditNote(older);
    r.state.setNoteDraft(QStringLiteral("changed"));
    r.state.selectTab(a.id);
    QVERIFY(!r.state.isEditingNote());
    QCOMPARE(r.state.noteDraft(), QString());
    QCOMPARE(r.state.selectedNoteID(), std::optional<QString>(newer.id));
    QCOMPARE(r.noteTexts(a.id), (QStringList { "newer", "older" }));
}

void TestClipboardLists::toNote()
{
    ListsRig r;
    r.rig.history.record(QStringLiteral("copied text"));
    const ClipboardHistoryItem item = r.rig.history.items().first();
    r.state.setSearchText(QStringLiteral("copied"));
    r.state.saveClipboardItemAsNote(item);
    QCOMPARE(r.titles(), QStringList { "Notes" });
    const QString tab = r.notes().tabs().first().id;
    QCOMPARE(r.state.selectedTabID(), tab);
    QCOMPARE(r.noteTexts(tab), QStringList { "copied text" });
    QCOMPARE(r.state.selectedNoteID(), std::optional<QString>(r.notes().tabs().first().notes.first().id));
    QCOMPARE(r.rig.history.items().size(), 1);  // the entry stays
    QCOMPARE(r.state.searchText(), QStringLiteral("copied"));

    // With tabs, the leftmost one takes it, whichever was shown.
    const ClipboardNoteTab second = r.notes().addTab(QStringLiteral("Second"));
    r.state.selectTab(second.id);
    r.state.startNewNote();
    r.state.saveClipboardItemAsNote(item);
    QCOMPARE(r.state.selectedTabID(), tab);
    QCOMPARE(r.noteTexts(tab), (QStringList { "copied text", "copied text" }));
    QVERIFY(!r.state.isEditingNote());
}

void TestClipboardLists::editorDrafts()
{
    ListsRig r;
    const ClipboardNoteTab a = r.notes().addTab(QStringLiteral("A"));
    const ClipboardNoteItem first = r.note(a.id, QStringLiteral("first"));
    r.note(a.id, QStringLiteral("second"));
    r.state.selectTab(a.id);

    // A blank draft cannot be saved; the editor stays open.
    r.state.startNewNote();
    QCOMPARE(r.state.editingNoteID(), std::nullopt);
    r.state.setNoteDraft(QStringLiteral(" \n\t\n "));
    QVERIFY(!r.state.canSaveNoteDraft());
    r.state.saveNoteDraft();
    QVERIFY(r.state.isEditingNote());
    QCOMPARE(r.noteTexts(a.id).size(), 2);

    // A new note goes on top, trimmed.
    r.state.setNoteDraft(QStringLiteral("\n\nline one\nline two\n\n"));
    r.state.saveNoteDraft();
    QCOMPARE(r.noteTexts(a.id), (QStringList { "line one\nline two", "second", "first" }));
    QVERIFY(!r.state.isEditingNote());
    QCOMPARE(r.state.selectedNoteID(), std::optional<QString>(r.notes().tab(a.id)->notes.first().id));

    // An edit keeps the note's place.
    r.state.startEditNote(first);
    QCOMPARE(r.state.noteDraft(), QStringLiteral("first"));
    QCOMPARE(r.state.selectedNoteID(), std::optional<QString>(first.id));
    QTRY_VERIFY(r.state.noteEditorFocused());
    r.state.setNoteDraft(QStringLiteral("first, edited"));
    r.state.saveNoteDraft();
    QCOMPARE(r.noteTexts(a.id), (QStringList { "line one\nline two", "second", "first, edited" }));
    QCOMPARE(r.state.selectedNoteID(), std::optional<QString>(first.id));
    QVERIFY(!r.state.noteEditorFocused());
}

void TestClipboardLists::deletingNotes()
{
    ListsRig r;
    const ClipboardNoteTab a = r.notes().addTab(QStringLiteral("A"));
    const ClipboardNoteItem one = r.note(a.id, QStringLiteral("one"));
    const ClipboardNoteItem two = r.note(a.id, QStringLiteral("two"));
    r.state.selectTab(a.id);
    r.state.startEditNote(one);
    r.state.deleteNote(two);  // another note: the editor stays
    QVERIFY(r.state.isEditingNote());
    QCOMPARE(r.state.selectedNoteID(), std::optional<QString>(one.id));
    r.state.deleteNote(one);  // the edited one: it closes
    QVERIFY(!r.state.isEditingNote());
    QCOMPARE(r.state.selectedNoteID(), std::nullopt);
}

void TestClipboardLists::lostNoteDraftIsKept()
{
    ListsRig r;
    const ClipboardNoteTab a = r.notes().addTab(QStringLiteral("A"));
    const ClipboardNoteItem doomed = r.note(a.id, QStringLiteral("doomed"));
    r.note(a.id, QStringLiteral("other"));
    r.state.selectTab(a.id);
    r.state.startEditNote(doomed);
    r.state.setNoteDraft(QStringLiteral("my careful rewrite"));
    r.state.setSearchText(QStringLiteral("doomed"));
    r.state.armDeleteFound();
    r.state.deleteFiltered();
    QCOMPARE(r.noteTexts(a.id), QStringList { "other" });
    QVERIFY(r.state.isEditingNote());
    r.state.saveNoteDraft();
    QCOMPARE(r.noteTexts(a.id), (QStringList { "my careful rewrite", "other" }));
    QVERIFY(!r.state.isEditingNote());
    QCOMPARE(r.state.selectedNoteID(), std::optional<QString>(r.notes().tab(a.id)->notes.first().id));
}

void TestClipboardLists::sidePreviewRule_data()
{
    QTest::addColumn<int>("contentWidth");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("previewWidth");
    QTest::newRow("559") << 559 << false << 0;
    QTest::newRow("560") << 560 << true << 252;
    QTest::newRow("1000") << 1000 << true << 450;
}

void TestClipboardLists::sidePreviewRule()
{
    QFETCH(int, contentWidth);
    QFETCH(bool, shown);
    QFETCH(int, previewWidth);
    AppStateRig app;
    ClipboardPanelRig rig(app.clock, app.defaults);
    rig.history.record(QStringLiteral("first entry"));
    rig.history.record(QStringLiteral("second entry"));
    ClipboardPanelController& c = *rig.controller;
    c.show();
    ClipboardHistoryPanel& view = *c.view();
    view.state().selectItem(rig.history.items().last().id);
    // The content area is the window less its 16-pixel padding.
    c.panel()->resize(contentWidth + 2 * ClipboardHistoryPanel::padding, 600);
    QTRY_COMPARE(view.contentArea()->width(), contentWidth);
    QCOMPARE(view.showsSidePreview(), shown);
    QCOMPARE(view.historyPreview()->isVisible(), shown);
    QCOMPARE(view.historyList()->highlightedID(),
        shown ? std::optional<QString>(rig.history.items().last().id) : std::nullopt);
    QCOMPARE(view.state().selectedItemID(), std::optional<QString>(rig.history.items().last().id));
    if (shown) {
        QCOMPARE(view.historyPreview()->width(), previewWidth);
        QCOMPARE(view.historyPreview()->textView()->toPlainText(), QStringLiteral("first entry"));
    }
}

void TestClipboardLists::emptyTexts_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("en") << UiLanguage::en
                        << QStringList { "Clipboard history is empty.", "Nothing found.", "No notes yet.",
                               "Nothing found." };
    QTest::newRow("ru") << UiLanguage::ru
                        << QStringList { "История буфера пуста.", "Ничего не найдено.", "Заметок пока нет.",
                               "Ничего не найдено." };
}

void TestClipboardLists::emptyTexts()
{
    QFETCH(UiLanguage, language);
    QFETCH(QStringList, texts);
    AppStateRig app;
    app.setLanguage(language);
    ClipboardPanelRig rig(app.clock, app.defaults);
    ClipboardPanelController& c = *rig.controller;
    c.attach(*app.state);
    c.show();
    ClipboardHistoryPanel& view = *c.view();
    ClipboardPanelState& state = view.state();
    QStringList shown;
    shown << view.historyEmptyText()->text();
    rig.history.record(QStringLiteral("something"));
    state.setSearchText(QStringLiteral("zzz"));
    QVERIFY(view.historyList()->isHidden());
    shown << view.historyEmptyText()->text();
    const ClipboardNoteTab tab = rig.notes.addTab(QStringLiteral("T"));
    state.selectTab(tab.id);
    shown << view.notesEmptyText()->text();
    rig.notes.addNote(tab.id, QStringLiteral("a note"));
    shown << view.notesEmptyText()->text();
    QCOMPARE(shown, texts);
    state.clearSearch();
    QVERIFY(view.notesEmptyText()->isHidden());
    QVERIFY(!view.notesList()->isHidden());
}

void TestClipboardLists::rows_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QString>("historyCaption");
    QTest::addColumn<QString>("noteCaption");
    QTest::addColumn<QStringList>("noteTooltips");
    QTest::newRow("en") << UiLanguage::en << QStringLiteral("7 chars") << QStringLiteral("3 chars")
                        << QStringList { "Paste", "Copy", "Edit", "Delete" };
    QTest::newRow("ru") << UiLanguage::ru << QStringLiteral("7 симв.") << QStringLiteral("3 симв.")
                        << QStringList { "Вставить", "Скопировать", "Редактировать", "Удалить" };
}

void TestClipboardLists::rows()
{
    QFETCH(UiLanguage, language);
    QFETCH(QString, historyCaption);
    QFETCH(QString, noteCaption);
    QFETCH(QStringList, noteTooltips);
    // The history row shows the stored length, whatever the text; the note
    // row counts user-perceived characters of its text now.
    const ClipboardHistoryItem item { QStringLiteral("h"), QStringLiteral("ab"), QDateTime(), 7 };
    QCOMPARE(ClipboardHistoryRow::caption(item, language), historyCaption);
    const ClipboardNoteItem note { QStringLiteral("n"), QStringLiteral("👍🏽e\u0301x"), QDateTime(), QDateTime() };
    QCOMPARE(ClipboardNoteRow::caption(note, language), noteCaption);

    QStringList historySymbols, historyTips;
    for (const ClipboardRowButton& b : ClipboardHistoryRow::buttons(language)) {
        historySymbols << b.symbolName;
        historyTips << b.toolTip;
    }
    QCOMPARE(historySymbols, (QStringList { "arrow.turn.down.left", "trash" }));
    QCOMPARE(historyTips, (QStringList { QString(), QString() }));
    QStringList noteSymbols, noteTips;
    for (const ClipboardRowButton& b : ClipboardNoteRow::buttons(language)) {
        noteSymbols << b.symbolName;
        noteTips << b.toolTip;
    }
    QCOMPARE(noteSymbols, (QStringList { "arrow.turn.down.left", "doc.on.doc", "pencil", "trash" }));
    QCOMPARE(noteTips, noteTooltips);
    QVERIFY(ClipboardNoteRow::buttons(language).last().destructive);
}

void TestClipboardLists::cards_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QStringList>("note");
    QTest::newRow("en") << UiLanguage::en
                        << QStringList { "Preview", "Select a clipboard item.", "Paste", "To note", "Delete", "0 chars" }
                        << QStringList { "Note", "Select a note.", "Paste", "Copy", "Edit", "0 chars" };
    QTest::newRow("ru") << UiLanguage::ru
                        << QStringList { "Просмотр", "Выберите элемент буфера.", "Вставить", "В заметку", "Удалить",
                               "0 симв." }
                        << QStringList { "Заметка", "Выберите заметку.", "Вставить", "Скопировать", "Править",
                               "0 симв." };
}

void TestClipboardLists::cards()
{
    QFETCH(UiLanguage, language);
    QFETCH(QStringList, history);
    QFETCH(QStringList, note);

    // Absent: placeholder, no count, every button off.
    ClipboardSidePreview card;
    card.setItem(std::nullopt, language);
    QStringList shown { card.heading()->text(), card.textView()->toPlainText() };
    for (QPushButton* b : card.buttons()) {
        shown << b->text();
        QVERIFY(!b->isEnabled());
    }
    QVERIFY(card.count()->isHidden());
    QVERIFY(card.isEmptyCard());
    // Present with an empty text: not empty.
    card.setItem(ClipboardHistoryItem { QStringLiteral("id"), QString(), QDateTime(), 0 }, language);
    shown << card.count()->text();
    QCOMPARE(shown, history);
    QVERIFY(!card.isEmptyCard());
    QVERIFY(!card.count()->isHidden());
    QCOMPARE(card.textView()->toPlainText(), QString());
    for (QPushButton* b : card.buttons())
        QVERIFY(b->isEnabled());

    ClipboardNoteSidePreview noteCard;
    noteCard.setNote(std::nullopt, language);
    QStringList noteShown { noteCard.heading()->text(), noteCard.textView()->toPlainText() };
    for (QPushButton* b : noteCard.buttons().mid(0, 3))
        noteShown << b->text();
    for (QPushButton* b : noteCard.buttons())
        QVERIFY(!b->isEnabled());
    QVERIFY(noteCard.buttons().last()->text().isEmpty());
    noteCard.setNote(ClipboardNoteItem { QStringLiteral("n"), QString(), QDateTime(), QDateTime() }, language);
    noteShown << noteCard.count()->text();
    QCOMPARE(noteShown, note);
    // A note's count follows its text as it is now.
    noteCard.setNote(ClipboardNoteItem { QStringLiteral("n"), QStringLiteral("🇩🇪ab"), QDateTime(), QDateTime() }, language);
    QVERIFY(noteCard.count()->text().startsWith(QStringLiteral("3 ")));
    // A history card shows the stored length.
    card.setItem(ClipboardHistoryItem { QStringLiteral("id"), QStringLiteral("abc"), QDateTime(), 7 }, language);
    QVERIFY(card.count()->text().startsWith(QStringLiteral("7 ")));
}

void TestClipboardLists::noteCopyStaysOutOfTheHistory()
{
    AppStateRig app;
    ClipboardPanelRig rig(app.clock, app.defaults);
    rig.history.start();
    app.clock.advance(1s);
    rig.controller->show();
    rig.controller->copyNote(QStringLiteral("note text"));
    QCOMPARE(rig.pasteboard.string(), std::optional<QString>(QStringLiteral("note text")));
    QVERIFY(rig.controller->isPanelVisible());
    app.clock.advance(3s);
    QVERIFY(rig.history.items().isEmpty());
}

void TestClipboardLists::controlsOfTheHistoryTab()
{
    AppStateRig app;
    ClipboardPanelRig rig(app.clock, app.defaults);
    rig.controller->show();
    ClipboardHistoryPanel& view = *rig.controller->view();
    // On the history only the add-note button; the tab controls never show.
    QVERIFY(view.renameButton()->isHidden());
    QVERIFY(view.deleteTabButton()->isHidden());
    QVERIFY(view.tabNameField()->isVisibleTo(&view) == false);
    QVERIFY(!view.addNoteButton()->isHidden());
    QCOMPARE(view.tabButtons().size(), 1);
    QVERIFY(view.tabButtons().first()->isSelected());

    // The add-tab button opens the new tab's name field with the keyboard.
    view.addTabButton()->click();
    QCOMPARE(view.tabButtons().size(), 2);
    QVERIFY(view.tabButtons().last()->isSelected());
    QVERIFY(view.tabNameField()->isVisibleTo(&view));
    QCOMPARE(view.tabNameField()->text(), QStringLiteral("Notes"));
    QTRY_VERIFY(view.state().tabNameFocused());
    view.tabNameField()->selectAll();
    QTest::keyClicks(view.tabNameField(), QStringLiteral("Work"));
    QTest::keyClick(view.tabNameField(), Qt::Key_Return);
    QCOMPARE(rig.notes.tabs().first().title, QStringLiteral("Work"));
    QCOMPARE(view.tabTitle()->text(), QStringLiteral("Work"));
    QVERIFY(!view.deleteTabButton()->isHidden());

    // The editor: its texts, and Save off while the draft is blank.
    view.addNoteButton()->click();
    QVERIFY(!view.editorCard()->isHidden());
    QCOMPARE(view.editorHeading()->text(), QStringLiteral("New note"));
    QCOMPARE(view.cancelNoteButton()->text(), QStringLiteral("Cancel"));
    QCOMPARE(view.saveNoteButton()->text(), QStringLiteral("Save"));
    QVERIFY(!view.saveNoteButton()->isEnabled());
    view.noteEditor()->setPlainText(QStringLiteral("line one\nline two"));
    QVERIFY(view.saveNoteButton()->isEnabled());
    view.saveNoteButton()->click();
    QCOMPARE(rig.notes.tabs().first().notes.first().text, QStringLiteral("line one\nline two"));
    QVERIFY(view.editorCard()->isHidden());
}

// A list lays out its rows in view and keeps those layouts; once an entry has
// left the list, nothing of the list holds its text any more: the history
// drops an entry for every new copy, all day long.
void TestClipboardLists::entriesThatLeftTheListAreLetGo()
{
    ClipboardEntryList list(ClipboardEntryList::Kind::history);
    list.resize(400, 600);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QString dropped = QStringLiteral("a copy of a large text ").repeated(4000);
    const QString kept = QStringLiteral("a short copy");
    list.setEntries({ { QStringLiteral("1"), dropped, dropped.size() }, { QStringLiteral("2"), kept, kept.size() } });
    QVERIFY(list.rowRect(0).isValid());
    QVERIFY(!dropped.isDetached());

    list.setEntries(
        { { QStringLiteral("3"), QStringLiteral("a new copy"), 10 }, { QStringLiteral("2"), kept, kept.size() } });
    QVERIFY(dropped.isDetached());
    QCOMPARE(list.entries().size(), 2);
    QCOMPARE(list.rowRect(1).height(), list.rowRect(0).height());
}

QTEST_MAIN(TestClipboardLists)
#include "test_clipboard_lists.moc"
