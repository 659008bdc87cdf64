// The settings window of the real mendo, used as a user does: its controls are
// found by name through the accessibility bus and clicked with the pointer.
// The General page's switches take effect at once (the tray icon, closing the
// window, the next start), "Request permissions" switches the accessibility
// bus on, "Русский" retitles the window at once, and Ctrl+Shift+Space opens
// the quick panel from the window.

#include "e2e/MendoSession.h"

#include <QTest>

using namespace mendo;
using namespace mendo::e2e;
using mendo::testing::runTool;

namespace {

constexpr int kTimeoutMs = 20000;

bool showMainWindow(const MendoSession& session)
{
    return QTest::qWaitFor([&] { return session.mainWindow() != 0; }, kTimeoutMs);
}

// The session's accessibility bus switched on or off, as the desktop's
// settings do; switched on again when the test ends.
void setAccessibilityBus(bool on)
{
    runTool(QStringLiteral("dbus-send"),
        { QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.a11y.Bus"),
            QStringLiteral("/org/a11y/bus"), QStringLiteral("org.freedesktop.DBus.Properties.Set"),
            QStringLiteral("string:org.a11y.Status"), QStringLiteral("string:IsEnabled"),
            on ? QStringLiteral("variant:boolean:true") : QStringLiteral("variant:boolean:false") });
}

bool accessibilityBusOn()
{
    const QByteArray reply = runTool(QStringLiteral("dbus-send"),
        { QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.a11y.Bus"),
            QStringLiteral("/org/a11y/bus"), QStringLiteral("org.freedesktop.DBus.Properties.Get"),
            QStringLiteral("string:org.a11y.Status"), QStringLiteral("string:IsEnabled") });
    return reply.contains("boolean true");
}

struct BusRestored {
    ~BusRestored() { setAccessibilityBus(true); }
};

MendoSession::Options plainOptions()
{
    return { .answers = {}, .serviceDown = false, .defaults = {} };
}

}  // namespace

class TestE2eSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void trayIconSwitchRemovesAndRestoresTheIcon();
    void withoutKeepInTrayClosingEndsMendo();
    void withoutOpenOnLaunchTheNextStartShowsNoWindow();
    void requestPermissionsSwitchesTheBusOn();
    void russianRetitlesTheWindowAtOnce();
    void ctrlShiftSpaceOpensTheQuickPanel();
};

