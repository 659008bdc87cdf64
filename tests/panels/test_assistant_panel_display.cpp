// The assistant panel over the real desktop (Xvfb, openbox, AT-SPI) with the
// mock service: it opens next to the pointer with the keyboard focus, typing
// reaches its composer, Return and its variants send or break the line,
// styled text pastes plain, a close request or the close button hides it
// with its transcript kept, and a reply goes back into the Qt target or
// zenity with the user's clipboard given back. Screenshots go to the
// artifacts.

#include "app/AppStateRig.h"
#include "engine/AccountCredentials.h"
#include "engine/PasteboardServiceError.h"
#include "fakes/FakeLanguageDetector.h"
#include "panels/AssistantComposerTextView.h"
#include "panels/AssistantPanel.h"
#include "panels/AssistantPanelController.h"
#include "platform/atspi/AtspiPermissions.h"
#include "platform/x11/X11PanelDesktop.h"
#include "support/AtspiTextRoad.h"
#include "support/MockAiService.h"
#include "support/X11TestApps.h"
#include "ui/FloatingPanel.h"
#include "ui/GlassSurface.h"

#include <QDir>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

#include <X11/Xlib.h>

using namespace mendo;
using namespace mendo::testing;

namespace {

// What the window manager sends when the user closes a window.
void sendCloseRequest(quint64 window)
{
    Display* display = XOpenDisplay(nullptr);
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, Window(window), False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
}

// MendoAI's desktop for the panel: the real X11 and AT-SPI seams, the mock
// service on the real clock.
struct Desk : AtspiTextRoad {
    X11PanelDesktop desktop { connection };
    MockAiService mock { clock };
    bool listening = mock.listen();
    AppStateRig app;
    DefaultsAccountCredentials credentials { app.defaults };
    QNetworkAccessManager network;
    FakeLanguageDetector languages;
    AssistantPanelController controller { { clock, app.defaults, desktop, pasteboard, focus, service, mock.aiURL(),
        credentials, network, languages, nullptr } };

    Desk() { controller.attach(*app.state); }

    AssistantPanel* view() const { return controller.view(); }
    QString panelWindow() const { return QString::number(controller.panel()->winId()); }

    void shoot(const QString& name)
    {
        FloatingPanel* panel = controller.panel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        QTest::qWait(400);
        const QImage shot = QGuiApplication::primaryScreen()
                                ->grabWindow(0, panel->x() - 10, panel->y() - 10, panel->width() + 20, panel->height() + 20)
                                .toImage();
        QVERIFY(shot.save(artifactPath(name)));
    }
};

}  // namespace

class TestAssistantPanelDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void chatTakesTheFocusAndTheTyping();
    void replyPastesBack_data();
    void replyPastesBack();
    void replyTargetGone();
    void screenshots();
};

void TestAssistantPanelDisplay::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("MendoAI"));
    AtspiPermissions permissions;
    QVERIFY(permissions.requestAccessibility());
}

