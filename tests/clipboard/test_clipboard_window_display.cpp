// The clipboard window over the real desktop (Xvfb, openbox), MendoAI wired
// as it starts, with a Qt text field in front: Alt+V opens the window at the
// pointer and leaves the target active; a click into the search field takes
// the typing; Escape and a click on the target hide it; the header strip
// moves it at the first press; its size survives into a new mendo; and a
// paste from it types into the target and gives the user's clipboard back.
// Screenshots of the window go to the artifacts.

#include "app/MendoAppState.h"
#include "clipboard/ClipboardEntryList.h"
#include "clipboard/ClipboardHistoryPanel.h"
#include "clipboard/ClipboardNotesService.h"
#include "clipboard/ClipboardHistoryService.h"
#include "clipboard/ClipboardPanelController.h"
#include "clipboard/ClipboardPanelState.h"
#include "clipboard/ClipboardSidePreview.h"
#include "ui/NativeMaterials.h"
#include "platform/UserDefaults.h"
#include "shell/MendoNativeApp.h"
#include "shell/RealPlatform.h"
#include "support/X11TestApps.h"
#include "ui/FloatingPanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>

using namespace mendo;
using namespace mendo::testing;

namespace {

void moveTo(QPoint point)
{
    xdotool({ "mousemove", QString::number(point.x()), QString::number(point.y()) });
}

QPoint centreOf(QWidget* widget)
{
    return widget->mapToGlobal(widget->rect().center());
}

}  // namespace

class TestClipboardWindowDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void opensAtThePointerLeavingTheTarget();
    void searchFieldTakesTyping();
    void headerStripMoves();
    void screenshots();
    void pasteIntoTheTarget();
    void doubleClickPastesARow();
    void noteCopyAndNaming();
    void listScreenshots();
    void russianNoteCardKeepsItsButtonTexts();
    void tabStripScrollsToEveryTab();
    void sizeSurvivesIntoANewMendo();

private:
    void openWithHotkey();
    ClipboardPanelController& controller() { return m_app->clipboardPanel(); }
    // The target's text: what it last reported, else what it started with.
    QString targetText() const
    {
        const QString reported = m_target->reportedText();
        return reported.isEmpty() ? QStringLiteral("target") : reported;
    }
    FloatingPanel* panel() { return controller().panel(); }
    ClipboardHistoryPanel* view() { return controller().view(); }

    QTemporaryDir m_home;
    std::unique_ptr<OtherApp> m_target;
    QString m_targetWindow;
    std::unique_ptr<RealPlatform> m_platform;
    std::unique_ptr<MendoNativeApp::Factory> m_factory;
    std::unique_ptr<MendoNativeApp> m_app;
};

void TestClipboardWindowDisplay::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("MendoAI"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    // The target first: MendoAI learns of it as the application in front.
    m_target = startTargetApp(QStringLiteral("target"));
    // The target's own window, not one an earlier test left active.
    QTRY_COMPARE_WITH_TIMEOUT(activeWindowPid(), m_target->pid(), 10000);
    m_targetWindow = activeWindow();

    m_platform = std::make_unique<RealPlatform>();
    m_factory = std::make_unique<MendoNativeApp::Factory>();
    m_app = std::make_unique<MendoNativeApp>(m_platform->platform(), *m_factory);
    m_app->launch();
    // Three entries found by "copy" for the screenshots, one more besides.
    for (const QString& text : { QStringLiteral("Meeting notes: copy the agenda"),
             QStringLiteral("https://example.org/a/very/long/address/that/was/copied"),
             QStringLiteral("Привет! Copy this greeting"), QStringLiteral("Copy of the invoice, March") })
        m_app->clipboardHistory().record(text);
    QCOMPARE(m_app->clipboardHistory().items().size(), 4);
    QTest::qWait(300);  // the hotkeys are held on the next turn
}

void TestClipboardWindowDisplay::cleanupTestCase()
{
    m_app.reset();
    m_platform.reset();
    m_target.reset();
}

// The window as the screen shows it.
static QImage screenshot(FloatingPanel* panel)
{
    return panel->screen()->grabWindow(0, panel->x(), panel->y(), panel->width(), panel->height()).toImage();
}

