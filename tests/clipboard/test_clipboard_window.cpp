// The clipboard window over fakes: its controller (placement, showing and
// hiding, the paste target, the paste back with its status, the saved size)
// and its state (search, "delete all found", the selection repairs, the text
// size), with the real history and notes store. The texts of the header and
// the search field are read from the drawn view in both languages.

#include "app/AppStateRig.h"
#include "clipboard/ClipboardHistoryPanel.h"
#include "clipboard/ClipboardPanelRig.h"
#include "clipboard/ClipboardPanelState.h"
#include "ui/NativeMaterials.h"
#include "ui/FloatingPanel.h"
#include "ui/FloatingPanelDismissMonitor.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(mendo::UiLanguage)

namespace {

ClipboardHistoryItem entry(const QString& id, const QString& text)
{
    return { id, text, QDateTime::fromSecsSinceEpoch(1'700'000'000), text.size() };
}

// A window over fakes whose history holds `texts` with ids "h0", "h1", ...
struct WindowRig {
    AppStateRig app;
    std::unique_ptr<ClipboardPanelRig> rig;

    explicit WindowRig(const QStringList& texts = {}, const std::function<void(MemoryUserDefaults&)>& stage = {})
    {
        QList<ClipboardHistoryItem> items;
        for (int i = 0; i < texts.size(); ++i)
            items << entry(QStringLiteral("h%1").arg(i), texts[i]);
        app.defaults.set(ClipboardHistoryService::storageKey, ClipboardHistoryService::encode(items));
        if (stage)
            stage(app.defaults);
        rig = std::make_unique<ClipboardPanelRig>(app.clock, app.defaults);
    }

    ClipboardPanelController& controller() { return *rig->controller; }
    ClipboardHistoryService& history() { return rig->history; }
    ClipboardNotesService& notes() { return rig->notes; }
    std::unique_ptr<ClipboardPanelState> makeState()
    {
        return std::make_unique<ClipboardPanelState>(rig->history, rig->notes, app.defaults);
    }

    QStringList ids(const QList<ClipboardHistoryItem>& items) const
    {
        QStringList out;
        for (const ClipboardHistoryItem& item : items)
            out << item.id;
        return out;
    }
    static QStringList texts(const QList<ClipboardNoteItem>& notes)
    {
        QStringList out;
        for (const ClipboardNoteItem& note : notes)
            out << note.text;
        return out;
    }
};

}  // namespace

class TestClipboardWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savedSize_data();
    void savedSize();
    void resizeIsStoredUncapped();
    void fontSizeRead_data();
    void fontSizeRead();
    void fontSizeSteps();
    void placement_data();
    void placement();
    void showToggleAndClose();
    void pasteTarget();
    void pasteBack_data();
    void pasteBack();
    void search_data();
    void search();
    void notesOfTheShownTabOnly();
    void deleteFoundStates();
    void deleteFoundHistory();
    void deleteFoundNotes();
    void repairsOnAppearance();
    void repairsOnHistoryChange();
    void repairsOnTabsChange();
    void texts_data();
    void texts();
    void headerControls();
    void symbolButtonsAreNamedForAssistiveTools();
};

void TestClipboardWindow::savedSize_data()
{
    QTest::addColumn<QVariant>("width");
    QTest::addColumn<QVariant>("height");
    QTest::addColumn<QSize>("opened");
    QTest::newRow("none") << QVariant() << QVariant() << QSize(380, 520);
    QTest::newRow("500x600") << QVariant(500.0) << QVariant(600.0) << QSize(500, 600);
    QTest::newRow("capped") << QVariant(1000.0) << QVariant(1200.0) << QSize(760, 860);
    QTest::newRow("width below minimum") << QVariant(339.0) << QVariant(900.0) << QSize(380, 520);
    QTest::newRow("height missing") << QVariant(500.0) << QVariant() << QSize(380, 520);
    QTest::newRow("not numbers") << QVariant(QStringLiteral("wide")) << QVariant(600.0) << QSize(380, 520);
}

void TestClipboardWindow::savedSize()
{
    QFETCH(QVariant, width);
    QFETCH(QVariant, height);
    QFETCH(QSize, opened);
    WindowRig w({}, [&](MemoryUserDefaults& defaults) {
        if (width.isValid())
            defaults.set(QStringLiteral("mendo.clipboardPanel.width"), width);
        if (height.isValid())
            defaults.set(QStringLiteral("mendo.clipboardPanel.height"), height);
    });
    w.controller().show();
    QCOMPARE(w.controller().panel()->size(), opened);
    QCOMPARE(w.controller().panel()->minimumSize(), QSize(340, 380));
}

void TestClipboardWindow::resizeIsStoredUncapped()
{
    WindowRig w;
    w.controller().show();
    const int writes = w.app.defaults.writes;
    w.controller().panel()->resize(1000, 900);
    QCOMPARE(w.app.defaults.number(QStringLiteral("mendo.clipboardPanel.width")), 1000.0);
    QCOMPARE(w.app.defaults.number(QStringLiteral("mendo.clipboardPanel.height")), 900.0);
    QCOMPARE(w.app.defaults.writes, writes + 2);

    // The next process opens it capped.
    WindowRig next({}, [&](MemoryUserDefaults& defaults) { defaults.values = w.app.defaults.values; });
    next.controller().show();
    QCOMPARE(next.controller().panel()->size(), QSize(760, 860));
}

void TestClipboardWindow::fontSizeRead_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<double>("size");
    QTest::newRow("missing") << QVariant() << 13.0;
    QTest::newRow("11.5") << QVariant(11.5) << 13.0;
    QTest::newRow("29") << QVariant(29.0) << 13.0;
    QTest::newRow("not a number") << QVariant(QStringLiteral("big")) << 13.0;
    QTest::newRow("12") << QVariant(12.0) << 12.0;
    QTest::newRow("20.5") << QVariant(20.5) << 20.5;
    QTest::newRow("28") << QVariant(28.0) << 28.0;
}