// mendo is started before the tray host: with no tray, the window always
// shows at start, and the item docks once the host comes up.
void TestE2eSettings::trayIconSwitchRemovesAndRestoresTheIcon()
{
    MendoSession session(plainOptions());
    QVERIFY2(session.start(), qPrintable(session.failure()));
    QVERIFY(showMainWindow(session));
    auto trayer = startTrayer();
    QVERIFY(trayer);
    QTRY_VERIFY_WITH_TIMEOUT(trayIconShown(session.mendoPid()), kTimeoutMs);
    QVERIFY(session.clickAccessible(QStringLiteral("Show tray icon"), ATSPI_ROLE_CHECK_BOX));
    QTRY_VERIFY_WITH_TIMEOUT(!trayIconShown(session.mendoPid()), kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(session.storedDefaults().value(QStringLiteral("mendo.menuBarIconVisible")).toBool(true),
        false, kTimeoutMs);
    QVERIFY(session.clickAccessible(QStringLiteral("Show tray icon"), ATSPI_ROLE_CHECK_BOX));
    QTRY_VERIFY_WITH_TIMEOUT(trayIconShown(session.mendoPid()), kTimeoutMs);
}

void TestE2eSettings::withoutKeepInTrayClosingEndsMendo()
{
    MendoSession session(plainOptions());
    QVERIFY2(session.start(), qPrintable(session.failure()));
    QVERIFY(showMainWindow(session));
    auto trayer = startTrayer();
    QVERIFY(trayer);
    QTRY_VERIFY_WITH_TIMEOUT(trayIconShown(session.mendoPid()), kTimeoutMs);

    // (With the switch on, closing only hides the window: test_shell_display.)
    QVERIFY(session.clickAccessible(QStringLiteral("Keep MendoAI in the tray when closing"), ATSPI_ROLE_CHECK_BOX));
    QTRY_COMPARE_WITH_TIMEOUT(session.storedDefaults().value(QStringLiteral("mendo.closeToMenuBar")).toBool(true),
        false, kTimeoutMs);
    closeWindow(session.mainWindow());
    QTRY_VERIFY_WITH_TIMEOUT(!session.mendoRunning(), kTimeoutMs);
}

void TestE2eSettings::withoutOpenOnLaunchTheNextStartShowsNoWindow()
{
    MendoSession session(plainOptions());
    QVERIFY2(session.start(), qPrintable(session.failure()));
    QVERIFY(showMainWindow(session));
    auto trayer = startTrayer();
    QVERIFY(trayer);
    QVERIFY(session.clickAccessible(QStringLiteral("Open main window on launch"), ATSPI_ROLE_CHECK_BOX));
    QTRY_COMPARE_WITH_TIMEOUT(
        session.storedDefaults().value(QStringLiteral("mendo.openMainWindowOnLaunch")).toBool(true), false,
        kTimeoutMs);

    QVERIFY2(session.restartMendo(), qPrintable(session.failure()));
    QTRY_VERIFY_WITH_TIMEOUT(trayIconShown(session.mendoPid()), kTimeoutMs);
    QTest::qWait(1500);
    QCOMPARE(session.mainWindow(), quint64(0));
}

void TestE2eSettings::requestPermissionsSwitchesTheBusOn()
{
    BusRestored restored;
    setAccessibilityBus(false);
    QVERIFY(!accessibilityBusOn());
    MendoSession session(plainOptions());
    QVERIFY2(session.start(), qPrintable(session.failure()));
    QVERIFY(session.clickAccessible(QStringLiteral("Permissions"), ATSPI_ROLE_PUSH_BUTTON));
    QVERIFY(session.accessibleShows(QStringLiteral("Needs Access"), ATSPI_ROLE_LABEL));
    // Input monitoring: the session's X server has XTEST and XInput 2.
    QVERIFY(session.accessibleShows(QStringLiteral("Granted"), ATSPI_ROLE_LABEL));

    QVERIFY(session.clickAccessible(QStringLiteral("Request permissions"), ATSPI_ROLE_PUSH_BUTTON));
    QTRY_VERIFY_WITH_TIMEOUT(accessibilityBusOn(), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(accessibleRect(session.mendoPid(), QStringLiteral("Needs Access"), ATSPI_ROLE_LABEL)
                                 .isEmpty(),
        kTimeoutMs);
    QVERIFY(session.accessibleShows(QStringLiteral("Granted"), ATSPI_ROLE_LABEL));
}

void TestE2eSettings::russianRetitlesTheWindowAtOnce()
{
    MendoSession session(plainOptions());
    QVERIFY2(session.start(), qPrintable(session.failure()));
    // A pop-up is named by its current entry; its row title labels it.
    QVERIFY(session.accessibleShows(QStringLiteral("Interface language"), ATSPI_ROLE_LABEL));
    QVERIFY(session.clickAccessible(QStringLiteral("English"), ATSPI_ROLE_COMBO_BOX));
    // The list is open on "English": the next entry is "Русский".
    QTest::qWait(400);
    MendoSession::press(QStringLiteral("Down"));
    MendoSession::press(QStringLiteral("Return"));
    // Sidebar, header and page, all in one change.
    QVERIFY(session.accessibleShows(QStringLiteral("Разрешения"), ATSPI_ROLE_PUSH_BUTTON));
    QVERIFY(session.accessibleShows(QStringLiteral("Основные"), ATSPI_ROLE_LABEL));
    QVERIFY(session.accessibleShows(QStringLiteral("Язык интерфейса"), ATSPI_ROLE_LABEL));
    QVERIFY(session.accessibleShows(QStringLiteral("Показывать иконку в трее"), ATSPI_ROLE_CHECK_BOX));
    QCOMPARE(session.storedDefaults().value(QStringLiteral("mendo.uiLanguage")).toString(), QStringLiteral("ru"));
}

void TestE2eSettings::ctrlShiftSpaceOpensTheQuickPanel()
{
    MendoSession session(plainOptions());
    QVERIFY2(session.start(), qPrintable(session.failure()));
    // The window in front: a click on its page title.
    QVERIFY(session.clickAccessible(QStringLiteral("General"), ATSPI_ROLE_LABEL));
    QTRY_COMPARE_WITH_TIMEOUT(testing::activeWindowPid(), qint32(session.mendoPid()), kTimeoutMs);
    MendoSession::press(QStringLiteral("ctrl+shift+space"));
    QTRY_VERIFY_WITH_TIMEOUT(session.visibleWindow(QStringLiteral("Quick Menu")) != 0, kTimeoutMs);
}

QTEST_MAIN(TestE2eSettings)
#include "test_e2e_settings.moc"
