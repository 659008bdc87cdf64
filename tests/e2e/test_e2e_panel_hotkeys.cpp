// The panel hotkeys with the real mendo, pressed as a person presses them:
// the chord held down for about 150 ms over a selected GTK entry, whose
// selection must then be read through accessibility while the clipboard is
// left alone; and with mendo's own window in front after the application the
// user worked in has closed, where nothing may be copied or sent.

#include "e2e/MendoSession.h"

#include <QStandardPaths>
#include <QTest>

using namespace mendo;
using namespace mendo::e2e;
using mendo::testing::activeWindowName;
using mendo::testing::OtherApp;

namespace {

constexpr int kActionTimeoutMs = 20000;

// Holds the chord down as fingers do, the key let go before the modifier.
void hold(const QString& modifier, const QString& key, int ms = 150)
{
    testing::xdotool({ QStringLiteral("keydown"), modifier, QStringLiteral("keydown"), key, QStringLiteral("sleep"),
        QString::number(ms / 1000.0), QStringLiteral("keyup"), key, QStringLiteral("keyup"), modifier });
}

}  // namespace

class TestE2ePanelHotkeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void aHeldHotkeyReadsTheGtkSelection_data();
    void aHeldHotkeyReadsTheGtkSelection();
    void ownWindowInFrontSendsNothing_data();
    void ownWindowInFrontSendsNothing();
    void escapeClosesTheQuickPanelAlone();
};

void TestE2ePanelHotkeys::initTestCase()
{
    for (const char* tool : { "xdotool", "xclip", "setxkbmap", "zenity" })
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(), tool);
}

void TestE2ePanelHotkeys::aHeldHotkeyReadsTheGtkSelection_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("Alt+I, the assistant") << "i";
    QTest::newRow("Alt+R, the translation preview") << "r";
}

void TestE2ePanelHotkeys::aHeldHotkeyReadsTheGtkSelection()
{
    QFETCH(QString, key);
    const QString selected = QStringLiteral("guten morgen");
    MendoSession session({ .answers = { resultAnswer(QStringLiteral("good morning")) }, .serviceDown = false,
        .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto target = session.startInFront(
        QStringLiteral("zenity"), { QStringLiteral("--entry"), QStringLiteral("--entry-text=") + selected });
    QVERIFY(target);
    MendoSession::press(QStringLiteral("ctrl+a"));
    QTest::qWait(200);
    ClipboardOwnerChanges ownerChanges;

    hold(QStringLiteral("alt"), key);

    QString sent;
    if (key == u"i") {
        // The assistant takes the focus; its request carries the context.
        QTRY_COMPARE_WITH_TIMEOUT(activeWindowName(), QStringLiteral("AI assistant"), kActionTimeoutMs);
        testing::xdotool({ QStringLiteral("type"), QStringLiteral("translate it") });
        MendoSession::press(QStringLiteral("Return"));
        QTRY_COMPARE_WITH_TIMEOUT(session.requests().size(), 1, kActionTimeoutMs);
        QCOMPARE(requestText(session.requests().first()),
            QStringLiteral("Selected text:\n") + selected + QStringLiteral("\n\nRequest:\ntranslate it"));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(session.requests().size(), 1, kActionTimeoutMs);
        QCOMPARE(requestText(session.requests().first()), selected);
    }
    // Read through accessibility: nothing was copied.
    QCOMPARE(ownerChanges.count(), 0);
}

void TestE2ePanelHotkeys::ownWindowInFrontSendsNothing_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("Alt+R, the translation preview") << "r";
    QTest::newRow("Alt+4, a rewrite") << "4";
}

void TestE2ePanelHotkeys::ownWindowInFrontSendsNothing()
{
    QFETCH(QString, key);
    MendoSession session({ .answers = { resultAnswer(QStringLiteral("anything")) }, .serviceDown = false,
        .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto source = session.startInFront(
        QStringLiteral("zenity"), { QStringLiteral("--entry"), QStringLiteral("--entry-text=some text") });
    QVERIFY(source);
    // The user's application closes; mendo's own window comes to the front.
    source.reset();
    const QByteArray mendoWindow = testing::runTool(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
            QString::number(session.mendoPid()) })
                                       .split('\n')
                                       .value(0)
                                       .trimmed();
    QVERIFY(!mendoWindow.isEmpty());
    testing::xdotool({ QStringLiteral("windowactivate"), QString::fromLatin1(mendoWindow) });
    QTRY_COMPARE_WITH_TIMEOUT(testing::activeWindowPid(), qint32(session.mendoPid()), kActionTimeoutMs);
    ClipboardOwnerChanges ownerChanges;

    hold(QStringLiteral("alt"), key);
    QTest::qWait(3000);

    QCOMPARE(session.requests().size(), 0);
    // No copy was tried: the clipboard never changed hands.
    QCOMPARE(ownerChanges.count(), 0);
}

// The quick panel leaves the focus with the dialog in front; Escape closes
// the panel and never reaches the dialog, which would drop its text.
void TestE2ePanelHotkeys::escapeClosesTheQuickPanelAlone()
{
    const QString text = QStringLiteral("half-written answer");
    MendoSession session({ .answers = {}, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto dialog = session.startInFront(
        QStringLiteral("zenity"), { QStringLiteral("--entry"), QStringLiteral("--entry-text=") + text });
    QVERIFY(dialog);

    hold(QStringLiteral("alt"), QStringLiteral("q"));
    QTRY_VERIFY_WITH_TIMEOUT(session.visibleWindowTitles().contains(QStringLiteral("Quick Menu")), kActionTimeoutMs);
    QCOMPARE(testing::activeWindowPid(), dialog->pid());
    testing::xdotool({ QStringLiteral("keydown"), QStringLiteral("Escape"), QStringLiteral("sleep"),
        QStringLiteral("0.15"), QStringLiteral("keyup"), QStringLiteral("Escape") });
    QTRY_VERIFY_WITH_TIMEOUT(!session.visibleWindowTitles().contains(QStringLiteral("Quick Menu")), kActionTimeoutMs);
    QTest::qWait(500);
    QCOMPARE(dialog->process().state(), QProcess::Running);

    // Escape is the dialog's own again once the panel is gone: Return
    // accepts it with its text.
    QCOMPARE(testing::activeWindowPid(), dialog->pid());
    MendoSession::press(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromUtf8(dialog->output()).trimmed(), text, kActionTimeoutMs);
}

QTEST_MAIN(TestE2ePanelHotkeys)
#include "test_e2e_panel_hotkeys.moc"