void TestClipboardWindow::fontSizeRead()
{
    QFETCH(QVariant, stored);
    QFETCH(double, size);
    WindowRig w({}, [&](MemoryUserDefaults& defaults) {
        if (stored.isValid())
            defaults.set(ClipboardPanelState::fontSizeKey, stored);
    });
    const int writes = w.app.defaults.writes;
    const auto owned = w.makeState();
    ClipboardPanelState& state = *owned;
    QCOMPARE(state.contentFontSize(), size);
    QCOMPARE(w.app.defaults.writes, writes);
}

void TestClipboardWindow::fontSizeSteps()
{
    WindowRig w({}, [](MemoryUserDefaults& d) { d.set(ClipboardPanelState::fontSizeKey, 13.5); });
    w.controller().show();
    ClipboardHistoryPanel& view = *w.controller().view();
    ClipboardPanelState& state = view.state();

    // The buttons step by one and keep the fraction.
    view.increaseButton()->click();
    QCOMPARE(state.contentFontSize(), 14.5);
    QCOMPARE(w.app.defaults.number(ClipboardPanelState::fontSizeKey), 14.5);

    // At the bounds the buttons are off and a step writes nothing.
    const struct {
        double wanted;
        double shown;
        bool decrease;
        bool increase;
    } steps[] = { { 40, 28, true, false }, { 29, 28, true, false }, { 5, 12, false, true }, { 11, 12, false, true } };
    for (const auto& step : steps) {
        const int writes = w.app.defaults.writes;
        const double before = state.contentFontSize();
        state.setContentFontSize(step.wanted);
        QCOMPARE(state.contentFontSize(), step.shown);
        QCOMPARE(w.app.defaults.writes, writes + (before == step.shown ? 0 : 1));
        QCOMPARE(view.decreaseButton()->isEnabled(), step.decrease);
        QCOMPARE(view.increaseButton()->isEnabled(), step.increase);
    }
    // The sample follows the size up to 20.
    state.setContentFontSize(24);
    QTRY_COMPARE(view.fontSample()->font().pixelSize(), 20);
}

