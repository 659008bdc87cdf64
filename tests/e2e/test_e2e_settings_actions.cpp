// The Actions and Quick Menu pages of the real mendo's settings window, used
// as a user does: controls found by name through the accessibility bus and
// clicked with the pointer, keys pressed through XTest and held as fingers
// hold them. "Run" on Fix asks the service with the sample text and shows the
// answer in the window without touching another application or the
// clipboard; the quick panel offers what the Quick Menu page says, in its
// order; a hotkey recorded there opens the panel at once and lets the old
// chord go.

#include "e2e/MendoSession.h"

#include <QJsonDocument>
#include <QTest>

#include <optional>

#include <atspi/atspi.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

using namespace mendo;
using namespace mendo::e2e;
using mendo::testing::clickAt;
using mendo::testing::OtherApp;
using mendo::testing::runTool;

namespace {

constexpr int kTimeoutMs = 20000;

// What the accessibility bus shows of one element of mendo.
struct Found {
    QRect rect;
    QString text;
};

Found findShowingIn(AtspiAccessible* node, const QByteArray& name, AtspiRole role, int depth)
{
    Found found;
    if (!node || depth > 40)
        return found;
    AtspiStateSet* states = atspi_accessible_get_state_set(node);
    const bool showing = states && atspi_state_set_contains(states, ATSPI_STATE_SHOWING);
    if (states)
        g_object_unref(states);
    // Pages not shown are skipped whole: a walk through every page of the
    // settings window takes seconds.
    if (!showing && depth > 1)
        return found;
    gchar* nodeName = atspi_accessible_get_name(node, nullptr);
    const bool named = nodeName && name == nodeName;
    g_free(nodeName);
    if (named && atspi_accessible_get_role(node, nullptr) == role) {
        AtspiComponent* component = atspi_accessible_get_component_iface(node);
        if (showing && component) {
            if (AtspiRect* extents = atspi_component_get_extents(component, ATSPI_COORD_TYPE_SCREEN, nullptr)) {
                found.rect = QRect(extents->x, extents->y, extents->width, extents->height);
                g_free(extents);
            }
            if (AtspiText* text = atspi_accessible_get_text_iface(node)) {
                const int length = atspi_text_get_character_count(text, nullptr);
                if (gchar* content = atspi_text_get_text(text, 0, length, nullptr)) {
                    found.text = QString::fromUtf8(content);
                    g_free(content);
                }
                g_object_unref(text);
            }
        }
        if (component)
            g_object_unref(component);
        if (!found.rect.isEmpty())
            return found;
    }
    const int count = atspi_accessible_get_child_count(node, nullptr);
    for (int i = 0; i < count && found.rect.isEmpty(); ++i) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(node, i, nullptr);
        found = findShowingIn(child, name, role, depth + 1);
        if (child)
            g_object_unref(child);
    }
    return found;
}

// The showing element of mendo with this name and role; an empty rectangle
// when there is none.
Found findControl(const MendoSession& session, const QString& name, AtspiRole role)
{
    atspi_init();
    AtspiAccessible* desktop = atspi_get_desktop(0);
    Found found;
    const int count = atspi_accessible_get_child_count(desktop, nullptr);
    for (int i = 0; i < count && found.rect.isEmpty(); ++i) {
        AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
        if (app && atspi_accessible_get_process_id(app, nullptr) == guint(session.mendoPid())) {
            atspi_accessible_clear_cache(app);
            found = findShowingIn(app, name.toUtf8(), role, 0);
        }
        if (app)
            g_object_unref(app);
    }
    g_object_unref(desktop);
    return found;
}

bool shows(const MendoSession& session, const QString& name, AtspiRole role, int timeoutMs = kTimeoutMs)
{
    return QTest::qWaitFor([&] { return !findControl(session, name, role).rect.isEmpty(); }, timeoutMs);
}

