#include "base/Clock.h"
#include "engine/AccessibilityTextReader.h"
#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "fakes/FakeFocusedTextAccess.h"
#include "fakes/FakeKeyboardEvents.h"
#include "fakes/FakePasteboard.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/RecordingClipboardSuppression.h"
#include "platform/atspi/AtspiAccessibility.h"
#include "platform/atspi/AtspiPermissions.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace mendo;

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(15000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The process of the active window, as the workspace sees it.
qint64 activeWindowPid()
{
    const QRegularExpression windowId(QStringLiteral("# (0x[0-9a-f]+)"));
    const auto window = windowId.match(run(QStringLiteral("xprop"), {"-root", "_NET_ACTIVE_WINDOW"}));
    if (!window.hasMatch())
        return 0;
    const QRegularExpression pid(QStringLiteral("= (\\d+)"));
    const auto match = pid.match(run(QStringLiteral("xprop"), {"-id", window.captured(1), "_NET_WM_PID"}));
    return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

// A target application, stopped when the test ends.
struct Target {
    QProcess process;
    ~Target()
    {
        process.kill();
        process.waitForFinished(3000);
    }
    void start(const QString& kind)
    {
        if (kind == QLatin1String("qt"))
            process.start(QStringLiteral(MENDO_A11Y_TARGET), {"--text", "hello world"});
        else
            process.start(QStringLiteral("zenity"), {"--entry", "--title", "Mendo GTK target", "--entry-text",
                                                     "hello world"});
    }
    qint32 pid() const { return qint32(process.processId()); }
};

}  // namespace

class TestAtspiAccessibility : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        AtspiPermissions permissions;
        QVERIFY(permissions.requestAccessibility());
        QVERIFY(permissions.accessibilityGranted());
    }

    void readReplaceFocusAndPaste_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("Qt line edit") << "qt";
        QTest::newRow("GTK entry") << "gtk";
    }
    void readReplaceFocusAndPaste()
    {
        QFETCH(QString, kind);
        RealClock clock;
        AtspiAccessibility ax(clock);
        QVERIFY(ax.isAvailable());
        Target target;
        target.start(kind);
        QVERIFY(target.process.waitForStarted());
        // The window manager activates new windows; make sure of it, since a
        // busy machine may map the window before the manager is watching.
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(!(window = run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--pid",
                                                                           QString::number(target.pid())})
                                               .section(QLatin1Char('\n'), 0, 0))
                                      .isEmpty(),
                                 15000);
        run(QStringLiteral("xdotool"), {"windowactivate", "--sync", window});
        // The target is found the way MendoAI finds it: by the active window's process.
        QTRY_COMPARE_WITH_TIMEOUT(activeWindowPid(), qint64(target.pid()), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(ax.applicationElement(target.pid()), 15000);
        const AXElement application = ax.applicationElement(target.pid());
        AXElement field;
        QTRY_VERIFY_WITH_TIMEOUT((field = ax.elementAttribute(application, ax::FocusedUIElement)), 10000);
        QCOMPARE(ax.stringAttribute(field, ax::Role), QString(ax::TextFieldRole));
        QCOMPARE(ax.stringAttribute(field, ax::Value), QStringLiteral("hello world"));
        QCOMPARE(ax.numberAttribute(field, ax::NumberOfCharacters), 11.0);
        QVERIFY(ax.frameAttribute(field));
        QCOMPARE(ax.elementAttribute(application, ax::FocusedWindow) != nullptr, true);

        // Select the last word as a user would.
        run(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "End", "ctrl+shift+Left"});
        QTRY_COMPARE_WITH_TIMEOUT(ax.stringAttribute(field, ax::SelectedText), std::optional<QString>("world"), 5000);

        const RunningApplication app{target.pid(), QStringLiteral("org.example.Target"), 0};
        FakeWorkspace workspace;
        workspace.applications = {app};
        FocusService focus(workspace, ax);
        workspace.bringToFront(app);
        QVERIFY(focus.rememberedAccessibleWindow());
        AccessibilityTextReader reader(ax, workspace, focus);
        QCOMPARE(reader.selectedText(), QStringLiteral("world"));
        QCOMPARE(reader.selectedTextForLayout(), QStringLiteral("world"));
        QVERIFY(!reader.requiresPasteFallback(field));
        QVERIFY(reader.replaceSelectedText(QStringLiteral("there")));
        QTRY_COMPARE_WITH_TIMEOUT(ax.stringAttribute(field, ax::Value), std::optional<QString>("hello there"), 5000);

        // The focus moves on (to the dialog's button, where there is one);
        // finding the editor brings it back without selecting the draft.
        run(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "Tab"});
        // Retried as the reply paste does: the Tab may still be on its way.
        QTRY_VERIFY_WITH_TIMEOUT(focus.focusAIReplyEditor(target.pid()), 2000);
        QVERIFY(ax.isSameElement(focus.replyEditor(), field));

        // A reply paste confirmed by the field's change; the keystrokes are
        // typed by xdotool in place of the paste shortcut.
        FakePasteboard pasteboard;
        FakeKeyboardEvents keyboard;
        keyboard.onPost = [](EditShortcut shortcut) {
            if (shortcut == EditShortcut::Paste)
                run(QStringLiteral("xdotool"), {"type", "--delay", "0", "!"});
        };
        RecordingClipboardSuppression history;
        FakeFocusedTextAccess unused;
        PasteboardService service(clock, pasteboard, keyboard, focus, history, unused);
        bool done = false;
        QString error;
        [](PasteboardService& service, qint32 pid, bool& done, QString& error) -> Task<> {
            try {
                co_await service.pasteAIReply(QStringLiteral("!"), pid);
            } catch (const std::exception& e) {
                error = describeException(e);
            }
            done = true;
        }(service, target.pid(), done, error);
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QCOMPARE(error, QString());
        QCOMPARE(ax.stringAttribute(field, ax::Value).value_or("-"), QStringLiteral("hello there!"));
    }
};

QTEST_MAIN(TestAtspiAccessibility)
#include "test_atspi_accessibility.moc"