void TestClipboardWindow::placement_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QPoint>("topLeft");
    // One 1440x900 monitor with a 25-pixel dock along its top, and a second
    // 1920x1080 one to its right; the window is 380x520.
    QTest::newRow("middle") << QPoint(100, 100) << QPoint(114, 82);
    QTest::newRow("right edge") << QPoint(1430, 100) << QPoint(1440 - 380 - 16, 82);
    QTest::newRow("bottom edge") << QPoint(100, 890) << QPoint(114, 900 - 520 - 16);
    QTest::newRow("top edge, under the dock") << QPoint(100, 30) << QPoint(114, 25 + 16);
    QTest::newRow("second monitor") << QPoint(2000, 500) << QPoint(2014, 482);
    QTest::newRow("second monitor, its right edge") << QPoint(3350, 500) << QPoint(1440 + 1920 - 380 - 16, 482);
}

void TestClipboardWindow::placement()
{
    QFETCH(QPoint, pointer);
    QFETCH(QPoint, topLeft);
    WindowRig w;
    w.rig->desktop.screens << MonitorFrame { QRect(1440, 0, 1920, 1080), QRect(1440, 0, 1920, 1080), false };
    w.rig->desktop.pointer = pointer;
    w.controller().show();
    QCOMPARE(w.controller().panel()->pos(), topLeft);
}

void TestClipboardWindow::showToggleAndClose()
{
    WindowRig w;
    ClipboardPanelController& c = w.controller();
    w.rig->desktop.pointer = QPoint(100, 100);
    c.show();
    FloatingPanel* panel = c.panel();
    QVERIFY(c.isPanelVisible());
    QCOMPARE(panel->focus(), FloatingPanel::Focus::onClick);
    QVERIFY(c.dismissMonitor()->isInstalled());
    QCOMPARE(w.rig->globalInput.installed(), 1);

    // Shown again while visible: it stays where it is.
    w.rig->desktop.pointer = QPoint(500, 300);
    c.show();
    QCOMPARE(panel->pos(), QPoint(114, 82));
    QCOMPARE(w.rig->globalInput.installed(), 1);

    // Toggled away, then back at the pointer.
    c.toggle();
    QVERIFY(!c.isPanelVisible());
    QVERIFY(!c.dismissMonitor()->isInstalled());
    QCOMPARE(panel->pos(), QPoint(114, 82));
    c.toggle();
    QVERIFY(c.isPanelVisible());
    QCOMPARE(panel->pos(), QPoint(514, 282));

    // A close request hides it; the same window returns with its state.
    c.view()->state().setSearchText(QStringLiteral("kept"));
    QVERIFY(!panel->close());
    QVERIFY(!c.isPanelVisible());
    QVERIFY(!c.dismissMonitor()->isInstalled());
    c.show();
    QCOMPARE(c.panel(), panel);
    QCOMPARE(c.view()->searchField()->text(), QStringLiteral("kept"));

    // Escape reaches the dismiss monitor.
    c.dismissMonitor()->handleLocalEvent({ LocalInputEvent::Type::keyDown, Qt::Key_Escape, nullptr });
    QTRY_VERIFY(!c.isPanelVisible());
}

void TestClipboardWindow::pasteTarget()
{
    WindowRig w;
    ClipboardPanelController& c = w.controller();
    c.show();
    QCOMPARE(c.pasteTargetBundleIdentifier(), std::optional<QString>(QStringLiteral("org.example.Editor")));

    // Opened again while MendoAI is in front: the earlier target stays.
    c.hide();
    w.rig->workspace.bringToFront(ClipboardPanelRig::self);
    c.show();
    QCOMPARE(c.pasteTargetBundleIdentifier(), std::optional<QString>(QStringLiteral("org.example.Editor")));

    // Another application in front becomes the target.
    c.hide();
    w.rig->workspace.bringToFront(ClipboardPanelRig::other);
    c.show();
    QCOMPARE(c.pasteTargetBundleIdentifier(), std::optional<QString>(QStringLiteral("org.example.Other")));
}