void TestAssistantPanelDisplay::chatTakesTheFocusAndTheTyping()
{
    Desk desk;
    auto target = startTargetApp(QStringLiteral("target"));
    QVERIFY(waitUntilFrontmost(desk.workspace, target->pid(), 15000));
    QTRY_COMPARE_WITH_TIMEOUT(desk.focus.rememberedProcessIdentifier(), std::optional<qint32>(target->pid()), 5000);

    xdotool({ "mousemove", "400", "300" });
    desk.controller.show(QStringLiteral("selected words"));
    FloatingPanel* panel = desk.controller.panel();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    QTRY_COMPARE(panel->geometry().topLeft(), QPoint(414, 282));
    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), desk.panelWindow(), 5000);
    AssistantComposerTextView* editor = desk.view()->composerEditor();
    QTRY_VERIFY(editor->hasFocus());

    // Typing lands in the composer; Shift+Return and Alt+Return break the
    // line, Return sends.
    xdotool({ "type", "--delay", "20", "Hello" });
    QTRY_COMPARE_WITH_TIMEOUT(desk.controller.state().requestText, QStringLiteral("Hello"), 5000);
    xdotool({ "key", "shift+Return" });
    xdotool({ "type", "two" });
    xdotool({ "key", "alt+Return" });
    xdotool({ "type", "three" });
    QTRY_COMPARE_WITH_TIMEOUT(desk.controller.state().requestText, QStringLiteral("Hello\ntwo\nthree"), 5000);
    desk.mock.enqueue(MockAiService::Answer::result(QStringLiteral("First answer")));
    xdotool({ "key", "Return" });
    QTRY_COMPARE_WITH_TIMEOUT(desk.mock.requests().size(), 1, 5000);
    QCOMPARE(desk.mock.requests()[0].json().value(QStringLiteral("text")).toString(),
        QStringLiteral("Selected text:\nselected words\n\nRequest:\nHello\ntwo\nthree"));
    QTRY_COMPARE_WITH_TIMEOUT(desk.controller.state().turns.size(), 1, 5000);
    QCOMPARE(editor->toPlainText(), QString());

    // Control+Return sends too; the new turn scrolls into view.
    for (int i = 0; i < 4; ++i) {
        desk.mock.enqueue(MockAiService::Answer::result(QStringLiteral("A long answer line.\n").repeated(12)));
        xdotool({ "type", "--delay", "10", QStringLiteral("q%1").arg(i) });
        xdotool({ "key", "ctrl+Return" });
        QTRY_COMPARE_WITH_TIMEOUT(desk.controller.state().turns.size(), 2 + i, 5000);
    }
    QScrollBar* bar = desk.view()->transcript()->verticalScrollBar();
    QTRY_VERIFY_WITH_TIMEOUT(bar->maximum() > 0 && bar->value() == bar->maximum(), 3000);

    // Styled text copied in another application arrives plain.
    QTemporaryDir dir;
    auto owner = offerClipboard(dir.path(),
        { { QStringLiteral("text/html"), QByteArrayLiteral("<b>Bold</b> <i>words</i>") },
            { QStringLiteral("text/plain"), QByteArrayLiteral("Bold words") } });
    QVERIFY(owner);
    xdotool({ "key", "ctrl+v" });
    QTRY_COMPARE_WITH_TIMEOUT(desk.controller.state().requestText, QStringLiteral("Bold words"), 5000);
    for (QTextBlock block = editor->document()->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            QVERIFY(!format.hasProperty(QTextFormat::FontWeight) && !format.hasProperty(QTextFormat::FontItalic));
        }
    }

    // A close request hides it; the next show has the same transcript, next
    // to the pointer again.
    sendCloseRequest(panel->winId());
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), 5000);
    xdotool({ "mousemove", "300", "200" });
    desk.controller.show(QString());
    QTRY_VERIFY(panel->isVisible());
    QCOMPARE(desk.controller.state().turns.size(), 5);
    QTRY_COMPARE(panel->geometry().topLeft(), QPoint(314, 182));
    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), desk.panelWindow(), 5000);

    // So does the close button.
    MacCloseButton* close = desk.view()->findChild<MacCloseButton*>();
    QVERIFY(close);
    const QPoint onClose = close->mapToGlobal(close->rect().center());
    xdotool({ "mousemove", QString::number(onClose.x()), QString::number(onClose.y()), "click", "1" });
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), 5000);
    QCOMPARE(desk.controller.state().turns.size(), 5);
}

void TestAssistantPanelDisplay::replyPastesBack_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("Qt target") << "qt";
    QTest::newRow("zenity") << "gtk";
}