// Waits until the window manager's size has reached every layout, so that a
// picture shows the window as the user sees it.
static void settle(FloatingPanel* panel, ClipboardHistoryPanel* view)
{
    QTRY_COMPARE_WITH_TIMEOUT(panel->windowHandle()->geometry().size(), panel->size(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(view->geometry(), panel->rect(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(view->content()->geometry(), view->rect(), 5000);
    QTest::qWait(300);
}

void TestClipboardWindowDisplay::openWithHotkey()
{
    if (!controller().isPanelVisible())
        xdotool({ "key", "alt+v" });
    QTRY_VERIFY_WITH_TIMEOUT(controller().isPanelVisible(), 5000);
    QVERIFY(QTest::qWaitForWindowExposed(panel()));
}

void TestClipboardWindowDisplay::opensAtThePointerLeavingTheTarget()
{
    moveTo(QPoint(500, 400));
    openWithHotkey();
    QTRY_COMPARE(panel()->pos(), QPoint(514, 382));
    QCOMPARE(controller().pasteTargetBundleIdentifier().has_value(), true);
    QTest::qWait(300);
    QCOMPARE(activeWindow(), m_targetWindow);

    // Alt+V again hides it; a click on the target does too.
    xdotool({ "key", "alt+v" });
    QTRY_VERIFY_WITH_TIMEOUT(!controller().isPanelVisible(), 5000);
    openWithHotkey();
    clickAt(QPoint(60, 60));
    moveTo(QPoint(500, 400));
    QTRY_VERIFY_WITH_TIMEOUT(!controller().isPanelVisible(), 5000);
    QCOMPARE(activeWindow(), m_targetWindow);
}

void TestClipboardWindowDisplay::searchFieldTakesTyping()
{
    moveTo(QPoint(500, 400));
    openWithHotkey();
    view()->state().clearSearch();
    const QString before = m_target->reportedText();
    clickAt(centreOf(view()->searchField()));
    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), QString::number(panel()->winId()), 5000);
    xdotool({ "type", "--delay", "30", "copy" });
    QTRY_COMPARE_WITH_TIMEOUT(view()->searchField()->text(), QStringLiteral("copy"), 5000);
    QCOMPARE(view()->state().foundCount(), 3);  // not the address's "copied"
    QCOMPARE(m_target->reportedText(), before);

    // Escape in the field hides the window.
    xdotool({ "key", "Escape" });
    QTRY_VERIFY_WITH_TIMEOUT(!controller().isPanelVisible(), 5000);
    QCOMPARE(view()->state().searchText(), QStringLiteral("copy"));  // kept for the next showing
}

void TestClipboardWindowDisplay::headerStripMoves()
{
    xdotool({ "windowactivate", "--sync", m_targetWindow });
    moveTo(QPoint(500, 400));
    openWithHotkey();
    QTRY_COMPARE(panel()->pos(), QPoint(514, 382));
    const QPoint start = panel()->pos();

    // A drag on the search field leaves the window where it is.
    const QPoint field = centreOf(view()->searchField());
    xdotool({ "mousemove", QString::number(field.x()), QString::number(field.y()), "mousedown", "1" });
    xdotool({ "mousemove", QString::number(field.x() + 60), QString::number(field.y() + 40) });
    xdotool({ "mouseup", "1" });
    QTest::qWait(400);
    QCOMPARE(panel()->pos(), start);

    // One on the strip moves it, at the first press.
    xdotool({ "windowactivate", "--sync", m_targetWindow });
    QTest::qWait(200);
    const QPoint strip = centreOf(view()->dragHandle());
    xdotool({ "mousemove", QString::number(strip.x()), QString::number(strip.y()), "mousedown", "1" });
    QTest::qWait(200);
    for (int step = 1; step <= 5; ++step) {
        xdotool({ "mousemove", QString::number(strip.x() + 20 * step), QString::number(strip.y() + 12 * step) });
        QTest::qWait(50);
    }
    xdotool({ "mouseup", "1" });
    QTRY_COMPARE_WITH_TIMEOUT(panel()->pos(), start + QPoint(100, 60), 5000);
    controller().hide();
}

void TestClipboardWindowDisplay::screenshots()
{
    const struct {
        const char* language;
        const char* appearance;
        QString file;
        QString confirm;
    } shots[] = {
        { "en", "system", QStringLiteral("clipboard-window.png"), QStringLiteral("Delete 3") },
        { "ru", "system", QStringLiteral("clipboard-window-ru.png"), QStringLiteral("Удалить 3") },
        { "en", "liquid-noir", QStringLiteral("clipboard-window-dark.png"), QStringLiteral("Delete 3") },
        { "ru", "liquid-noir", QStringLiteral("clipboard-window-ru-dark.png"), QStringLiteral("Удалить 3") },
    };
    for (const auto& shot : shots) {
        m_app->appState().editSettings([&](MendoSettings& s) {
            s.uiLanguage = QLatin1String(shot.language) == QLatin1String("ru") ? UiLanguage::ru : UiLanguage::en;
            s.appearanceMode = QLatin1String(shot.appearance) == QLatin1String("system") ? AppearanceMode::system
                                                                                         : AppearanceMode::liquidNoir;
        });
        moveTo(QPoint(300, 200));
        controller().show();
        QVERIFY(QTest::qWaitForWindowExposed(panel()));
        ClipboardPanelState& state = view()->state();
        state.selectTab(ClipboardPanelState::historyTabID);
        state.setSearchText(QStringLiteral("copy"));
        // "copy" is in three of the four texts, but not the address.
        QCOMPARE(state.foundCount(), 3);
        state.armDeleteFound();
        QCOMPARE(view()->deleteFoundButton()->text(), shot.confirm);
        settle(panel(), view());
        QVERIFY(screenshot(panel()).save(artifactPath(shot.file)));
        controller().hide();
    }
    m_app->appState().editSettings([](MendoSettings& s) {
        s.uiLanguage = UiLanguage::en;
        s.appearanceMode = AppearanceMode::system;
    });
    view()->state().clearSearch();
}

void TestClipboardWindowDisplay::pasteIntoTheTarget()
{
    QTemporaryDir files;
    const QList<QPair<QString, QByteArray>> users { { QStringLiteral("text/plain"), QByteArray("the user's own") } };
    auto owner = offerClipboard(files.path(), users);
    QVERIFY(owner);
    QTest::qWait(1500);  // two polls: the user's copy becomes the newest entry
    const QList<ClipboardHistoryItem> before = m_app->clipboardHistory().items();
    QCOMPARE(before.first().text, QStringLiteral("the user's own"));

    xdotool({ "windowactivate", "--sync", m_targetWindow });
    xdotool({ "key", "ctrl+End" });
    const QString typedBefore = targetText();
    moveTo(QPoint(500, 400));
    openWithHotkey();
    QStringList statuses;
    QObject listening;
    connect(&m_app->appState(), &MendoAppState::statusChanged, &listening,
        [&](const ActionStatus& status) { statuses << status.text(); });
    controller().pasteFromHistory(QStringLiteral(" pasted back"));
    QVERIFY(!controller().isPanelVisible());
    QTRY_COMPARE_WITH_TIMEOUT(m_target->reportedText(), typedBefore + QStringLiteral(" pasted back"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(statuses.value(0), QStringLiteral("Pasted"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(
        runTool(QStringLiteral("xclip"), { "-selection", "clipboard", "-o" }), QByteArray("the user's own"), 10000);
    QTest::qWait(1500);
    QCOMPARE(m_app->clipboardHistory().items(), before);
}

void TestClipboardWindowDisplay::doubleClickPastesARow()
{
    // Two copies by another client, newest first in the history.
    QTemporaryDir files;
    auto first = offerClipboard(files.path(), { { QStringLiteral("text/plain"), QByteArray("first copied") } });
    QVERIFY(first);
    QTRY_COMPARE_WITH_TIMEOUT(m_app->clipboardHistory().items().first().text, QStringLiteral("first copied"), 5000);
    auto second = offerClipboard(files.path(), { { QStringLiteral("text/plain"), QByteArray("second copied") } });
    QVERIFY(second);
    QTRY_COMPARE_WITH_TIMEOUT(m_app->clipboardHistory().items().first().text, QStringLiteral("second copied"), 5000);
    const QList<ClipboardHistoryItem> before = m_app->clipboardHistory().items();

    xdotool({ "windowactivate", "--sync", m_targetWindow });
    xdotool({ "key", "ctrl+End" });
    const QString typedBefore = targetText();
    moveTo(QPoint(400, 300));
    openWithHotkey();
    view()->state().clearSearch();
    ClipboardEntryList* list = view()->historyList();
    QTRY_VERIFY(list->isVisible());

    // The pointer over the second row selects it.
    const QPoint row = list->viewport()->mapToGlobal(list->rowRect(1).center() - QPoint(40, 0));
    moveTo(row - QPoint(0, 3));
    moveTo(row);
    QTRY_COMPARE_WITH_TIMEOUT(view()->state().selectedItemID(), std::optional<QString>(before[1].id), 5000);

    xdotool({ "click", "--repeat", "2", "--delay", "80", "1" });
    QTRY_VERIFY_WITH_TIMEOUT(!controller().isPanelVisible(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(m_target->reportedText(), typedBefore + QStringLiteral("first copied"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(
        runTool(QStringLiteral("xclip"), { "-selection", "clipboard", "-o" }), QByteArray("second copied"), 10000);
    QTest::qWait(1500);
    QCOMPARE(m_app->clipboardHistory().items(), before);
}

void TestClipboardWindowDisplay::noteCopyAndNaming()
{
    xdotool({ "windowactivate", "--sync", m_targetWindow });
    moveTo(QPoint(400, 300));
    openWithHotkey();
    const qsizetype entries = m_app->clipboardHistory().items().size();

    // The add-tab button opens its name field with the keyboard.
    clickAt(centreOf(view()->addTabButton()));
    QTRY_VERIFY_WITH_TIMEOUT(view()->tabNameField()->hasFocus(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), QString::number(panel()->winId()), 5000);
    xdotool({ "key", "ctrl+a" });
    xdotool({ "type", "--delay", "30", "Snippets" });
    xdotool({ "key", "Return" });
    QTRY_COMPARE_WITH_TIMEOUT(m_app->clipboardNotes().tabs().last().title, QStringLiteral("Snippets"), 5000);
    const QString file = m_app->clipboardNotes().folder() + QLatin1Char('/') + ClipboardNotesService::fileName;
    auto fileHolds = [&](const QByteArray& bytes) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) && f.readAll().contains(bytes);
    };
    QVERIFY(fileHolds("\"Snippets\""));

    // A two-line note typed into the editor and saved.
    clickAt(centreOf(view()->addNoteButton()));
    QTRY_VERIFY_WITH_TIMEOUT(view()->noteEditor()->hasFocus(), 5000);
    xdotool({ "type", "--delay", "30", "line one" });
    xdotool({ "key", "Return" });
    xdotool({ "type", "--delay", "30", "line two" });
    QTRY_COMPARE_WITH_TIMEOUT(view()->noteEditor()->toPlainText(), QStringLiteral("line one\nline two"), 5000);
    clickAt(centreOf(view()->saveNoteButton()));
    QTRY_VERIFY_WITH_TIMEOUT(fileHolds("line one\\nline two"), 5000);

    // Its Copy: on CLIPBOARD, and no entry after the next polls.
    ClipboardEntryList* list = view()->notesList();
    QTRY_VERIFY(list->isVisible());
    const QPoint copy = list->viewport()->mapToGlobal(list->buttonRect(0, 1).center());
    clickAt(copy);
    QTRY_COMPARE_WITH_TIMEOUT(runTool(QStringLiteral("xclip"), { "-selection", "clipboard", "-o" }),
        QByteArray("line one\nline two"), 5000);
    QVERIFY(controller().isPanelVisible());
    QTest::qWait(1600);
    QCOMPARE(m_app->clipboardHistory().items().size(), entries);
    controller().hide();
}

void TestClipboardWindowDisplay::listScreenshots()
{
    ClipboardNotesService& notes = m_app->clipboardNotes();
    const QString tab = notes.tabs().last().id;
    notes.addNote(tab, QStringLiteral("Адрес доставки: ул. Ленина, 12, кв. 5\nДомофон 512"));
    auto shoot = [&](const QString& name, QSize size, const std::function<void(ClipboardPanelState&)>& prepare) {
        moveTo(QPoint(120, 100));
        controller().show();
        QVERIFY(QTest::qWaitForWindowExposed(panel()));
        panel()->resize(size);
        prepare(view()->state());
        settle(panel(), view());
        QCOMPARE(panel()->size(), size);
        QVERIFY(screenshot(panel()).save(artifactPath(name)));
        controller().hide();
    };
    shoot(QStringLiteral("clipboard-history.png"), QSize(760, 560), [&](ClipboardPanelState& state) {
        state.clearSearch();
        state.selectTab(ClipboardPanelState::historyTabID);
        state.selectItem(m_app->clipboardHistory().items()[1].id);
    });
    QVERIFY(view()->showsSidePreview());
    m_app->appState().editSettings([](MendoSettings& s) { s.uiLanguage = UiLanguage::ru; });
    shoot(QStringLiteral("clipboard-notes-ru.png"), QSize(760, 600), [&](ClipboardPanelState& state) {
        state.selectTab(tab);
        state.startEditNote(notes.tab(tab)->notes.first());
    });
    m_app->appState().editSettings([](MendoSettings& s) { s.uiLanguage = UiLanguage::en; });
    shoot(QStringLiteral("clipboard-narrow.png"), QSize(400, 560), [&](ClipboardPanelState& state) {
        state.cancelNoteEditing();
        state.selectTab(ClipboardPanelState::historyTabID);
    });
    QVERIFY(!view()->showsSidePreview());
    QCOMPARE(view()->historyList()->highlightedID(), std::nullopt);
}

// The Russian card's buttons are wider than the English ones: where a row
// has no room for them all, they wrap rather than shrink below their texts.
void TestClipboardWindowDisplay::russianNoteCardKeepsItsButtonTexts()
{
    ClipboardNotesService& notes = m_app->clipboardNotes();
    const ClipboardNoteTab tab = notes.addTab(QStringLiteral("Северный ветер"));
    notes.addNote(tab.id, QStringLiteral("Созвон в четверг в 11:00, повестка в письме."));
    m_app->appState().editSettings([](MendoSettings& s) { s.uiLanguage = UiLanguage::ru; });
    moveTo(QPoint(120, 100));
    controller().show();
    QVERIFY(QTest::qWaitForWindowExposed(panel()));
    view()->state().selectTab(tab.id);
    auto* card = view()->findChild<ClipboardNoteSidePreview*>();
    QVERIFY(card);
    for (int contentWidth = 560; contentWidth <= 720; contentWidth += 40) {
        // The content area is the window less its margins.
        const int margins = panel()->width() - view()->contentArea()->width();
        panel()->resize(contentWidth + margins, 600);
        settle(panel(), view());
        QCOMPARE(view()->contentArea()->width(), contentWidth);
        QVERIFY(card->isVisible());
        for (QPushButton* button : card->buttons()) {
            QVERIFY2(button->width() >= button->sizeHint().width(),
                qPrintable(QStringLiteral("%1 at %2").arg(button->text()).arg(contentWidth)));
            QVERIFY(card->rect().contains(QRect(button->mapTo(card, QPoint()), button->size())));
        }
        if (contentWidth == 600)
            QVERIFY(screenshot(panel()).save(artifactPath(QStringLiteral("clipboard-notes-ru-600.png"))));
    }
    controller().hide();
    notes.deleteTab(tab.id);
    m_app->appState().editSettings([](MendoSettings& s) { s.uiLanguage = UiLanguage::en; });
}

// At 380 pixels six note tabs do not fit: the wheel moves along the row to
// the last, the tab shown scrolls into view, and "+" is always in reach.
void TestClipboardWindowDisplay::tabStripScrollsToEveryTab()
{
    ClipboardNotesService& notes = m_app->clipboardNotes();
    QStringList added;
    for (const char* title : { "Work", "Recipes", "Travel plans", "Shopping", "Addresses of friends, family and colleagues", "Snippets" })
        added << notes.addTab(QString::fromLatin1(title)).id;
    moveTo(QPoint(120, 100));
    controller().show();
    QVERIFY(QTest::qWaitForWindowExposed(panel()));
    view()->state().selectTab(ClipboardPanelState::historyTabID);
    panel()->resize(380, 520);
    settle(panel(), view());
    QScrollArea* strip = view()->tabScroll();
    const auto inView = [&](QWidget* widget) {
        const QRect shown(strip->viewport()->mapToGlobal(QPoint()), strip->viewport()->size());
        return shown.contains(QRect(widget->mapToGlobal(QPoint()), widget->size()));
    };
    const auto inWindow = [&](QWidget* widget) {
        return panel()->geometry().contains(QRect(widget->mapToGlobal(QPoint()), widget->size()));
    };
    ClipboardTabButton* last = view()->tabButtons().last();
    QVERIFY(!inView(last));
    QVERIFY(inWindow(view()->addTabButton()));

    // The wheel over the strip, as the mouse turns it.
    const QPoint over = strip->mapToGlobal(strip->rect().center());
    xdotool({ "mousemove", QString::number(over.x()), QString::number(over.y()) });
    for (int turn = 0; turn < 30 && !inView(last); ++turn) {
        xdotool({ "click", "5" });
        QTest::qWait(30);
    }
    QVERIFY(inView(last));
    QVERIFY(inWindow(view()->addTabButton()));
    QTest::qWait(200);
    QVERIFY(screenshot(panel()).save(artifactPath(QStringLiteral("clipboard-tabs-380.png"))));
    for (int turn = 0; turn < 30; ++turn)
        xdotool({ "click", "4" });
    QTRY_VERIFY(inView(view()->tabButtons().first()));

    // Choosing a tab elsewhere (the keyboard, a new note) brings it into view.
    view()->state().selectTab(added.last());
    QTRY_VERIFY(inView(view()->tabButtons().last()));
    view()->state().selectTab(ClipboardPanelState::historyTabID);
    QTRY_VERIFY(inView(view()->tabButtons().first()));
    // A long tab name ends in an ellipsis in the toolbar, never widening it.
    view()->state().selectTab(added[4]);
    settle(panel(), view());
    QCOMPARE(panel()->width(), 380);
    QVERIFY(view()->tabTitle()->width() < view()->tabTitle()->fontMetrics().horizontalAdvance(notes.tab(added[4])->title));
    QVERIFY(screenshot(panel()).save(artifactPath(QStringLiteral("clipboard-tabs-380-long-title.png"))));
    // A new tab from "+" too.
    const qsizetype tabsBefore = view()->tabButtons().size();
    clickAt(view()->addTabButton()->mapToGlobal(view()->addTabButton()->rect().center()));
    QTRY_COMPARE(view()->tabButtons().size(), tabsBefore + 1);
    QTRY_VERIFY(inView(view()->tabButtons().last()));

    controller().hide();
    for (const ClipboardNoteTab& tab : notes.tabs())
        if (added.contains(tab.id) || tab.id == view()->tabButtons().last()->id())
            notes.deleteTab(tab.id);
}

void TestClipboardWindowDisplay::sizeSurvivesIntoANewMendo()
{
    UserDefaults& defaults = *m_platform->platform().defaults;
    moveTo(QPoint(200, 150));
    openWithHotkey();
    int widthWrites = 0;
    QObject listening;
    connect(&defaults, &UserDefaults::changed, &listening, [&](const QString& key) {
        if (key == QStringLiteral("mendo.clipboardPanel.width"))
            ++widthWrites;
    });
    xdotool({ "windowsize", QString::number(panel()->winId()), "1000", "900" });
    QTRY_COMPARE_WITH_TIMEOUT(panel()->size(), QSize(1000, 900), 5000);
    QTest::qWait(300);
    QCOMPARE(widthWrites, 1);
    QCOMPARE(defaults.number(QStringLiteral("mendo.clipboardPanel.width")), 1000.0);
    QCOMPARE(defaults.number(QStringLiteral("mendo.clipboardPanel.height")), 900.0);

    // This MendoAI ends; a new mendo over the same files opens it capped.
    controller().hide();
    m_app.reset();
    m_platform.reset();
    OtherApp mendo(QStringLiteral(MENDO_BINARY), {});
    QTest::qWait(1500);
    moveTo(QPoint(200, 150));
    // Its clipboard window among its visible windows (the main window shows
    // too: there is no tray).
    QString geometries;
    QDeadlineTimer deadline(15000);
    while (!geometries.contains(QStringLiteral("Geometry: 760x860")) && !deadline.hasExpired()) {
        xdotool({ "key", "alt+v" });
        QTest::qWait(700);
        geometries.clear();
        const QStringList windows = QString::fromUtf8(runTool(QStringLiteral("xdotool"),
            { "search", "--onlyvisible", "--pid", QString::number(mendo.pid()), "--name", "." }))
                                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& window : windows)
            geometries += QString::fromUtf8(runTool(QStringLiteral("xdotool"), { "getwindowgeometry", window }));
    }
    QVERIFY2(geometries.contains(QStringLiteral("Geometry: 760x860")), qPrintable(geometries + mendo.output()));
    // The session as it was: the target in front when the tests end, not a
    // window of a process about to go.
    xdotool({ "windowactivate", "--sync", m_targetWindow });
}

QTEST_MAIN(TestClipboardWindowDisplay)
#include "test_clipboard_window_display.moc"