void TestClipboardWindow::pasteBack_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("status");
    QTest::newRow("en") << UiLanguage::en << QStringLiteral("hello") << QStringLiteral("done Pasted");
    QTest::newRow("ru") << UiLanguage::ru << QStringLiteral("привет") << QStringLiteral("done Вставлено");
    QTest::newRow("empty") << UiLanguage::en << QString() << QStringLiteral("failed Nothing to paste.");
}

void TestClipboardWindow::pasteBack()
{
    QFETCH(UiLanguage, language);
    QFETCH(QString, text);
    QFETCH(QString, status);
    WindowRig w({ QStringLiteral("older copy") });
    ClipboardPanelController& c = w.controller();
    w.app.setLanguage(language);
    c.attach(*w.app.state);
    c.show();
    w.rig->workspace.bringToFront(ClipboardPanelRig::self);  // the user clicked into the window
    const QList<ClipboardHistoryItem> before = w.history().items();

    c.pasteFromHistory(text);
    QVERIFY(!c.isPanelVisible());
    QVERIFY(!c.dismissMonitor()->isInstalled());
    w.app.clock.advance(119ms);
    QVERIFY(w.rig->keyboard.posted.isEmpty());
    QVERIFY(w.rig->workspace.activations.isEmpty());
    w.app.clock.advance(10s);
    QCOMPARE(w.app.statuses.value(0).section(QLatin1Char(' '), 1), status);
    if (!text.isEmpty()) {
        QCOMPARE(w.rig->workspace.activations.value(0).bundleIdentifier, QStringLiteral("org.example.Editor"));
        QCOMPARE(w.rig->keyboard.posted, QList<EditShortcut> { EditShortcut::Paste });
    }
    // The pasted text is not recorded, even after the next polls.
    w.history().start();
    w.app.clock.advance(3s);
    QCOMPARE(w.history().items(), before);
}

void TestClipboardWindow::search_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("found");
    const QStringList words { QStringLiteral("Hello World"), QStringLiteral("say hello"), QStringLiteral("other") };
    QTest::newRow("empty query: all") << words << QString() << QStringList { "h0", "h1", "h2" };
    QTest::newRow("trimmed") << words << QStringLiteral(" \n hello \t") << QStringList { "h0", "h1" };
    QTest::newRow("case") << words << QStringLiteral("HELLO") << QStringList { "h0", "h1" };
    QTest::newRow("inner spaces as typed") << words << QStringLiteral("hello  world") << QStringList {};
    QTest::newRow("inner space") << words << QStringLiteral("o w") << QStringList { "h0" };
    QTest::newRow("Cyrillic") << QStringList { QStringLiteral("Привет, Мир"), QStringLiteral("пока") }
                              << QStringLiteral("мир") << QStringList { "h0" };
    QTest::newRow("Cyrillic upper query") << QStringList { QStringLiteral("ёлка"), QStringLiteral("ель") }
                                          << QStringLiteral("ЁЛ") << QStringList { "h0" };
    QTest::newRow("composed finds decomposed")
        << QStringList { QStringLiteral("cafe\u0301 noir"), QStringLiteral("cafe") } << QStringLiteral("caf\u00e9")
        << QStringList { "h0" };
    QTest::newRow("decomposed finds composed")
        << QStringList { QStringLiteral("caf\u00e9 noir"), QStringLiteral("cafe") } << QStringLiteral("CAFE\u0301")
        << QStringList { "h0" };
    QTest::newRow("é is not e") << QStringList { QStringLiteral("cafe") } << QStringLiteral("café") << QStringList {};
    QTest::newRow("e is not é") << QStringList { QStringLiteral("café") } << QStringLiteral("cafe") << QStringList {};
}

void TestClipboardWindow::search()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, query);
    QFETCH(QStringList, found);
    WindowRig w(entries);
    const auto owned = w.makeState();
    ClipboardPanelState& state = *owned;
    state.setSearchText(query);
    QCOMPARE(w.ids(state.filteredHistoryItems()), found);
    QCOMPARE(state.foundCount(), found.size());
    // Searching again after an entry changed text uses the new text.
    if (!found.isEmpty()) {
        w.history().clear();
        QCOMPARE(state.filteredHistoryItems().size(), 0);
    }
}

