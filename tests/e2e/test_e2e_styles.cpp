// The Styles and AI Reply pages of the real mendo, driven as a user drives
// them: the mouse on the controls found through the accessibility bus, the
// keyboard through XTest. A style added, named, given a prompt and a hotkey
// there works in another application at once; Reset lets its chord go.

#include "e2e/MendoSession.h"
#include "platform/x11/X11Errors.h"

#include <QTest>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <atspi/atspi.h>

using namespace mendo;
using namespace mendo::e2e;
using mendo::testing::clickAt;
using mendo::testing::runTool;

namespace {

constexpr int kTimeoutMs = 20000;

// The Qt field reports its text on every change; zenity prints its field's
// text when the dialog is accepted.
enum class Field { qt, gtk };

void collectShowing(AtspiAccessible* node, const QByteArray& name, int depth, QList<QRect>& found)
{
    if (!node || depth > 60)
        return;
    gchar* nodeName = atspi_accessible_get_name(node, nullptr);
    const bool named = nodeName && name == nodeName;
    g_free(nodeName);
    if (named && atspi_accessible_get_role(node, nullptr) != ATSPI_ROLE_LABEL) {
        AtspiStateSet* states = atspi_accessible_get_state_set(node);
        const bool showing = states && atspi_state_set_contains(states, ATSPI_STATE_SHOWING);
        if (states)
            g_object_unref(states);
        AtspiComponent* component = atspi_accessible_get_component_iface(node);
        if (showing && component) {
            if (AtspiRect* extents = atspi_component_get_extents(component, ATSPI_COORD_TYPE_SCREEN, nullptr)) {
                if (extents->width > 0 && extents->height > 0)
                    found << QRect(extents->x, extents->y, extents->width, extents->height);
                g_free(extents);
            }
        }
        if (component)
            g_object_unref(component);
    }
    const int count = atspi_accessible_get_child_count(node, nullptr);
    for (int i = 0; i < count; ++i) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(node, i, nullptr);
        collectShowing(child, name, depth + 1, found);
        if (child)
            g_object_unref(child);
    }
}

// Where mendo shows controls of this accessible name (labels left out).
QList<QRect> showing(qint64 pid, const QString& name)
{
    atspi_init();
    AtspiAccessible* desktop = atspi_get_desktop(0);
    QList<QRect> found;
    const int count = atspi_accessible_get_child_count(desktop, nullptr);
    for (int i = 0; i < count; ++i) {
        AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
        if (app && atspi_accessible_get_process_id(app, nullptr) == guint(pid)) {
            atspi_accessible_clear_cache(app);
            collectShowing(app, name.toUtf8(), 0, found);
        }
        if (app)
            g_object_unref(app);
    }
    g_object_unref(desktop);
    return found;
}

// The lowest control of that name on screen: on a page scrolled to its end,
// the one of the card added last.
QRect lowest(qint64 pid, const QString& name)
{
    QRect best;
    for (const QRect& rect : showing(pid, name)) {
        if (best.isEmpty() || rect.top() > best.top())
            best = rect;
    }
    return best;
}

// The leftmost: the sidebar's row rather than the page's header.
QRect leftmost(qint64 pid, const QString& name)
{
    QRect best;
    for (const QRect& rect : showing(pid, name)) {
        if (best.isEmpty() || rect.left() < best.left())
            best = rect;
    }
    return best;
}

void click(const QRect& rect)
{
    clickAt(rect.center());
    QTest::qWait(150);
}

void typeText(const QString& text)
{
    runTool(
        QStringLiteral("xdotool"), { QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text });
}

// The wheel over the page until its end is in view.
void scrollToEnd(const QRect& over)
{
    runTool(QStringLiteral("xdotool"),
        { QStringLiteral("mousemove"), QString::number(over.center().x()), QString::number(over.center().y()) });
    for (int i = 0; i < 4; ++i) {
        runTool(QStringLiteral("xdotool"),
            { QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("30"), QStringLiteral("--delay"),
                QStringLiteral("5"), QStringLiteral("5") });
        QTest::qWait(150);
    }
}