// Clicks the named control once it shows; false when it never did.
bool click(const MendoSession& session, const QString& name, AtspiRole role)
{
    QRect rect;
    if (!QTest::qWaitFor([&] { return !(rect = findControl(session, name, role).rect).isEmpty(); }, kTimeoutMs))
        return false;
    clickAt(rect.center());
    return true;
}

// The quick panel shows while its rows do; "AI assistant" is always one.
bool quickPanelShown(const MendoSession& session, int timeoutMs = kTimeoutMs)
{
    return shows(session, QStringLiteral("AI assistant"), ATSPI_ROLE_PUSH_BUTTON, timeoutMs);
}

int grabError = 0;
int recordGrabError(Display*, XErrorEvent* event)
{
    grabError = event->error_code;
    return 0;
}

// Whether another client can take Alt+Q for itself: only when nobody holds it.
bool anotherClientCanGrabAltQ()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    grabError = 0;
    XErrorHandler previous = XSetErrorHandler(recordGrabError);
    const Window root = DefaultRootWindow(display);
    const KeyCode q = XKeysymToKeycode(display, XK_q);
    XGrabKey(display, q, Mod1Mask, root, False, GrabModeAsync, GrabModeAsync);
    XSync(display, False);
    const bool granted = grabError == 0;
    if (granted)
        XUngrabKey(display, q, Mod1Mask, root);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return granted;
}

// A list of action ids in mendo's user-defaults file; null when absent.
std::optional<QStringList> storedIds(const MendoSession& session, const QString& key)
{
    const QJsonValue stored = session.storedDefaults().value(key);
    if (!stored.isObject())
        return std::nullopt;
    const QByteArray data = QByteArray::fromBase64(stored[QStringLiteral("$data")].toString().toLatin1());
    return QJsonDocument::fromJson(data).toVariant().toStringList();
}

// The settings window made tall, as a user would, so the rows in question
// show without scrolling.
void enlargeSettingsWindow(const MendoSession& session)
{
    QString ids;
    const bool shown = QTest::qWaitFor([&] {
        ids = QString::fromUtf8(runTool(QStringLiteral("xdotool"),
            { "search", "--onlyvisible", "--pid", QString::number(session.mendoPid()) }))
                  .trimmed();
        return !ids.isEmpty();
    }, kTimeoutMs);
    // Without a window the caller's own checks fail on what does not show.
    if (!shown)
        return;
    for (const QString& id : ids.split(u'\n', Qt::SkipEmptyParts))
        runTool(QStringLiteral("xdotool"), { "windowsize", id, "1000", "1000", "windowmove", id, "0", "0" });
    QTest::qWait(300);
}

// The user's field, out of the settings window's way.
std::unique_ptr<OtherApp> startField(MendoSession& session)
{
    return session.startInFront(QStringLiteral(MENDO_TARGET_APP),
        { QStringLiteral("--text"), QStringLiteral("keep me as I am"), QStringLiteral("--geometry"),
            QStringLiteral("360x90+1500+900") });
}

}  // namespace

class TestE2eSettingsActions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runOnFixShowsTheAnswerInTheWindow();
    void theQuickPanelFollowsThePage();
    void aRecordedHotkeyOpensThePanelAtOnce();
};