void TestClipboardWindow::notesOfTheShownTabOnly()
{
    WindowRig w({ QStringLiteral("apple pie") });
    const ClipboardNoteTab first = w.notes().addTab(QStringLiteral("First"));
    const ClipboardNoteTab second = w.notes().addTab(QStringLiteral("Second"));
    w.notes().addNote(first.id, QStringLiteral("apple one"));
    w.notes().addNote(first.id, QStringLiteral("pear"));
    w.notes().addNote(second.id, QStringLiteral("apple two"));
    const auto owned = w.makeState();
    ClipboardPanelState& state = *owned;
    state.setSearchText(QStringLiteral("APPLE"));
    QVERIFY(state.filteredNotes().isEmpty());  // the history is shown
    QCOMPARE(state.foundCount(), 1);
    state.selectTab(first.id);
    QCOMPARE(WindowRig::texts(state.filteredNotes()), QStringList { QStringLiteral("apple one") });
    // The search stays across tabs.
    state.selectTab(second.id);
    QCOMPARE(state.searchText(), QStringLiteral("APPLE"));
    QCOMPARE(WindowRig::texts(state.filteredNotes()), QStringList { QStringLiteral("apple two") });
    state.selectTab(QStringLiteral("no such tab"));
    QVERIFY(state.filteredNotes().isEmpty());
    QCOMPARE(state.foundCount(), 0);
}

void TestClipboardWindow::deleteFoundStates()
{
    WindowRig w({ QStringLiteral("alpha"), QStringLiteral("beta") });
    const ClipboardNoteTab tab = w.notes().addTab(QStringLiteral("Notes"));
    w.notes().addNote(tab.id, QStringLiteral("alpha note"));
    const auto owned = w.makeState();
    ClipboardPanelState& state = *owned;

    const struct {
        const char* name;
        std::function<void(ClipboardPanelState&)> disarm;
    } disarms[] = {
        { "typing", [](ClipboardPanelState& s) { s.setSearchText(s.searchText() + QLatin1Char('x')); } },
        { "clearing", [](ClipboardPanelState& s) { s.clearSearch(); } },
        { "a tab chosen", [&](ClipboardPanelState& s) { s.selectTab(tab.id); } },
        { "back to the history", [](ClipboardPanelState& s) { s.selectTab(ClipboardPanelState::historyTabID); } },
    };
    for (const auto& disarm : disarms) {
        state.selectTab(ClipboardPanelState::historyTabID);
        if (QLatin1String(disarm.name) == QLatin1String("back to the history"))
            state.selectTab(tab.id);
        state.setSearchText(QStringLiteral("alpha"));
        state.armDeleteFound();
        QVERIFY2(state.confirmDeleteFound(), disarm.name);
        disarm.disarm(state);
        QVERIFY2(!state.confirmDeleteFound(), disarm.name);
    }
    QCOMPARE(w.history().items().size(), 2);

    // The tab shown vanishes while armed.
    state.selectTab(tab.id);
    state.setSearchText(QStringLiteral("alpha"));
    state.armDeleteFound();
    w.notes().deleteTab(tab.id);
    QCOMPARE(state.selectedTabID(), ClipboardPanelState::historyTabID);
    QVERIFY(!state.confirmDeleteFound());
}

void TestClipboardWindow::deleteFoundHistory()
{
    WindowRig w({ QStringLiteral("keep one"), QStringLiteral("drop a"), QStringLiteral("keep two"),
        QStringLiteral("DROP b"), QStringLiteral("drop c") });
    const auto owned = w.makeState();
    ClipboardPanelState& state = *owned;
    state.appear();
    state.selectItem(QStringLiteral("h1"));
    state.setSearchText(QStringLiteral("drop"));
    QCOMPARE(state.foundCount(), 3);
    const int writes = w.app.defaults.writes;
    state.armDeleteFound();
    state.deleteFiltered();
    QCOMPARE(w.ids(w.history().items()), (QStringList { "h0", "h2" }));
    QCOMPARE(w.app.defaults.writes, writes + 1);  // one save
    QCOMPARE(state.searchText(), QString());
    QVERIFY(!state.confirmDeleteFound());
    QCOMPARE(state.selectedItemID(), std::optional<QString>(QStringLiteral("h0")));

    // A blank query counts the whole list, as found, and deletes it.
    state.setSearchText(QStringLiteral("   "));
    QCOMPARE(state.foundCount(), 2);
    state.armDeleteFound();
    state.deleteFiltered();
    QVERIFY(w.history().items().isEmpty());
    QCOMPARE(state.selectedItemID(), std::nullopt);
}

