#include "desktop/ChromeAppWindowService.h"
#include "desktop/WindowTilingService.h"
#include "fakes/FakeBrowser.h"
#include "fakes/FakeKeyboardEvents.h"
#include "fakes/FakeWindowSystem.h"
#include "fakes/RecordingSystemLog.h"

#include <QTest>

#include <functional>

using namespace mendo;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(WindowTileSlot)
Q_DECLARE_METATYPE(std::optional<mendo::Millis>)

namespace {

const QString pageA = QStringLiteral("https://mail.example.org/inbox");
const QString pageB = QStringLiteral("https://news.example.org/");

struct Rig {
    Rig()
    {
        windows.monitors = { { QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080), true } };
        keyboard.onPost = [this](EditShortcut shortcut) {
            if (shortcut == EditShortcut::CloseTab)
                browser.closeActiveTab();
        };
        source = browser.addWindow({ pageA, pageB });
    }

    FakeClock clock;
    FakeAccessibility ax;
    FakeWorkspace workspace;
    FakeWindowSystem windows;
    FakeKeyboardEvents keyboard;
    RecordingSystemLog log;
    FakeBrowser browser { ax, workspace, windows, clock };
    WindowTilingService tiling { windows, clock };
    ChromeAppWindowService service { workspace, ax, browser, keyboard, tiling, clock, &log };
    WindowId source = 0;

    FakeBrowser::Window& sourceWindow() { return *browser.window(source); }
    FakeAXNodePtr toolbar() { return sourceWindow().node->childNodes.first(); }
    // The app window, when one opened.
    WindowId appWindow()
    {
        for (const auto& w : browser.windows()) {
            if (w.app)
                return w.id;
        }
        return 0;
    }
};

const auto tiled = &FakeWindowSystem::move;

const QRect leftHalf(0, 0, 960, 1080);
const QRect rightHalf(960, 0, 960, 1080);

// `depth` nested groups under `parent`; the innermost.
FakeAXNodePtr nest(FakeAccessibility& ax, FakeAXNodePtr parent, int depth)
{
    for (int i = 0; i < depth; ++i)
        parent = ax.addChild(parent, QString(ax::GroupRole));
    return parent;
}

}  // namespace

using Setup = std::function<void(Rig&)>;
Q_DECLARE_METATYPE(Setup)

class TestChromeAppWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each case either pops the page out or leaves everything to the caller,
    // which then tiles the window as it is.
    void scan_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<bool>("popsOut");
        QTest::newRow("a browser window") << Setup([](Rig&) { }) << true;
        QTest::newRow("Google Chrome by its window class")
            << Setup([](Rig& r) { r.workspace.front->bundleIdentifier = QStringLiteral("Google-chrome"); }) << true;
        QTest::newRow("another application")
            << Setup([](Rig& r) { r.workspace.front->bundleIdentifier = QStringLiteral("firefox-esr"); }) << false;
        QTest::newRow("an app window") << Setup([](Rig& r) { r.browser.addWindow({ pageB }, true); }) << false;
        QTest::newRow("accessibility off: no window in the tree")
            << Setup([](Rig& r) { r.ax.application(700)->focusedWindow = nullptr; }) << false;
        QTest::newRow("only fields inside the page")
            << Setup([](Rig& r) { r.toolbar()->childNodes.removeLast(); }) << false;
        QTest::newRow("empty address") << Setup([](Rig& r) {
            r.sourceWindow().page->attributes.insert(ax::URL, QString());
        }) << false;
        QTest::newRow("unreadable address")
            << Setup([](Rig& r) { r.sourceWindow().page->failingAttributes.insert(ax::URL); }) << false;

        // The address field alone, `depth` below the window (the page first,
        // so that its address stays in reach).
        const auto fieldAtDepth = [](int depth) {
            return Setup([depth](Rig& r) {
                auto& children = r.sourceWindow().node->childNodes;
                children.removeFirst();
                r.ax.addChild(nest(r.ax, r.sourceWindow().node, depth - 1), QString(ax::TextFieldRole));
            });
        };
        QTest::newRow("field at depth 11") << fieldAtDepth(11) << true;
        QTest::newRow("field at depth 12") << fieldAtDepth(12) << false;

        // `leaves` elements met before the tool bar: window, page group, web
        // area and filler group come first, then the leaves, the tool bar,
        // its button and the field.
        const auto fieldAfter = [](int leaves) {
            return Setup([leaves](Rig& r) {
                auto& children = r.sourceWindow().node->childNodes;
                std::swap(children[0], children[1]);
                auto filler = r.ax.addChild(r.sourceWindow().node, QString(ax::GroupRole));
                children.move(children.size() - 1, 1);
                for (int i = 0; i < leaves; ++i)
                    r.ax.addChild(filler, QStringLiteral("AXStaticText"));
            });
        };
        QTest::newRow("field as the 400th element") << fieldAfter(393) << true;
        QTest::newRow("field as the 401st element") << fieldAfter(394) << false;
        QTest::newRow("a hidden field in a shown tool bar") << Setup([](Rig& r) {
            r.toolbar()->childNodes.last()->attributes.insert(ax::Hidden, true);
        }) << false;
    }
    void scan()
    {
        QFETCH(Setup, setup);
        QFETCH(bool, popsOut);
        Rig r;
        setup(r);
        QCOMPARE(r.service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf), popsOut);
        QCOMPARE(r.browser.requests.size(), popsOut ? 1 : 0);
        if (!popsOut) {
            r.clock.advance(10s);
            QVERIFY(r.keyboard.posted.isEmpty());
            QVERIFY(r.windows.moves.isEmpty());
        }
    }

    // Where the browser answers an element search, the fields it finds are
    // held to the walk's rules; a cut-short answer leaves the walk to decide.
    void searchedScan_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<bool>("popsOut");
        const auto found = [](std::function<QList<AXElement>(Rig&)> results) {
            return Setup([results](Rig& r) { r.ax.searchResults.insert(r.sourceWindow().node.get(), results(r)); });
        };
        const auto addressField = [](Rig& r) { return AXElement(r.toolbar()->childNodes.last()); };
        const auto pageInput = [](Rig& r) { return AXElement(r.sourceWindow().page->childNodes.first()); };
        QTest::newRow("the address field") << found([=](Rig& r) { return QList { addressField(r) }; }) << true;
        QTest::newRow("a page field before the address field")
            << found([=](Rig& r) { return QList { pageInput(r), addressField(r) }; }) << true;
        QTest::newRow("only the page's field") << found([=](Rig& r) { return QList { pageInput(r) }; }) << false;
        QTest::newRow("the field of a hidden tool bar, which calls itself shown") << Setup([=](Rig& r) {
            r.toolbar()->attributes.insert(ax::Hidden, true);
            r.ax.searchResults.insert(r.sourceWindow().node.get(), { addressField(r), pageInput(r) });
        }) << false;
        QTest::newRow("a multi-line field") << Setup([=](Rig& r) {
            r.toolbar()->childNodes.last()->attributes.insert(ax::Role, QString(ax::TextAreaRole));
            r.ax.searchResults.insert(r.sourceWindow().node.get(), { addressField(r) });
        }) << false;
        QTest::newRow("a field of another window") << Setup([=](Rig& r) {
            const WindowId other = r.browser.addWindow({ pageB });
            const AXElement field(r.browser.window(other)->node->childNodes.first()->childNodes.last());
            QVERIFY(r.workspace.activateWindow(r.browser.application(r.source)));
            r.ax.searchResults.insert(r.sourceWindow().node.get(), { field });
        }) << false;
        const auto fieldAtDepth = [](int depth) {
            return Setup([depth](Rig& r) {
                r.toolbar()->childNodes.removeLast();
                const AXElement field
                    = r.ax.addChild(nest(r.ax, r.sourceWindow().node, depth - 1), QString(ax::TextFieldRole));
                r.ax.searchResults.insert(r.sourceWindow().node.get(), { field });
            });
        };
        QTest::newRow("field at depth 11") << fieldAtDepth(11) << true;
        QTest::newRow("field at depth 12") << fieldAtDepth(12) << false;
        // The search is trusted: nothing found is nothing there.
        QTest::newRow("nothing found") << found([](Rig&) { return QList<AXElement> {}; }) << false;
        // With the web areas found as well, the way up compares elements
        // instead of reading roles, and the page's address comes from there.
        const auto withWebAreas = [](Setup setup) {
            return Setup([setup](Rig& r) {
                setup(r);
                r.ax.webAreaSearchResults.insert(r.sourceWindow().node.get(), { AXElement(r.sourceWindow().page) });
            });
        };
        QTest::newRow("web areas found: the address field")
            << withWebAreas(found([=](Rig& r) { return QList { pageInput(r), addressField(r) }; })) << true;
        QTest::newRow("web areas found: only the page's field")
            << withWebAreas(found([=](Rig& r) { return QList { pageInput(r) }; })) << false;
        QTest::newRow("web areas found: the field of a hidden tool bar") << withWebAreas(Setup([=](Rig& r) {
            r.toolbar()->attributes.insert(ax::Hidden, true);
            r.ax.searchResults.insert(r.sourceWindow().node.get(), { addressField(r) });
        })) << false;
        QTest::newRow("web areas found: a page without an address")
            << withWebAreas(Setup([=](Rig& r) {
                   r.sourceWindow().page->attributes.insert(ax::URL, QString());
                   r.ax.searchResults.insert(r.sourceWindow().node.get(), { addressField(r) });
               }))
            << false;
        QTest::newRow("a full answer of page fields: the walk finds the address field")
            << found([=](Rig& r) {
                   return QList<AXElement>(ChromeAppWindowService::searchCandidates, pageInput(r));
               })
            << true;
    }
    void searchedScan()
    {
        QFETCH(Setup, setup);
        QFETCH(bool, popsOut);
        Rig r;
        setup(r);
        QCOMPARE(r.service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf), popsOut);
        QCOMPARE(r.browser.requests, popsOut ? QStringList { QStringLiteral("chromium 700 ") + pageA } : QStringList());
    }

    // A walk has the window read ahead once for the whole scan (the field's
    // walk and the page's), within the walk's bounds, and lets go of it when
    // the scan ends, so that a later press reads afresh. A search that
    // answers needs no walk and nothing read ahead.
    void scanReadsAheadOnlyForTheWalk_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("readAheads");
        QTest::newRow("no search: walked")
            << Setup([](Rig&) { }) << QStringList { QStringLiteral("window 256, 11, 400") };
        QTest::newRow("searched") << Setup([](Rig& r) {
            r.ax.searchResults.insert(r.sourceWindow().node.get(), { AXElement(r.toolbar()->childNodes.last()) });
            r.ax.webAreaSearchResults.insert(r.sourceWindow().node.get(), { AXElement(r.sourceWindow().page) });
        }) << QStringList {};
    }
    void scanReadsAheadOnlyForTheWalk()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, readAheads);
        Rig r;
        setup(r);
        QVERIFY(r.service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf));
        QCOMPARE(r.ax.readAheads, readAheads);
        QVERIFY(r.ax.readAheadHandle.expired());
    }

    void launchThatCannotStartDeclines()
    {
        Rig r;
        r.browser.startSucceeds = false;
        QVERIFY(!r.service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf));
        r.clock.advance(10s);
        QCOMPARE(r.sourceWindow().tabs, QStringList({ pageA, pageB }));
        QVERIFY(r.keyboard.posted.isEmpty());
        QCOMPARE(r.log.lines, QStringList { QStringLiteral("MendoAI Chrome app window: the browser could not be started") });
    }

    // The app window is looked for every 250 ms, twelve times.
    void waitForAppWindow_data()
    {
        QTest::addColumn<std::optional<Millis>>("appears");
        QTest::addColumn<WindowTileSlot>("slot");
        QTest::addColumn<bool>("found");
        QTest::newRow("at the first query") << std::optional<Millis>(100ms) << WindowTileSlot::leftHalf << true;
        QTest::newRow("at the twelfth query") << std::optional<Millis>(2950ms) << WindowTileSlot::rightHalf << true;
        QTest::newRow("after the last query") << std::optional<Millis>(3050ms) << WindowTileSlot::leftHalf << false;
        QTest::newRow("never") << std::optional<Millis>() << WindowTileSlot::rightHalf << false;
    }
    void waitForAppWindow()
    {
        QFETCH(std::optional<Millis>, appears);
        QFETCH(WindowTileSlot, slot);
        QFETCH(bool, found);
        Rig r;
        r.browser.appWindowDelay = appears;
        QVERIFY(r.service.popOutActiveTabIfNeeded(slot));
        QCOMPARE(r.browser.requests, QStringList { QStringLiteral("chromium 700 ") + pageA });
        r.clock.advance(10s);
        const QRect cell = slot == WindowTileSlot::leftHalf ? leftHalf : rightHalf;
        if (found) {
            QCOMPARE(r.sourceWindow().tabs, QStringList { pageB });
            QCOMPARE(r.keyboard.posted, QList<EditShortcut> { EditShortcut::CloseTab });
            QCOMPARE(r.windows.moves, QStringList { tiled(r.appWindow(), cell) });
            QCOMPARE(r.workspace.front->window, r.appWindow());
            QVERIFY(r.log.lines.isEmpty());
        } else {
            QCOMPARE(r.sourceWindow().tabs, QStringList({ pageA, pageB }));
            QVERIFY(r.keyboard.posted.isEmpty());
            // The window in front at the end of the wait is tiled instead.
            QCOMPARE(r.windows.moves.size(), 1);
            QCOMPARE(r.windows.moves.first(), tiled(r.source, cell));
            QCOMPARE(r.log.lines,
                QStringList { QStringLiteral("MendoAI Chrome app window: no app window appeared; the tab stays open") });
        }
    }

    // Control+W goes only to the source window showing the popped page.
    void tabStaysOpen_data()
    {
        QTest::addColumn<Setup>("meanwhile");
        QTest::addColumn<QStringList>("tabs");
        QTest::newRow("source window cannot be activated")
            << Setup([](Rig& r) { r.workspace.activationSucceeds = false; }) << QStringList({ pageA, pageB });
        QTest::newRow("user switched to another tab")
            << Setup([](Rig& r) { r.browser.selectTab(r.source, 1); }) << QStringList({ pageA, pageB });
        QTest::newRow("source window gone")
            << Setup([](Rig& r) { r.workspace.closedWindows << r.source; }) << QStringList({ pageA, pageB });
    }
    void tabStaysOpen()
    {
        QFETCH(Setup, meanwhile);
        QFETCH(QStringList, tabs);
        Rig r;
        QVERIFY(r.service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf));
        meanwhile(r);
        r.clock.advance(10s);
        QCOMPARE(r.sourceWindow().tabs, tabs);
        QVERIFY(!r.keyboard.posted.contains(EditShortcut::CloseTab));
        // The app window is tiled all the same.
        QCOMPARE(r.windows.moves, QStringList { tiled(r.appWindow(), leftHalf) });
    }

    // A second press while the page is on its way retargets it instead of
    // opening it twice (and closing a second tab).
    void secondPressRetargets()
    {
        Rig r;
        r.browser.appWindowDelay = 600ms;
        QVERIFY(r.service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf));
        r.clock.advance(300ms);
        QVERIFY(r.service.popOutActiveTabIfNeeded(WindowTileSlot::rightHalf));
        r.clock.advance(10s);
        QCOMPARE(r.browser.requests.size(), 1);
        QCOMPARE(r.sourceWindow().tabs, QStringList { pageB });
        QCOMPARE(r.windows.moves, QStringList { tiled(r.appWindow(), rightHalf) });
        // Once done, the browser window pops out its next page again.
        QVERIFY(r.workspace.activateWindow(r.browser.application(r.source)));
        QVERIFY(r.service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf));
        QCOMPARE(r.browser.requests.last(), QStringLiteral("chromium 700 ") + pageB);
    }

    // The user moved on while no app window came: the browser window is
    // tiled by its id, and nothing else ever moves.
    void aFailedPopOutMovesOnlyTheBrowserWindow_data()
    {
        QTest::addColumn<bool>("browserStays");
        QTest::newRow("browser window still there") << true;
        QTest::newRow("browser window closed") << false;
    }
    void aFailedPopOutMovesOnlyTheBrowserWindow()
    {
        QFETCH(bool, browserStays);
        Rig r;
        r.browser.appWindowDelay = std::nullopt;
        QVERIFY(r.service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf));
        r.clock.advance(1s);
        FakeWindowSystem::Window editor;
        editor.id = 0x7000;
        editor.frame = QRect(300, 200, 800, 600);
        r.windows.stack.prepend(editor);
        r.windows.focused = editor.id;
        if (!browserStays)
            r.windows.stack.removeIf([&](const FakeWindowSystem::Window& w) { return w.id == r.source; });
        r.clock.advance(10s);
        QCOMPARE(r.windows.moves, browserStays ? QStringList { tiled(r.source, leftHalf) } : QStringList {});
    }

    void slotPassesThrough()
    {
        Rig r;
        QVERIFY(r.service.popOutActiveTabIfNeeded(WindowTileSlot::bottomRight));
        r.clock.advance(10s);
        QCOMPARE(r.windows.moves, QStringList { tiled(r.appWindow(), QRect(960, 540, 960, 540)) });
    }
};

QTEST_GUILESS_MAIN(TestChromeAppWindow)
#include "test_chrome_app_window.moc"
