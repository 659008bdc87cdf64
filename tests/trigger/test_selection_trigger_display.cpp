// The selection trigger in this process over the real X11 seams, switched on
// in memory: a selection made with xdotool in the Qt target field brings the
// floating button up while the field keeps the focus, or with the automatic
// menu the quick panel; in a field that shows no accessible selection one
// copy is typed and its own key-ups start no other; in xterm typing makes
// MendoAI type nothing. Keystrokes are counted at the keyboard seam.

#include "app/AppStateRig.h"
#include "app/SelectionTransfer.h"
#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "fakes/FakeFocusedTextAccess.h"
#include "fakes/RecordingClipboardSuppression.h"
#include "trigger/FloatingButtonController.h"
#include "panels/QuickPanelController.h"
#include "trigger/SelectionTriggerService.h"
#include "platform/x11/ApplicationIdResolver.h"
#include "platform/x11/X11GlobalInputMonitor.h"
#include "platform/x11/X11KeyboardEvents.h"
#include "platform/x11/X11PanelDesktop.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11PostedKeys.h"
#include "platform/x11/X11Workspace.h"
#include "support/X11TestApps.h"
#include "ui/FloatingPanel.h"

#include <QStandardPaths>

using namespace mendo;
using namespace mendo::testing;

namespace {

// Counts the shortcuts the trigger has typed.
class CountingKeyboard final : public KeyboardEvents {
public:
    explicit CountingKeyboard(KeyboardEvents& real)
        : m_real(real)
    {
    }
    ShortcutResult postShortcut(EditShortcut shortcut) override
    {
        const ShortcutResult result = m_real.postShortcut(shortcut);
        if (result == ShortcutResult::Posted)
            ++posted;
        return result;
    }
    EditingStyle focusedEditingStyle() override { return m_real.focusedEditingStyle(); }
    Qt::KeyboardModifiers heldModifiers() const override { return m_real.heldModifiers(); }
    int posted = 0;

private:
    KeyboardEvents& m_real;
};

}  // namespace

class TestSelectionTriggerDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("MendoAI"));
        m_realKeyboard.setPostedKeys(&m_posted);
    }
    void cleanup()
    {
        m_target.reset();
        m_trigger.reset();
    }

    void buttonNearTheSelection();
    void automaticMenu();
    void ownCopyStartsNoOther();
    void terminalGetsNoKeystroke();

private:
    // Starts `app`, waits for it in front and starts the trigger.
    bool begin(std::unique_ptr<OtherApp> app, bool autoMenu, bool button)
    {
        m_target = std::move(app);
        if (!waitUntilFrontmost(m_workspace, m_target->pid()))
            return false;
        QTest::qWait(300);
        m_app.state->editSettings([=](MendoSettings& s) {
            s.autoQuickMenuEnabled = autoMenu;
            s.floatingButtonVisible = button;
        });
        m_trigger = std::make_unique<SelectionTriggerService>(SelectionTriggerService::Services {
            m_clock, m_workspace, m_focus, m_focusedText, m_transfer, m_keyboard, m_global });
        m_trigger->start(*m_app.state, m_quick, m_button);
        m_keyboard.posted = 0;
        return true;
    }
    QRect activeWindowGeometry() { return xdotoolGeometry({ "getactivewindow", "getwindowgeometry", "--shell" }); }
    // Double-clicks the first word of the target's field.
    QPoint doubleClickFirstWord()
    {
        const QRect window = activeWindowGeometry();
        const QPoint word = window.topLeft() + QPoint(20, 18);
        xdotool({ "mousemove", QString::number(word.x()), QString::number(word.y()), "click", "--repeat", "2",
            "--delay", "80", "1" });
        return word;
    }

    RealClock m_clock;
    x11::X11Connection m_connection;
    x11::X11PostedKeys m_posted { m_clock };
    X11KeyboardEvents m_realKeyboard;
    CountingKeyboard m_keyboard { m_realKeyboard };
    X11Pasteboard m_pasteboard { m_connection };
    ApplicationIdResolver m_resolver { QStringList {} };
    X11Workspace m_workspace { m_connection, m_resolver };
    X11GlobalInputMonitor m_global { m_connection, m_posted };
    X11PanelDesktop m_desktop { m_connection };
    FocusService m_focus { m_workspace };
    RecordingClipboardSuppression m_history;
    // No accessible selection anywhere: every read falls to the copy.
    FakeFocusedTextAccess m_focusedText;
    PasteboardService m_service { m_clock, m_pasteboard, m_keyboard, m_focus, m_history, m_focusedText };
    PasteboardSelectionTransfer m_transfer { m_service };
    AppStateRig m_app;
    QuickPanelController m_quick { { m_desktop, m_global, m_app.defaults, m_focus, m_focusedText } };
    FloatingButtonController m_button { m_desktop };
    std::unique_ptr<SelectionTriggerService> m_trigger;
    std::unique_ptr<OtherApp> m_target;
};

void TestSelectionTriggerDisplay::buttonNearTheSelection()
{
    QVERIFY(begin(startTargetApp(QStringLiteral("hello brave world"), { QStringLiteral("--geometry"),
                      QStringLiteral("400x80+300+300") }),
        false, true));
    const QString field = activeWindow();
    const QPoint pointer = doubleClickFirstWord();
    QTRY_VERIFY_WITH_TIMEOUT(m_button.isPanelVisible(), 10000);
    QCOMPARE(m_button.panel()->pos(), pointer + QPoint(12, -8 - 54));
    QCOMPARE(activeWindow(), field);
    QTRY_VERIFY(m_trigger->lastSelectionSignature().endsWith(QStringLiteral(":hello")));

    const QPoint center = m_button.panel()->geometry().center();
    clickAt(center);
    QTRY_VERIFY_WITH_TIMEOUT(m_quick.isPanelVisible(), 5000);
    QVERIFY(!m_button.isPanelVisible());
    QCOMPARE(activeWindow(), field);
    m_quick.close();
}

void TestSelectionTriggerDisplay::automaticMenu()
{
    QVERIFY(begin(startTargetApp(QStringLiteral("good morning"), { QStringLiteral("--geometry"),
                      QStringLiteral("400x80+300+300") }),
        true, true));
    doubleClickFirstWord();
    QTRY_VERIFY_WITH_TIMEOUT(m_quick.isPanelVisible(), 10000);
    QVERIFY(!m_button.isPanelVisible());
    m_quick.close();
}

// The copy's own key-ups never reach the monitors: one copy, then silence.
void TestSelectionTriggerDisplay::ownCopyStartsNoOther()
{
    QVERIFY(begin(startTargetApp(QStringLiteral("copy me once"), { QStringLiteral("--geometry"),
                      QStringLiteral("400x80+300+300") }),
        false, true));
    doubleClickFirstWord();
    QTRY_COMPARE_WITH_TIMEOUT(m_keyboard.posted, 1, 10000);
    QTest::qWait(3000);
    QCOMPARE(m_keyboard.posted, 1);
    m_button.orderOut();
}

void TestSelectionTriggerDisplay::terminalGetsNoKeystroke()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xterm")).isEmpty())
        QSKIP("xterm is not installed");
    QVERIFY(begin(std::make_unique<OtherApp>(QStringLiteral("xterm"), QStringList { "-geometry", "60x10+300+300" }),
        false, true));
    QTest::qWait(500);
    xdotool({ "type", "--delay", "60", "echo hello" });
    QTest::qWait(1500);
    QCOMPARE(m_keyboard.posted, 0);
}

QTEST_MAIN(TestSelectionTriggerDisplay)
#include "test_selection_trigger_display.moc"
