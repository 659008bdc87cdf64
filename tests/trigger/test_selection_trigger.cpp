// The selection trigger and the floating button over fakes, the settings set
// in memory: when a check runs, what it reads, what it offers and when it
// offers nothing; where the button stands and what its click does.

#include "fakes/FakeKeyboardEvents.h"
#include "trigger/FloatingButtonController.h"
#include "panels/QuickPanelRig.h"
#include "trigger/SelectionTriggerService.h"
#include "ui/FloatingPanel.h"

#include <QCoreApplication>
#include <QTest>

using namespace mendo;

namespace {

const QString copyRead = QStringLiteral("read selectAll=0 fallback=0 standard window 0");

struct Trigger {
    bool autoMenu = false;
    bool button = false;
};

struct Rig : QuickPanelRig {
    FakeKeyboardEvents keyboard;
    FloatingButtonController button { desktop };
    SelectionTriggerService trigger { { app.clock, workspace, focus, app.focused, app.selection, keyboard,
        globalInput } };

    explicit Rig(Trigger settings)
    {
        set(settings);
        trigger.start(*app.state, quick, button);
        settle();
    }
    void set(Trigger settings)
    {
        app.state->editSettings([settings](MendoSettings& s) {
            s.autoQuickMenuEnabled = settings.autoMenu;
            s.floatingButtonVisible = settings.button;
        });
    }
    void settle(Millis by = Millis(0))
    {
        QCoreApplication::processEvents();
        app.clock.advance(by);
        QCoreApplication::processEvents();
        app.clock.advance(Millis(100));  // the copy's own pauses are virtual
        QCoreApplication::processEvents();
    }
    void keyUp() { globalInput.send(GlobalInputEvent::Type::keyUp); }
    // A selection and the check it leads to.
    void select(const QString& text)
    {
        app.focused.selection = text;
        globalInput.send(GlobalInputEvent::Type::leftMouseUp);
        settle(Millis(5000));
    }
};

}  // namespace