// Opens `page` in the window, adds a style, scrolls to it, names it, writes
// its prompt and records `chord` in its hotkey field.
void addStyle(
    MendoSession& session, const QString& page, const QString& name, const QString& prompt, const QString& chord)
{
    const qint64 pid = session.mendoPid();
    QRect row;
    QTRY_VERIFY_WITH_TIMEOUT(!(row = leftmost(pid, page)).isEmpty(), kTimeoutMs);
    click(row);
    QRect add;
    QTRY_VERIFY_WITH_TIMEOUT(!(add = lowest(pid, QStringLiteral("Add"))).isEmpty(), kTimeoutMs);
    click(add);
    scrollToEnd(add.adjusted(-200, 80, -200, 80));

    // The new card is the lowest; its trash button says so.
    QRect field;
    QTRY_VERIFY_WITH_TIMEOUT(!lowest(pid, QStringLiteral("Delete")).isEmpty(), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!(field = lowest(pid, QStringLiteral("Name"))).isEmpty(), kTimeoutMs);
    QVERIFY(qAbs(field.center().y() - lowest(pid, QStringLiteral("Delete")).center().y()) < 20);
    click(field);
    MendoSession::press(QStringLiteral("ctrl+a"));
    typeText(name);

    click(lowest(pid, QStringLiteral("Prompt")));
    MendoSession::press(QStringLiteral("ctrl+a"));
    typeText(prompt);

    click(lowest(pid, QStringLiteral("Hotkey")));
    QTest::qWait(200);
    MendoSession::hold(chord);
    QTest::qWait(500);
}

}  // namespace

Q_DECLARE_METATYPE(Field)

class TestE2eStyles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void anAddedStyleWorksAtOnceAndResetFreesItsChord_data();
    void anAddedStyleWorksAtOnceAndResetFreesItsChord();
    void anAddedReplyStyleOpensTheAssistantInReplyMode();
};

void TestE2eStyles::anAddedStyleWorksAtOnceAndResetFreesItsChord_data()
{
    QTest::addColumn<Field>("field");
    QTest::newRow("Qt field") << Field::qt;
    QTest::newRow("GTK field") << Field::gtk;
}

