// The quick panel over fakes: its size when it is made, the size it keeps,
// its place, every way it is put away, what its rows and its language menu
// start, and how it follows the application state.

#include "panels/AssistantFakes.h"
#include "clipboard/ClipboardPanelController.h"
#include "clipboard/ClipboardPanelRig.h"
#include "panels/QuickActionPanel.h"
#include "panels/QuickPanelRig.h"
#include "panels/AssistantPanelController.h"
#include "ui/FloatingPanel.h"
#include "ui/GlassSurface.h"

#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace mendo;

namespace {

QList<QuickAction> actions(int count)
{
    QList<QuickAction> list = QuickAction::defaultActions();
    while (list.size() < count)
        list += QuickAction::defaultActions();
    return list.mid(0, count);
}

// One monitor whose visible frame is `visibleHeight` high (none for 0).
QList<MonitorFrame> screenWithVisibleHeight(int visibleHeight)
{
    if (visibleHeight == 0)
        return {};
    return { { QRect(0, 0, 1440, visibleHeight + 25), QRect(0, 25, 1440, visibleHeight), true } };
}

struct Rig : QuickPanelRig {
    AssistantFakes assistantFakes { app.clock, app.defaults, focus };
    AssistantPanelController& assistant = assistantFakes.controller;
    ClipboardPanelRig clipboardRig { app.clock, app.defaults };
    QStringList statusesWhileShown;

    explicit Rig(const std::function<void(MendoSettings&)>& prepare = {})
        : QuickPanelRig(prepare)
    {
        quick.setPanels(&assistant, clipboardRig.controller.get());
        assistant.attach(*app.state);
        QObject::connect(app.state.get(), &MendoAppState::statusChanged, [this](const ActionStatus& status) {
            if (quick.isPanelVisible())
                statusesWhileShown << AppStateRig::describe(status);
        });
    }

    void show() { quick.show(*app.state); }
    QuickActionPanel& view() { return *quick.view(); }
    // Lets scheduled work and the action driver run.
    void settle()
    {
        QCoreApplication::processEvents();
        app.clock.advance(Millis(5000));
        QCoreApplication::processEvents();
    }
    QStringList rowIds()
    {
        QStringList ids;
        for (QAbstractButton* row : view().rows())
            ids << row->objectName().mid(4);
        return ids;
    }
};

}  // namespace

class TestQuickPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void preferredSize_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<MenuScale>("scale");
        QTest::addColumn<int>("visibleHeight");
        QTest::addColumn<QSize>("size");
        // At least four rows count; the cap is the visible height less 160
        // within 420...620, and 620 without a screen.
        QTest::newRow("three tiny") << 3 << MenuScale::tiny << 875 << QSize(300, 272);
        QTest::newRow("twenty medium, 1000 free") << 20 << MenuScale::medium << 1000 << QSize(340, 620);
        QTest::newRow("twenty medium, 500 free") << 20 << MenuScale::medium << 500 << QSize(340, 420);
        QTest::newRow("twenty medium, 700 free") << 20 << MenuScale::medium << 700 << QSize(340, 540);
        QTest::newRow("twenty medium, no screen") << 20 << MenuScale::medium << 0 << QSize(340, 620);
        QTest::newRow("five small") << 5 << MenuScale::small << 875 << QSize(320, 350);
        QTest::newRow("five large") << 5 << MenuScale::large << 875 << QSize(370, 440);
        QTest::newRow("five xlarge") << 5 << MenuScale::xlarge << 875 << QSize(410, 486);
    }
    // The first show makes the panel at the preferred size.
    void preferredSize()
    {
        QFETCH(int, count);
        QFETCH(MenuScale, scale);
        QFETCH(int, visibleHeight);
        QFETCH(QSize, size);
        Rig rig([scale](MendoSettings& s) { s.quickMenuSize = scale; });
        rig.app.state->setQuickActions(actions(count));
        rig.desktop.screens = screenWithVisibleHeight(visibleHeight);
        QCOMPARE(rig.quick.preferredPanelSize(*rig.app.state), size);
        rig.show();
        QCOMPARE(rig.quick.panel()->size(), size);
    }

    void storedSize_data()
    {
        QTest::addColumn<QVariant>("width");
        QTest::addColumn<QVariant>("height");
        QTest::addColumn<QSize>("size");
        QTest::newRow("too narrow: all ignored") << QVariant(250.0) << QVariant(400.0) << QSize(300, 272);
        QTest::newRow("too low: all ignored") << QVariant(400.0) << QVariant(259.0) << QSize(300, 272);
        QTest::newRow("large: capped") << QVariant(900.0) << QVariant(900.0) << QSize(560, 620);
        QTest::newRow("in range") << QVariant(333.0) << QVariant(444.0) << QSize(333, 444);
        QTest::newRow("not numbers") << QVariant(QStringLiteral("wide")) << QVariant() << QSize(300, 272);
    }
    void storedSize()
    {
        QFETCH(QVariant, width);
        QFETCH(QVariant, height);
        QFETCH(QSize, size);
        Rig rig;
        rig.app.state->setQuickActions(actions(3));
        rig.desktop.screens = screenWithVisibleHeight(1000);
        rig.app.defaults.values.insert(QStringLiteral("mendo.quickPanel.width"), width);
        if (height.isValid())
            rig.app.defaults.values.insert(QStringLiteral("mendo.quickPanel.height"), height);
        rig.show();
        QCOMPARE(rig.quick.panel()->size(), size);
    }

    // A resize of the shown panel is stored within the limits; the size is
    // decided once, so later settings leave the panel alone.
    void resizeIsStoredAndSizeIsDecidedOnce()
    {
        Rig rig;
        rig.desktop.screens = screenWithVisibleHeight(700);
        rig.show();
        rig.quick.panel()->resize(280, 1000);
        rig.settle();
        QCOMPARE(rig.app.defaults.number(QStringLiteral("mendo.quickPanel.width")), 300.0);
        QCOMPARE(rig.app.defaults.number(QStringLiteral("mendo.quickPanel.height")), 540.0);

        rig.quick.panel()->resize(350, 400);
        rig.app.state->editSettings([](MendoSettings& s) { s.quickMenuSize = MenuScale::xlarge; });
        rig.app.state->setQuickActions(actions(2));
        rig.quick.close();
        rig.show();
        QCOMPARE(rig.quick.panel()->size(), QSize(350, 400));
    }

    // Shown again while showing: same place, fresh monitors, the front
    // application remembered again. Shown again after hiding: at the pointer.
    void showingAgain()
    {
        Rig rig;
        rig.app.state->setQuickActions(actions(3));
        rig.desktop.pointer = QPoint(100, 500);
        rig.show();
        QCOMPARE(rig.focus.rememberedBundleIdentifier(), Rig::editor.bundleIdentifier);
        // Left edge 14 right of the pointer, top edge 18 above it.
        QCOMPARE(rig.quick.panel()->pos(), QPoint(114, 482));
        QCOMPARE(rig.globalInput.installed(), 1);

        rig.desktop.pointer = QPoint(900, 300);
        rig.workspace.front = Rig::other;  // without a notice: only the show remembers it
        rig.show();
        QCOMPARE(rig.quick.panel()->pos(), QPoint(114, 482));
        QCOMPARE(rig.globalInput.installed(), 1);
        QVERIFY(rig.quick.dismissMonitorsInstalled());
        QCOMPARE(rig.focus.rememberedBundleIdentifier(), Rig::other.bundleIdentifier);

        rig.quick.close();
        rig.show();
        QCOMPARE(rig.quick.panel()->pos(), QPoint(914, 282));
        // Near the bottom right corner the right and bottom margins hold.
        rig.quick.close();
        rig.desktop.pointer = QPoint(1439, 899);
        rig.show();
        const QSize size = rig.quick.panel()->size();
        QCOMPARE(rig.quick.panel()->pos(), QPoint(1440 - 16 - size.width(), 900 - 16 - size.height()));
    }

    void toggleShowsAndHides()
    {
        Rig rig;
        rig.quick.toggle(*rig.app.state);
        QVERIFY(rig.quick.isPanelVisible());
        QCOMPARE(rig.quick.appState(), rig.app.state.get());
        rig.quick.toggle(*rig.app.state);
        QVERIFY(!rig.quick.isPanelVisible());
        QCOMPARE(rig.globalInput.installed(), 0);
    }

    // The panel leaves the focus where it was, so Escape would go to the
    // application in front (and cancel its dialog): while the panel shows,
    // Escape is held for the panel alone.
    void escapeIsHeldWhileThePanelShows()
    {
        Rig rig;
        const HotkeyChord escape { 53, 0 };
        const quint32 id = QuickPanelController::escapeHotkeyId;
        QVERIFY(!rig.hotkeys.registered.contains(id));
        rig.show();
        rig.show();
        rig.settle();
        QCOMPARE(rig.hotkeys.registered.value(id), escape);
        QCOMPARE(rig.hotkeys.registrations, 1);
        Q_EMIT rig.hotkeys.pressed(id + 1);
        rig.settle();
        QVERIFY(rig.quick.isPanelVisible());
        QVERIFY(rig.hotkeys.press(escape));
        rig.settle();
        QVERIFY(!rig.quick.isPanelVisible());
        QVERIFY(!rig.hotkeys.registered.contains(id));

        // However it hides, Escape is given back.
        rig.show();
        rig.settle();
        QVERIFY(rig.quick.holdsEscape());
        rig.globalInput.send(GlobalInputEvent::Type::leftMouseDown);
        rig.settle();
        QVERIFY(!rig.quick.isPanelVisible());
        QVERIFY(!rig.hotkeys.registered.contains(id));

        // Another program holds Escape: the panel shows all the same.
        rig.hotkeys.heldElsewhere = { escape };
        rig.show();
        rig.settle();
        QVERIFY(rig.quick.isPanelVisible());
        QVERIFY(!rig.quick.holdsEscape());
    }

    void dismissal_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("hides");
        QTest::newRow("Escape") << "Escape" << true;
        QTest::newRow("another key") << "key A" << false;
        QTest::newRow("click in another application") << "outside" << true;
        QTest::newRow("click in another MendoAI window") << "own window" << true;
        QTest::newRow("click inside") << "inside" << false;
        QTest::newRow("window manager's close request") << "close request" << true;
        QTest::newRow("close button") << "close button" << true;
    }
    void dismissal()
    {
        QFETCH(QString, how);
        QFETCH(bool, hides);
        Rig rig;
        rig.show();
        FloatingPanel* panel = rig.quick.panel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        QWidget otherWindow;
        otherWindow.resize(100, 100);
        otherWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&otherWindow));
        QSignalSpy visibility(&rig.quick, &QuickPanelController::panelVisibilityChanged);

        if (how == u"Escape")
            QTest::keyClick(otherWindow.windowHandle(), Qt::Key_Escape);
        else if (how == u"key A")
            QTest::keyClick(otherWindow.windowHandle(), Qt::Key_A);
        else if (how == u"outside")
            rig.globalInput.send(GlobalInputEvent::Type::leftMouseDown);
        else if (how == u"own window")
            QTest::mouseClick(otherWindow.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
        else if (how == u"inside")
            QTest::mouseClick(panel->windowHandle(), Qt::LeftButton, {}, QPoint(150, 8));
        else if (how == u"close request")
            panel->close();
        else if (how == u"close button")
            panel->findChild<MacCloseButton*>()->click();
        rig.settle();

        QCOMPARE(rig.quick.isPanelVisible(), !hides);
        QCOMPARE(rig.quick.dismissMonitorsInstalled(), !hides);
        QCOMPARE(rig.globalInput.installed(), hides ? 0 : 1);
        QCOMPARE(visibility, hides ? QList<QList<QVariant>> { { false } } : QList<QList<QVariant>> {});
        // The same panel comes back.
        rig.show();
        QCOMPARE(rig.quick.panel(), panel);
        QVERIFY(rig.quick.isPanelVisible());
    }

    void rowDispatch_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QStringList>("assistant");
        QTest::addColumn<QStringList>("clipboard");
        QTest::addColumn<QStringList>("engine");
        QTest::newRow("ai, nothing selected") << "ai" << "" << QStringList { "chat []" } << QStringList() << QStringList();
        QTest::newRow("ai with a selection")
            << "ai" << "hello there" << QStringList { "chat [hello there]" } << QStringList() << QStringList();
        QTest::newRow("clipboard") << "clipboard" << "" << QStringList() << QStringList { "show" } << QStringList();
        QTest::newRow("a style") << "style:professional" << "" << QStringList() << QStringList()
                                 << QStringList { "style:professional [selected] English styles=17" };
        QTest::newRow("translate") << "translate" << "" << QStringList() << QStringList()
                                   << QStringList { "translate [selected] English styles=17" };
    }
    // A row click puts the panel away before its action starts.
    void rowDispatch()
    {
        QFETCH(QString, id);
        QFETCH(QString, selection);
        QFETCH(QStringList, assistant);
        QFETCH(QStringList, clipboard);
        QFETCH(QStringList, engine);
        Rig rig;
        rig.app.focused.selection = selection;
        rig.show();
        QAbstractButton* row = rig.view().row(id);
        QVERIFY(row);
        row->click();
        QVERIFY(!rig.quick.isPanelVisible());
        QCOMPARE(rig.globalInput.installed(), 0);
        rig.settle();
        QCOMPARE(rig.assistantFakes.shown(), assistant.value(0));
        QCOMPARE(rig.clipboardRig.controller->isPanelVisible(), !clipboard.isEmpty());
        QCOMPARE(rig.app.engine.calls, engine);
        QVERIFY(rig.statusesWhileShown.isEmpty());
        if (!engine.isEmpty()) {
            // Pasted back, the sample text left alone.
            QVERIFY(rig.app.selection.calls.last().startsWith(QStringLiteral("paste result")));
            QCOMPARE(rig.app.state->sampleText(), MendoAppState::initialSampleText);
        }
    }

    // The language menu sits on the "translate" row only; a choice is saved,
    // even when it is the current language, and translates at once.
    void languageMenu()
    {
        Rig rig;
        rig.app.state->setQuickActions(
            { QuickAction { "ai" }, QuickAction { "translate" }, QuickAction { "style:translate" } });
        rig.show();
        QAbstractButton* button = rig.view().languageButton();
        QVERIFY(button);
        QCOMPARE(button->parentWidget(), rig.view().row(QStringLiteral("translate")));
        for (const QString& id : { QStringLiteral("ai"), QStringLiteral("style:translate") })
            QVERIFY(!rig.view().row(id)->findChild<QAbstractButton*>(QStringLiteral("languageMenu")));

        button->click();
        auto* menu = button->findChild<QMenu*>(QStringLiteral("languages"));
        QVERIFY(menu);
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 100);
        QStringList checked;
        for (QAction* item : items) {
            if (!item->icon().isNull())
                checked << item->text();
        }
        QCOMPARE(checked, QStringList { "English" });

        const int writesBefore = rig.app.defaults.writes;
        items.first()->trigger();  // English again
        rig.settle();
        QVERIFY(rig.app.defaults.writes > writesBefore);
        QVERIFY(!rig.quick.isPanelVisible());
        QCOMPARE(rig.app.engine.calls, QStringList { "translate [selected] English styles=17" });

        rig.show();
        rig.view().languageButton()->click();
        menu = rig.view().languageButton()->findChild<QMenu*>(QStringLiteral("languages"));
        menu->actions().at(4)->trigger();  // German
        rig.settle();
        QCOMPARE(rig.app.state->settings().targetLanguage, QStringLiteral("German"));
        QCOMPARE(rig.app.engine.calls.last(), QStringLiteral("translate [selected] German styles=17"));
        // The rows show the new target language.
        QCOMPARE(rig.view().languageButton()->accessibleName(), QStringLiteral("German"));
    }

    // The rows follow the published actions and language; without actions
    // the header stays.
    void rowsFollowTheState()
    {
        Rig rig;
        rig.show();
        QCOMPARE(rig.rowIds(), QuickAction::defaultActionIds());
        rig.app.state->setQuickActions({ QuickAction { "layout" }, QuickAction { "ai" } });
        QCOMPARE(rig.rowIds(), (QStringList { "layout", "ai" }));
        QCOMPARE(rig.view().row("ai")->accessibleName(), QStringLiteral("AI assistant"));
        rig.app.setLanguage(UiLanguage::ru);
        QCOMPARE(rig.view().row("ai")->accessibleName(), QStringLiteral("AI помощник"));

        rig.app.state->setQuickActions({});
        QVERIFY(rig.rowIds().isEmpty());
        QStringList texts;
        for (QLabel* label : rig.view().findChildren<QLabel*>())
            texts << label->text();
        QVERIFY(texts.contains(QStringLiteral("MendoAI")));
        QVERIFY(rig.view().findChild<MacCloseButton*>());
    }

    void metricsPerScale_data()
    {
        QTest::addColumn<MenuScale>("scale");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<int>("verticalPadding");
        QTest::newRow("tiny") << MenuScale::tiny << 7 << 13 << 8;
        QTest::newRow("small") << MenuScale::small << 8 << 14 << 9;
        QTest::newRow("medium") << MenuScale::medium << 9 << 15 << 11;
        QTest::newRow("large") << MenuScale::large << 10 << 16 << 13;
        QTest::newRow("xlarge") << MenuScale::xlarge << 11 << 17 << 15;
    }
    // The rows take the metrics of the menu size as it changes.
    void metricsPerScale()
    {
        QFETCH(MenuScale, scale);
        QFETCH(int, spacing);
        QFETCH(int, fontSize);
        QFETCH(int, verticalPadding);
        Rig rig;
        rig.show();
        rig.app.state->editSettings([scale](MendoSettings& s) { s.quickMenuSize = scale; });
        QAbstractButton* row = rig.view().row("ai");
        QCOMPARE(row->parentWidget()->layout()->spacing(), spacing);
        QCOMPARE(row->font().pixelSize(), fontSize);
        QCOMPARE(row->sizeHint().height(), 2 * verticalPadding + QFontMetrics(row->font()).height());
    }
};

QTEST_MAIN(TestQuickPanel)
#include "test_quick_panel.moc"