void TestClipboardWindow::deleteFoundNotes()
{
    WindowRig w;
    const ClipboardNoteTab tab = w.notes().addTab(QStringLiteral("Notes"));
    const ClipboardNoteItem kept = *w.notes().addNote(tab.id, QStringLiteral("keep"));
    w.notes().addNote(tab.id, QStringLiteral("gone 1"));
    w.notes().addNote(tab.id, QStringLiteral("gone 2"));
    const auto owned = w.makeState();
    ClipboardPanelState& state = *owned;
    state.selectTab(tab.id);
    state.selectNote(kept.id);
    QSignalSpy saves(&w.notes(), &ClipboardNotesService::tabsChanged);
    state.setSearchText(QStringLiteral("gone"));
    state.armDeleteFound();
    state.deleteFiltered();
    QCOMPARE(saves.size(), 1);
    QCOMPARE(WindowRig::texts(w.notes().tab(tab.id)->notes), QStringList { QStringLiteral("keep") });
    QCOMPARE(state.selectedTabID(), tab.id);
    QCOMPARE(state.selectedNoteID(), std::optional<QString>(kept.id));
    QCOMPARE(state.searchText(), QString());

    // The selected note among the found: the first remaining one is selected.
    state.setSearchText(QStringLiteral("keep"));
    state.deleteFiltered();
    QVERIFY(w.notes().tab(tab.id)->notes.isEmpty());
    QCOMPARE(state.selectedNoteID(), std::nullopt);
}

void TestClipboardWindow::repairsOnAppearance()
{
    WindowRig w({ QStringLiteral("first"), QStringLiteral("second") });
    const auto owned = w.makeState();
    ClipboardPanelState& state = *owned;
    QCOMPARE(state.selectedItemID(), std::nullopt);
    QCOMPARE(state.selectedItem()->id, QStringLiteral("h0"));  // the first entry stands in
    state.appear();
    QCOMPARE(state.selectedItemID(), std::optional<QString>(QStringLiteral("h0")));

    // A stale choice is left for selectedItem to fall back from.
    state.selectItem(QStringLiteral("gone"));
    state.appear();
    QCOMPARE(state.selectedItemID(), std::optional<QString>(QStringLiteral("gone")));
    QCOMPARE(state.selectedItem()->id, QStringLiteral("h0"));

    // A vanished tab gives way to the first tab, else to the history.
    const ClipboardNoteTab tab = w.notes().addTab(QStringLiteral("Notes"));
    state.selectTab(QStringLiteral("vanished"));
    state.appear();
    QCOMPARE(state.selectedTabID(), tab.id);
    w.notes().deleteTab(tab.id);
    state.selectTab(QStringLiteral("vanished"));
    state.appear();
    QCOMPARE(state.selectedTabID(), ClipboardPanelState::historyTabID);

    // An empty history leaves no selection.
    WindowRig empty;
    const auto ownedNone = empty.makeState();
    ClipboardPanelState& none = *ownedNone;
    none.appear();
    QCOMPARE(none.selectedItemID(), std::nullopt);
    QCOMPARE(none.selectedItem(), std::nullopt);
}