void TestE2eStyles::anAddedStyleWorksAtOnceAndResetFreesItsChord()
{
    QFETCH(Field, field);
    const QString selected = QStringLiteral("the report is ready");
    const QString answer = QStringLiteral("Ahoy, matey, the report be ready!");
    // The answer waits a little, so that the clipboard's owner changes
    // counted from the request on are the paste's own.
    QJsonObject delayed = resultAnswer(answer);
    delayed.insert(QStringLiteral("delayMs"), 500);
    MendoSession session({ .answers = { delayed }, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    QVERIFY(!MendoSession::chordIsTaken(XK_7, Mod1Mask | ShiftMask));

    addStyle(session, QStringLiteral("Styles"), QStringLiteral("Pirate"), QStringLiteral("Talk like a pirate."),
        QStringLiteral("alt+shift+7"));
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(MendoSession::chordIsTaken(XK_7, Mod1Mask | ShiftMask), kTimeoutMs);

    auto clipboard = session.userCopies(usersClipboard);
    QVERIFY(clipboard);
    auto target = field == Field::qt
        ? session.startInFront(QStringLiteral(MENDO_TARGET_APP),
            { QStringLiteral("--text"), selected, QStringLiteral("--geometry"), QStringLiteral("500x120+100+100") })
        : session.startInFront(QStringLiteral("zenity"), { QStringLiteral("--entry"), "--entry-text=" + selected });
    QVERIFY(target);
    ClipboardOwnerChanges ownerChanges;
    MendoSession::press(QStringLiteral("ctrl+a"));
    MendoSession::hold(QStringLiteral("alt+shift+7"));

    QTRY_COMPARE_WITH_TIMEOUT(session.requests().size(), 1, kTimeoutMs);
    const QJsonObject body = session.requests().first().value(QStringLiteral("body")).toObject();
    // A user's style goes to the service under its name, as typed, with the prompt written for it.
    QCOMPARE(body.value(QStringLiteral("styleId")).toString(), QStringLiteral("Pirate"));
    QCOMPARE(body.value(QStringLiteral("userInstruction")).toString(), QStringLiteral("Talk like a pirate."));
    QCOMPARE(body.value(QStringLiteral("text")).toString(), selected);
    const int beforePaste = ownerChanges.count();
    QTRY_VERIFY_WITH_TIMEOUT(ownerChanges.count() >= beforePaste + 2, kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(clipboardIsUsers(), kTimeoutMs);
    if (field == Field::gtk)
        MendoSession::press(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(
        field == Field::qt ? target->reportedText() : QString::fromUtf8(target->output()).trimmed(), answer,
        kTimeoutMs);

    // Reset, in the settings window brought back to front: the style and its
    // chord are gone.
    const qint64 pid = session.mendoPid();
    runTool(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(pid),
            QStringLiteral("windowactivate"), QStringLiteral("--sync") });
    QTest::qWait(300);
    QRect anyCard;
    QTRY_VERIFY_WITH_TIMEOUT(!(anyCard = lowest(pid, QStringLiteral("Name"))).isEmpty(), kTimeoutMs);
    // Back up to the header.
    runTool(QStringLiteral("xdotool"),
        { QStringLiteral("mousemove"), QString::number(anyCard.center().x()), QString::number(anyCard.center().y()) });
    for (int i = 0; i < 4; ++i)
        runTool(QStringLiteral("xdotool"),
            { QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("30"), QStringLiteral("--delay"),
                QStringLiteral("5"), QStringLiteral("4") });
    QRect reset;
    QTRY_VERIFY_WITH_TIMEOUT(!(reset = lowest(pid, QStringLiteral("Reset"))).isEmpty(), kTimeoutMs);
    click(reset);
    QTRY_VERIFY_WITH_TIMEOUT(!MendoSession::chordIsTaken(XK_7, Mod1Mask | ShiftMask), kTimeoutMs);
}

void TestE2eStyles::anAddedReplyStyleOpensTheAssistantInReplyMode()
{
    MendoSession session(
        { .answers = { resultAnswer(QStringLiteral("Arr, see ye tomorrow!")) }, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    addStyle(session, QStringLiteral("AI Reply"), QStringLiteral("Pirate reply"),
        QStringLiteral("Answer like a pirate."), QStringLiteral("alt+shift+8"));
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(MendoSession::chordIsTaken(XK_8, Mod1Mask | ShiftMask), kTimeoutMs);

    auto target = session.startInFront(QStringLiteral(MENDO_TARGET_APP),
        { QStringLiteral("--text"), QStringLiteral("see you tomorrow?"), QStringLiteral("--geometry"),
            QStringLiteral("500x120+100+100") });
    QVERIFY(target);
    MendoSession::press(QStringLiteral("ctrl+a"));
    MendoSession::hold(QStringLiteral("alt+shift+8"));
    QTRY_VERIFY_WITH_TIMEOUT(session.visibleWindowTitles().contains(QStringLiteral("AI assistant")), kTimeoutMs);
    // The reply is asked for in the new style, with its prompt.
    QTRY_COMPARE_WITH_TIMEOUT(session.requests().size(), 1, kTimeoutMs);
    const QJsonObject body = session.requests().first().value(QStringLiteral("body")).toObject();
    QCOMPARE(body.value(QStringLiteral("replyTo")).toString(), QStringLiteral("see you tomorrow?"));
    QCOMPARE(body.value(QStringLiteral("userInstruction")).toString(), QStringLiteral("Answer like a pirate."));
}

QTEST_MAIN(TestE2eStyles)
#include "test_e2e_styles.moc"