class TestSelectionTrigger : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Both off: nothing is watched outside MendoAI, no check runs, and the
    // button stays hidden whatever happens.
    void bothOffOffersNothing()
    {
        Rig rig({ false, true });
        rig.select(QStringLiteral("hello"));
        QVERIFY(rig.button.isPanelVisible());
        QCOMPARE(rig.globalInput.installed(), 2);

        rig.set({ false, false });
        rig.settle();
        QVERIFY(!rig.button.isPanelVisible());
        QCOMPARE(rig.globalInput.installed(), 0);
        QVERIFY(!rig.trigger.watchesOtherApplications());
        rig.trigger.scheduleSelectionCheck();
        rig.settle(Millis(5000));
        QVERIFY(rig.app.selection.calls.isEmpty());
        QVERIFY(!rig.quick.isPanelVisible());
    }

    void oneCheckAfterTheLastEventOfABurst()
    {
        Rig rig({ false, true });
        for (int i = 0; i < 5; ++i) {
            rig.keyUp();
            QCoreApplication::processEvents();
            rig.app.clock.advance(Millis(100));
        }
        QVERIFY(rig.app.selection.calls.isEmpty());
        rig.app.clock.advance(Millis(129));
        QVERIFY(rig.app.selection.calls.isEmpty());
        rig.app.clock.advance(Millis(1));
        QCoreApplication::processEvents();
        QCOMPARE(rig.app.selection.calls, QStringList { copyRead });
    }

    void nothingWhileMendoIsInFrontOrThePanelShows()
    {
        Rig rig({ false, true });
        rig.select(QStringLiteral("first"));
        const QString signature = rig.trigger.lastSelectionSignature();
        QCOMPARE(signature, QStringLiteral("100:first"));
        rig.button.orderOut();

        rig.workspace.front
            = RunningApplication { qint32(QCoreApplication::applicationPid()), QStringLiteral("ai.mendo.MendoAI"), 5 };
        rig.select(QStringLiteral("in MendoAI"));
        rig.workspace.front = RunningApplication { 300, QStringLiteral("ai.mendo.MendoAI"), 6 };
        rig.workspace.ownIdentifiers = { QStringLiteral("ai.mendo.MendoAI") };
        rig.select(QStringLiteral("in the other build"));
        rig.workspace.front = Rig::editor;
        rig.quick.show(*rig.app.state);
        rig.select(QStringLiteral("under the panel"));
        QCOMPARE(rig.trigger.lastSelectionSignature(), signature);
        QVERIFY(!rig.button.isPanelVisible());
    }

    // The same text in the same process is offered once a second at most; a
    // blank selection hides the button and forgets it.
    void repeatsAndBlanks()
    {
        Rig rig({ false, true });
        rig.app.focused.selection = QStringLiteral("hello");
        rig.keyUp();
        rig.settle(Millis(230));
        QVERIFY(rig.button.isPanelVisible());
        rig.button.orderOut();

        rig.keyUp();
        rig.settle(Millis(230));  // 0.43 s after it was offered
        QVERIFY(!rig.button.isPanelVisible());
        rig.app.clock.advance(Millis(800));
        rig.keyUp();
        rig.settle(Millis(230));  // 1.0 s and more
        QVERIFY(rig.button.isPanelVisible());
        rig.button.orderOut();

        rig.workspace.front = Rig::other;
        rig.keyUp();
        rig.settle(Millis(230));
        QVERIFY(rig.button.isPanelVisible());
        QCOMPARE(rig.trigger.lastSelectionSignature(), QStringLiteral("200:hello"));

        rig.app.selection.selection = QStringLiteral(" \n\t");
        rig.select(QStringLiteral("  \n "));
        QVERIFY(!rig.button.isPanelVisible());
        QCOMPARE(rig.trigger.lastSelectionSignature(), QString());
        rig.select(QStringLiteral("hello"));
        QVERIFY(rig.button.isPanelVisible());
    }

    void whatIsReadAndOffered_data()
    {
        QTest::addColumn<bool>("autoMenu");
        QTest::addColumn<QString>("accessible");
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<bool>("copyFails");
        QTest::addColumn<QStringList>("reads");
        QTest::addColumn<QString>("shown");  // "panel", "button" or "nothing"
        QTest::newRow("accessible selection: no copy")
            << false << "text" << false << false << QStringList() << "button";
        QTest::newRow("copied") << false << "" << false << false << QStringList { copyRead } << "button";
        QTest::newRow("the copy fails") << false << "" << false << true << QStringList { copyRead } << "nothing";
        QTest::newRow("terminal: no copy") << false << "" << true << false << QStringList() << "nothing";
        QTest::newRow("terminal, accessible") << false << "ls -la" << true << false << QStringList() << "button";
        QTest::newRow("the automatic menu wins")
            << true << "text" << false << false << QStringList() << "panel";
    }
    void whatIsReadAndOffered()
    {
        QFETCH(bool, autoMenu);
        QFETCH(QString, accessible);
        QFETCH(bool, terminal);
        QFETCH(bool, copyFails);
        QFETCH(QStringList, reads);
        QFETCH(QString, shown);
        Rig rig({ autoMenu, true });
        if (terminal)
            rig.keyboard.style = EditingStyle::TerminalPrimary;
        if (copyFails)
            rig.app.selection.readError = [] { throw std::runtime_error("No selected text."); };
        rig.select(accessible);
        QCOMPARE(rig.app.selection.calls, reads);
        const QString actual = rig.quick.isPanelVisible() ? QStringLiteral("panel")
            : rig.button.isPanelVisible()                 ? QStringLiteral("button")
                                                          : QStringLiteral("nothing");
        QCOMPARE(actual, shown);
        if (shown != u"nothing")
            QCOMPARE(rig.focus.rememberedBundleIdentifier(), Rig::editor.bundleIdentifier);
    }

    void buttonPlace_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("topLeft");
        // Visible frame (0, 25) to (1440, 900): 12 inside it.
        QTest::newRow("bottom-left corner") << QPoint(0, 899) << QPoint(12, 900 - 12 - 54);
        QTest::newRow("top-right corner") << QPoint(1439, 25) << QPoint(1440 - 12 - 54, 25 + 12);
        QTest::newRow("middle") << QPoint(700, 400) << QPoint(712, 400 - 8 - 54);
    }
    void buttonPlace()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, topLeft);
        Rig rig({ false, true });
        rig.desktop.pointer = pointer;
        rig.button.show(*rig.app.state, rig.quick);
        QCOMPARE(rig.button.panel()->geometry(), QRect(topLeft, QSize(54, 54)));
        // Shown again while showing: it stays; after hiding: at the pointer.
        rig.desktop.pointer = QPoint(300, 300);
        rig.button.show(*rig.app.state, rig.quick);
        QCOMPARE(rig.button.panel()->pos(), topLeft);
        rig.button.orderOut();
        rig.button.show(*rig.app.state, rig.quick);
        QCOMPARE(rig.button.panel()->pos(), QPoint(312, 300 - 8 - 54));
    }

    void buttonClickAndSetting()
    {
        Rig rig({ false, false });
        rig.button.show(*rig.app.state, rig.quick);
        QVERIFY(!rig.button.panel());  // switched off: nothing made

        rig.set({ false, true });
        rig.button.show(*rig.app.state, rig.quick);
        QVERIFY(rig.button.isPanelVisible());
        bool buttonShownWhenPanelOpened = true;
        QObject::connect(&rig.quick, &QuickPanelController::panelVisibilityChanged,
            [&] { buttonShownWhenPanelOpened = rig.button.isPanelVisible(); });
        rig.button.view()->button()->click();
        QVERIFY(rig.quick.isPanelVisible());
        QVERIFY(!buttonShownWhenPanelOpened);

        rig.quick.close();
        rig.button.show(*rig.app.state, rig.quick);
        rig.app.state->editSettings([](MendoSettings& s) { s.floatingButtonVisible = false; });
        rig.button.show(*rig.app.state, rig.quick);
        QVERIFY(!rig.button.isPanelVisible());
    }
};

QTEST_MAIN(TestSelectionTrigger)
#include "test_selection_trigger.moc"