void TestAssistantPanelDisplay::replyPastesBack()
{
    QFETCH(QString, kind);
    Desk desk;
    auto target = kind == QLatin1String("qt")
        ? startTargetApp(QStringLiteral("draft "))
        : std::make_unique<OtherApp>(
              QStringLiteral("zenity"), QStringList { QStringLiteral("--entry"), QStringLiteral("--entry-text=draft ") });
    QVERIFY(waitUntilFrontmost(desk.workspace, target->pid(), 15000));
    QTRY_COMPARE_WITH_TIMEOUT(desk.focus.rememberedProcessIdentifier(), std::optional<qint32>(target->pid()), 5000);
    AXElement field;
    QTRY_VERIFY_WITH_TIMEOUT((field = desk.reader.focusedElement()), 15000);
    xdotool({ "key", "End" });

    QTemporaryDir dir;
    auto owner = offerClipboard(dir.path(), { { QStringLiteral("text/plain"), QByteArrayLiteral("user clipboard") } });
    QVERIFY(owner);

    desk.mock.enqueue(MockAiService::Answer::result(QStringLiteral("I am fine, thanks!")));
    desk.controller.showReply(QStringLiteral("How are you?"),
        { QStringLiteral("friendly"), QStringLiteral("Friendly"), QString(), QStringLiteral("Not assigned") },
        QStringLiteral("English"));
    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), desk.panelWindow(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(desk.controller.state().resultText, QStringLiteral("I am fine, thanks!"), 5000);

    desk.app.statuses.clear();
    desk.controller.pasteResult();
    QVERIFY(!desk.controller.panel()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!desk.app.statuses.isEmpty(), 10000);
    QCOMPARE(desk.app.statuses.last().section(u' ', 1), QStringLiteral("done Pasted"));
    QVERIFY(waitUntilFrontmost(desk.workspace, target->pid(), 5000));
    QTRY_COMPARE_WITH_TIMEOUT(desk.ax.stringAttribute(field, ax::Value),
        std::optional<QString>(QStringLiteral("draft I am fine, thanks!")), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(desk.pasteboard.string(), std::optional<QString>(QStringLiteral("user clipboard")), 5000);
    QVERIFY(!desk.controller.panel()->isVisible());
}

void TestAssistantPanelDisplay::replyTargetGone()
{
    Desk desk;
    auto target = startTargetApp(QStringLiteral("draft"));
    QVERIFY(waitUntilFrontmost(desk.workspace, target->pid(), 15000));
    QTRY_COMPARE_WITH_TIMEOUT(desk.focus.rememberedProcessIdentifier(), std::optional<qint32>(target->pid()), 5000);
    desk.mock.enqueue(MockAiService::Answer::result(QStringLiteral("Sure")));
    desk.controller.showReply(QStringLiteral("Coffee?"),
        { QStringLiteral("friendly"), QStringLiteral("Friendly"), QString(), QStringLiteral("Not assigned") },
        QStringLiteral("English"));
    QTRY_COMPARE_WITH_TIMEOUT(desk.controller.state().resultText, QStringLiteral("Sure"), 5000);
    target.reset();
    QTest::qWait(300);

    desk.app.statuses.clear();
    desk.controller.pasteResult();
    QTRY_VERIFY_WITH_TIMEOUT(!desk.app.statuses.isEmpty(), 10000);
    QCOMPARE(desk.app.statuses.last().section(u' ', 1),
        QStringLiteral("failed ") + PasteboardServiceError::message(PasteboardServiceError::pasteTargetUnavailable));
    QVERIFY(!desk.controller.panel()->isVisible());
}

void TestAssistantPanelDisplay::screenshots()
{
    Desk desk;
    xdotool({ "mousemove", "200", "150" });
    desk.controller.show(QStringLiteral("The quarterly report is attached; please review the numbers by Friday."));
    QVERIFY(QTest::qWaitForWindowExposed(desk.controller.panel()));
    const auto ask = [&](const QString& question, const QString& answer) {
        desk.mock.enqueue(MockAiService::Answer::result(answer));
        desk.controller.setRequestText(question);
        desk.controller.run();
        QTRY_VERIFY_WITH_TIMEOUT(!desk.controller.state().isRunning, 5000);
    };
    ask(QStringLiteral("Summarise this in one sentence."),
        QStringLiteral("The report is attached and the numbers need a review by Friday."));
    ask(QStringLiteral("Write a short polite reply."),
        QStringLiteral("Thanks for sending the report! I will review the numbers and get back to you before "
                       "Friday. https://example.com/reports/quarterly/2026/q4/final-version-with-appendix"));
    desk.controller.setRequestText(QStringLiteral("Now make it more formal"));
    desk.shoot(QStringLiteral("assistant-chat.png"));

    desk.app.setLanguage(UiLanguage::ru);
    desk.shoot(QStringLiteral("assistant-chat-ru.png"));
    desk.app.state->editSettings([](MendoSettings& s) { s.appearanceMode = AppearanceMode::liquidNoir; });
    desk.shoot(QStringLiteral("assistant-chat-ru-dark.png"));

    desk.app.state->editSettings([](MendoSettings& s) { s.appearanceMode = AppearanceMode::system; });
    desk.app.setLanguage(UiLanguage::en);
    // A request longer than the transcript is wide wraps inside its bubble,
    // which keeps its gap on the leading side.
    desk.controller.newChat();
    const QString longRequest = QStringLiteral(
        "Please rewrite the whole announcement for the team: the office moves to the new building on Monday, "
        "everyone packs their desk on Friday afternoon, the movers come at six, and the network will be down "
        "over the weekend, so nobody should plan to work remotely until Monday noon.");
    ask(longRequest, QStringLiteral("Done: the announcement is rewritten."));
    QTextEdit* request = nullptr;
    for (QTextEdit* text : desk.view()->findChildren<QTextEdit*>())
        if (text->toPlainText() == longRequest)
            request = text;
    QVERIFY(request);
    QWidget* bubble = request->parentWidget();
    QTRY_VERIFY(bubble->x() >= 36);
    QVERIFY(request->height() > 3 * request->fontMetrics().lineSpacing());
    desk.shoot(QStringLiteral("assistant-long-request.png"));

    desk.app.state->editSettings([](MendoSettings& s) { s.appearanceMode = AppearanceMode::liquidViolet; });
    desk.mock.enqueue(MockAiService::Answer::result(QStringLiteral("Sounds great, see you at five!")));
    desk.controller.hidePanel();
    desk.controller.showReply(QStringLiteral("Want to grab a coffee after work?"),
        { QStringLiteral("friendly"), QStringLiteral("Friendly"), QString(), QStringLiteral("Not assigned") },
        QStringLiteral("English"));
    QTRY_VERIFY_WITH_TIMEOUT(!desk.controller.state().isRunning, 5000);
    desk.view()->languageChip()->click();
    QTRY_VERIFY(desk.view()->replyLanguageList()->isVisible());
    desk.shoot(QStringLiteral("assistant-reply.png"));
}

QTEST_MAIN(TestAssistantPanelDisplay)
#include "test_assistant_panel_display.moc"