void TestE2eSettingsActions::runOnFixShowsTheAnswerInTheWindow()
{
    const QString answer = QStringLiteral("Hi, how are you doing?");
    MendoSession session({ .answers = { resultAnswer(answer) }, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    enlargeSettingsWindow(session);
    auto clipboard = session.userCopies(usersClipboard);
    QVERIFY(clipboard);
    auto field = startField(session);
    QVERIFY(field);

    QVERIFY(click(session, QStringLiteral("Actions"), ATSPI_ROLE_PUSH_BUTTON));
    QVERIFY(click(session, QStringLiteral("Run Fix"), ATSPI_ROLE_PUSH_BUTTON));
    QTRY_COMPARE_WITH_TIMEOUT(session.requests().size(), 1, kTimeoutMs);
    const QJsonObject body = session.requests().first().value(QStringLiteral("body")).toObject();
    QCOMPARE(body.value(QStringLiteral("text")).toString(), QStringLiteral("Hi, how are you?"));

    // The latest output reads as its own text.
    QVERIFY(shows(session, answer, ATSPI_ROLE_LABEL));
    QCOMPARE(findControl(session, QStringLiteral("Test input"), ATSPI_ROLE_TEXT).text, answer);
    // Nothing reached the other application, the clipboard is the user's.
    // (The field reports every change of its text: none.)
    QCOMPARE(field->reportedText(), QString());
    QVERIFY(clipboardIsUsers());
}

void TestE2eSettingsActions::theQuickPanelFollowsThePage()
{
    MendoSession session({ .answers = {}, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    enlargeSettingsWindow(session);
    auto field = startField(session);
    QVERIFY(field);

    QVERIFY(click(session, QStringLiteral("Quick Menu"), ATSPI_ROLE_PUSH_BUTTON));
    QVERIFY(click(session, QStringLiteral("Translate"), ATSPI_ROLE_CHECK_BOX));
    const QString actionsKey = QStringLiteral("mendo.quickMenu.actions");
    QTRY_VERIFY_WITH_TIMEOUT(
        storedIds(session, actionsKey) && !storedIds(session, actionsKey)->contains(QStringLiteral("translate"))
            && storedIds(session, actionsKey)->contains(QStringLiteral("style:professional")),
        kTimeoutMs);
    QVERIFY(click(session, QStringLiteral("Move Professional up"), ATSPI_ROLE_PUSH_BUTTON));
    QTRY_COMPARE_WITH_TIMEOUT(storedIds(session, QStringLiteral("mendo.quickMenu.order"))
                                  .value_or(QStringList())
                                  .indexOf(QStringLiteral("style:professional")),
        5, kTimeoutMs);

    QVERIFY(session.bringToFront(*field));
    MendoSession::hold(QStringLiteral("alt+q"));
    QVERIFY2(quickPanelShown(session), session.mendoOutput().constData());
    const QRect professional = findControl(session, QStringLiteral("Professional"), ATSPI_ROLE_PUSH_BUTTON).rect;
    const QRect polite = findControl(session, QStringLiteral("Polite"), ATSPI_ROLE_PUSH_BUTTON).rect;
    QVERIFY(!professional.isEmpty() && !polite.isEmpty());
    QVERIFY(professional.top() < polite.top());
    QVERIFY(findControl(session, QStringLiteral("Translate"), ATSPI_ROLE_PUSH_BUTTON).rect.isEmpty());
}

void TestE2eSettingsActions::aRecordedHotkeyOpensThePanelAtOnce()
{
    MendoSession session({ .answers = {}, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    enlargeSettingsWindow(session);
    QVERIFY(!anotherClientCanGrabAltQ());

    QVERIFY(click(session, QStringLiteral("Quick Menu"), ATSPI_ROLE_PUSH_BUTTON));
    QVERIFY(click(session, QStringLiteral("Hotkey"), ATSPI_ROLE_PUSH_BUTTON));
    MendoSession::hold(QStringLiteral("ctrl+alt+m"));
    QTRY_COMPARE_WITH_TIMEOUT(
        session.storedDefaults().value(QStringLiteral("mendo.quickMenuHotkey")).toString(),
        QStringLiteral("Control+Alt+M"), kTimeoutMs);
    // The old chord is free for others at once.
    QTRY_VERIFY_WITH_TIMEOUT(anotherClientCanGrabAltQ(), 5000);

    auto field = startField(session);
    QVERIFY(field);
    MendoSession::hold(QStringLiteral("ctrl+alt+m"));
    QVERIFY2(quickPanelShown(session, 5000), session.mendoOutput().constData());
}

QTEST_MAIN(TestE2eSettingsActions)
#include "test_e2e_settings_actions.moc"