void TestClipboardWindow::repairsOnHistoryChange()
{
    WindowRig w({ QStringLiteral("first"), QStringLiteral("second") });
    const auto owned = w.makeState();
    ClipboardPanelState& state = *owned;
    state.appear();
    state.selectItem(QStringLiteral("h1"));
    w.history().remove(QStringLiteral("h0"));
    QCOMPARE(state.selectedItemID(), std::optional<QString>(QStringLiteral("h1")));  // still listed
    w.history().remove(QStringLiteral("h1"));
    QCOMPARE(state.selectedItemID(), std::nullopt);  // empty
    w.history().record(QStringLiteral("newest"));
    QCOMPARE(state.selectedItemID(), std::optional<QString>(w.history().items().first().id));
    w.history().record(QStringLiteral("even newer"));
    QCOMPARE(state.selectedItem()->text, QStringLiteral("newest"));
}

void TestClipboardWindow::repairsOnTabsChange()
{
    WindowRig w;
    ClipboardNotesService& notes = w.notes();
    const ClipboardNoteTab a = notes.addTab(QStringLiteral("A"));
    const ClipboardNoteTab b = notes.addTab(QStringLiteral("B"));
    const ClipboardNoteItem a1 = *notes.addNote(a.id, QStringLiteral("a1"));
    const ClipboardNoteItem b1 = *notes.addNote(b.id, QStringLiteral("b1"));
    const ClipboardNoteItem b2 = *notes.addNote(b.id, QStringLiteral("b2"));
    const auto owned = w.makeState();
    ClipboardPanelState& state = *owned;

    // With the history shown, tab changes leave the tab and note alone.
    state.selectNote(QStringLiteral("whatever"));
    notes.addNote(a.id, QStringLiteral("a2"));
    QCOMPARE(state.selectedTabID(), ClipboardPanelState::historyTabID);
    QCOMPARE(state.selectedNoteID(), std::optional<QString>(QStringLiteral("whatever")));

    // The selected note still listed: nothing changes; removed: the first.
    state.selectTab(b.id);
    state.selectNote(b1.id);
    notes.renameTab(b.id, QStringLiteral("B2"));
    QCOMPARE(state.selectedNoteID(), std::optional<QString>(b1.id));
    notes.deleteNote(b.id, b1.id);
    QCOMPARE(state.selectedNoteID(), std::optional<QString>(b2.id));
    notes.deleteNote(b.id, b2.id);
    QCOMPARE(state.selectedNoteID(), std::nullopt);

    // The shown tab vanishes: the first tab, with its first note.
    notes.deleteTab(b.id);
    QCOMPARE(state.selectedTabID(), a.id);
    QCOMPARE(state.selectedNoteID(), std::optional<QString>(notes.tab(a.id)->notes.first().id));
    Q_UNUSED(a1);
    notes.deleteTab(a.id);
    QCOMPARE(state.selectedTabID(), ClipboardPanelState::historyTabID);
    QCOMPARE(state.selectedNoteID(), std::nullopt);
}

void TestClipboardWindow::texts_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("en") << UiLanguage::en
                        << QStringList { "Clipboard", "Clear clipboard history", "Text size", "Decrease text",
                               "Increase text", "Search", "Delete all found", "Delete 3",
                               "Tap again to delete all found", "Clear search" };
    QTest::newRow("ru") << UiLanguage::ru
                        << QStringList { "Буфер", "Очистить историю буфера", "Размер текста", "Уменьшить текст",
                               "Увеличить текст", "Поиск", "Удалить всё найденное", "Удалить 3",
                               "Нажми ещё раз — удалить всё найденное", "Очистить поиск" };
}

void TestClipboardWindow::texts()
{
    QFETCH(UiLanguage, language);
    QFETCH(QStringList, expected);
    WindowRig w({ QStringLiteral("one a"), QStringLiteral("two a"), QStringLiteral("three a") });
    w.app.setLanguage(language);
    w.controller().attach(*w.app.state);
    w.controller().show();
    ClipboardHistoryPanel& view = *w.controller().view();
    view.state().setSearchText(QStringLiteral("a"));
    const QString trashTooltip = view.deleteFoundButton()->toolTip();
    view.deleteFoundButton()->click();
    const QStringList shown { view.title()->text(), view.clearHistoryButton()->toolTip(),
        view.fontControls()->toolTip(), view.decreaseButton()->toolTip(), view.increaseButton()->toolTip(),
        view.searchField()->placeholderText(), trashTooltip, view.deleteFoundButton()->text(),
        view.deleteFoundButton()->toolTip(), view.clearSearchButton()->toolTip() };
    QCOMPARE(shown, expected);
    QCOMPARE(view.decreaseButton()->text(), QStringLiteral("\u2212"));
    QCOMPARE(view.fontSample()->text(), QStringLiteral("T"));
    QCOMPARE(view.increaseButton()->text(), QStringLiteral("+"));
    QCOMPARE(w.controller().panel()->windowTitle(), expected.first());
}

void TestClipboardWindow::headerControls()
{
    WindowRig w({ QStringLiteral("one") });
    w.controller().show();
    ClipboardHistoryPanel& view = *w.controller().view();
    QCOMPARE(view.dragHandle()->height(), 28);

    // Clear history: red while there is history, then grey and off.
    QVERIFY(view.clearHistoryButton()->isEnabled());
    QCOMPARE(view.clearHistoryButton()->color(), ClipboardHistoryPanel::destructiveColor());
    view.clearHistoryButton()->click();
    QVERIFY(w.history().items().isEmpty());
    QVERIFY(!view.clearHistoryButton()->isEnabled());
    QCOMPARE(view.clearHistoryButton()->color(), view.secondaryColor());

    // Absent on a notes tab.
    const ClipboardNoteTab tab = w.notes().addTab(QStringLiteral("Notes"));
    view.state().selectTab(tab.id);
    QVERIFY(view.clearHistoryButton()->isHidden());

    // The search's trailing controls: only with search text, the trash only
    // with something found; typing in the field reaches the state.
    QVERIFY(view.clearSearchButton()->isHidden());
    QTest::keyClicks(view.searchField(), QStringLiteral(" "));
    QCOMPARE(view.state().searchText(), QStringLiteral(" "));
    QVERIFY(!view.clearSearchButton()->isHidden());
    QVERIFY(view.deleteFoundButton()->isHidden());  // the tab holds no notes
    view.clearSearchButton()->click();
    QCOMPARE(view.searchField()->text(), QString());
}

// Buttons that show a symbol only are named by their tooltips, in the
// interface language; a button with a text keeps it as its name.
void TestClipboardWindow::symbolButtonsAreNamedForAssistiveTools()
{
    WindowRig w({ QStringLiteral("one a"), QStringLiteral("two a") });
    w.controller().attach(*w.app.state);
    w.controller().show();
    ClipboardHistoryPanel& view = *w.controller().view();
    const auto name = [](QWidget* widget) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        return face ? face->text(QAccessible::Name) : QString();
    };
    view.state().setSearchText(QStringLiteral("a"));
    QCOMPARE(name(view.clearHistoryButton()), QStringLiteral("Clear clipboard history"));
    QCOMPARE(name(view.clearSearchButton()), QStringLiteral("Clear search"));
    QCOMPARE(name(view.deleteFoundButton()), QStringLiteral("Delete all found"));
    QCOMPARE(name(view.addTabButton()), QStringLiteral("Add tab"));
    QCOMPARE(name(view.addNoteButton()), QStringLiteral("Add note"));
    // Asked to confirm, the trash shows its text.
    view.deleteFoundButton()->click();
    QCOMPARE(name(view.deleteFoundButton()), view.deleteFoundButton()->text());
    QVERIFY(!view.deleteFoundButton()->text().isEmpty());

    w.app.setLanguage(UiLanguage::ru);
    const ClipboardNoteTab tab = w.notes().addTab(QStringLiteral("Notes"));
    view.state().selectTab(tab.id);
    QCOMPARE(name(view.renameButton()), QStringLiteral("Переименовать вкладку"));
    QCOMPARE(name(view.deleteTabButton()), QStringLiteral("Удалить вкладку"));
    QCOMPARE(name(view.addTabButton()), QStringLiteral("Добавить вкладку"));
}

QTEST_MAIN(TestClipboardWindow)
#include "test_clipboard_window.moc"
