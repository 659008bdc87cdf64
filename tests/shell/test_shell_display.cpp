#include "ui/GlassSurface.h"
#include "shell/ApplicationControl.h"
#include "shell/DesktopServiceHooks.h"
#include "shell/MendoAppDelegate.h"
#include "shell/MendoWindowPresenter.h"
#include "fakes/FakeClock.h"
#include "fakes/MemoryUserDefaults.h"
#include "platform/x11/X11WindowHints.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QFile>
#include <QTest>
#include <QVBoxLayout>

#include <csignal>

#include <X11/Xlib.h>

using namespace mendo;
using namespace std::chrono_literals;

class TestShellDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void glassPanelScreenshot();
    void minimisedMainWindowLeavesTheTaskbar();
    void mendoLivesInTheTray();
    void mendoRunsOnX11Only_data();
    void mendoRunsOnX11Only();
};

void TestShellDisplay::glassPanelScreenshot()
{
    MendoFloatingSurface panel(AppearanceMode::liquidSky, SurfaceMode::translucent, 22);
    panel.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    panel.setTranslucentWindow(x11::compositorRunning());
    auto* layout = new QVBoxLayout(panel.content());
    layout->setContentsMargins(18, 44, 18, 18);
    auto* label = new QLabel(QStringLiteral("Glass panel\nThe quick brown fox jumps over the lazy dog."));
    layout->addWidget(label);
    int closed = 0;
    panelCloseButton(panel.content(), [&] { ++closed; });
    panel.resize(360, 220);
    panel.move(100, 100);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel, 15000));

    // What the screen shows, once the window manager has placed the panel
    // and the panel has painted.
    const QPoint buttonCentre = panel.content()->mapTo(&panel, QPoint(12 + 9, 12 + 9));
    QImage shot;
    auto grab = [&] {
        shot = panel.screen()->grabWindow(panel.winId()).toImage();
        const QColor red = shot.pixelColor(buttonCentre);
        return red.red() > 200 && red.green() < 140;  // the close button's red disc
    };
    (void)QTest::qWaitFor(grab, 5000);
    const QString dir = QStringLiteral(MENDO_ARTIFACT_DIR);
    QDir().mkpath(dir);
    QVERIFY(shot.save(dir + QStringLiteral("/glass-panel.png")));
    QVERIFY(grab());

    // Without a compositor the card is opaque and takes the dark liquid tone.
    const QColor body = shot.pixelColor(panel.width() / 2, panel.height() - 20);
    QVERIFY2(body.lightness() < 100, qPrintable(body.name()));

    QTest::mouseClick(panel.content()->childAt(buttonCentre - panel.content()->pos()), Qt::LeftButton);
    QCOMPARE(closed, 1);
}

static QString netWmState(QWidget& window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
        { QStringLiteral("-id"), QString::number(window.winId()), QStringLiteral("_NET_WM_STATE") });
    xprop.waitForFinished(5000);
    return QString::fromUtf8(xprop.readAllStandardOutput());
}

void TestShellDisplay::minimisedMainWindowLeavesTheTaskbar()
{
    MemoryUserDefaults defaults;
    FakeClock clock;
    QtApplicationControl application;
    MendoWindowPresenter presenter(application, clock);
    struct : BuiltInDisplayControl {
        void restoreAfterPreviousLaunch() override { }
        void enableBuiltIn() override { }
    } display;
    struct : DragSwapMonitorControl {
        void start() override { }
    } dragSwap;
    MendoAppDelegate delegate(defaults, clock, application, presenter, display, dragSwap);

    QWidget main;
    main.resize(760, 500);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main, 15000));
    delegate.applicationDidFinishLaunching();
    clock.flush();

    main.showMinimized();
    clock.advance(1s);
    QCOMPARE(application.activationPolicy(), ActivationPolicy::accessory);
    QTRY_VERIFY_WITH_TIMEOUT(netWmState(main).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")), 5000);

    presenter.showMainWindow();
    QCOMPARE(application.activationPolicy(), ActivationPolicy::regular);
    QTRY_VERIFY_WITH_TIMEOUT(!netWmState(main).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")), 5000);

    // Closed (hidden) while out of the taskbar, it comes back into it.
    main.showMinimized();
    clock.advance(1s);
    QTRY_VERIFY_WITH_TIMEOUT(netWmState(main).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")), 5000);
    QVERIFY(!main.close());
    QVERIFY(main.isHidden());
    presenter.showMainWindow();
    QVERIFY(main.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!netWmState(main).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")), 5000);
}

// The id of MendoAI's visible main window, 0 while none is shown.
static WId visibleMainWindow()
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
            QStringLiteral("^MendoAI$") });
    xdotool.waitForFinished(5000);
    const QList<QByteArray> ids = xdotool.readAllStandardOutput().split('\n');
    return ids.isEmpty() ? 0 : WId(ids.first().trimmed().toULongLong());
}

// What the window manager's close button does: asks the window to close.
static void closeThroughWindowManager(WId window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11->display();
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window);
    event.xclient.message_type = XInternAtom(display, "_NET_CLOSE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = 2;  // from a pager or similar tool
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}

void TestShellDisplay::mendoLivesInTheTray()
{
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), runtime.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), runtime.path() + QStringLiteral("/data"));
    const QString historyFile = runtime.path() + QStringLiteral("/data/MendoAI/clipboard-history.json");
    // The launch update check goes to a closed port on this machine, never
    // to the real service.
    QVERIFY(QDir().mkpath(runtime.path() + QStringLiteral("/config/MendoAI")));
    QFile defaults(runtime.path() + QStringLiteral("/config/MendoAI/defaults.json"));
    QVERIFY(defaults.open(QIODevice::WriteOnly));
    defaults.write(R"({"mendo.service.baseURL": "http://127.0.0.1:9"})");
    defaults.close();
    const QString socket = runtime.path() + QStringLiteral("/MendoAI/instance.socket");
    auto launch = [&](QProcess& process) {
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(MENDO_BINARY), {});
        QVERIFY(process.waitForStarted(5000));
    };

    for (int signal : { SIGTERM, SIGHUP }) {
        QProcess first;
        launch(first);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket), 10000);
        // Shown at start: there is no tray under Xvfb, and the settings ask
        // for it anyway.
        QTRY_VERIFY_WITH_TIMEOUT(visibleMainWindow() != 0, 10000);
        const WId window = visibleMainWindow();

        if (signal == SIGTERM) {
            QImage shot;
            QTest::qWait(500);  // painted
            shot = QGuiApplication::primaryScreen()->grabWindow(window).toImage();
            QVERIFY(shot.width() >= 760 && shot.height() >= 500);
            const QString dir = QStringLiteral(MENDO_ARTIFACT_DIR);
            QDir().mkpath(dir);
            QVERIFY(shot.save(dir + QStringLiteral("/main-window.png")));

            // Closing hides it; MendoAI stays.
            closeThroughWindowManager(window);
            QTRY_COMPARE_WITH_TIMEOUT(visibleMainWindow(), WId(0), 10000);
            QTest::qWait(300);
            QCOMPARE(first.state(), QProcess::Running);
        }

        // A second launch brings the window back and leaves.
        QProcess second;
        launch(second);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        QTRY_COMPARE_WITH_TIMEOUT(visibleMainWindow(), window, 10000);

        // A copy made just before the end reaches the history file, though
        // its write may still have been waiting to be gathered with others.
        const QByteArray copied = "copied before signal " + QByteArray::number(signal);
        QProcess xclip;
        xclip.start(QStringLiteral("xclip"), { QStringLiteral("-selection"), QStringLiteral("clipboard") });
        xclip.write(copied);
        xclip.closeWriteChannel();
        QVERIFY(xclip.waitForFinished(5000));
        QTest::qWait(100);

        // Ended through the quit path: a normal exit, not death by signal.
        ::kill(pid_t(first.processId()), signal);
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QFile history(historyFile);
        QVERIFY(history.open(QIODevice::ReadOnly));
        QVERIFY2(history.readAll().contains(copied), qPrintable(historyFile));
        // The next round starts over the lock and socket left behind.
    }
}

void TestShellDisplay::mendoRunsOnX11Only_data()
{
    QTest::addColumn<QStringList>("unset");
    QTest::addColumn<QStringList>("set");
    QTest::addColumn<bool>("runs");
    QTest::newRow("no display") << QStringList { "DISPLAY", "WAYLAND_DISPLAY" } << QStringList {} << false;
    QTest::newRow("display that cannot be opened") << QStringList {} << QStringList { "DISPLAY=:65000" } << false;
    QTest::newRow("Wayland without XWayland") << QStringList { "DISPLAY" }
                                              << QStringList { "WAYLAND_DISPLAY=wayland-9", "XDG_SESSION_TYPE=wayland" }
                                              << false;
    // Qt would go for its Wayland platform here.
    QTest::newRow("Wayland with XWayland")
        << QStringList { "QT_QPA_PLATFORM" }
        << QStringList { "WAYLAND_DISPLAY=wayland-9", "XDG_SESSION_TYPE=wayland", "XDG_CURRENT_DESKTOP=KDE" } << true;
}

void TestShellDisplay::mendoRunsOnX11Only()
{
    QFETCH(QStringList, unset);
    QFETCH(QStringList, set);
    QFETCH(bool, runs);
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), runtime.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), runtime.path() + QStringLiteral("/data"));
    for (const QString& name : unset)
        env.remove(name);
    for (const QString& pair : set)
        env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    QProcess mendo;
    mendo.setProcessEnvironment(env);
    mendo.start(QStringLiteral(MENDO_BINARY), {});
    QVERIFY(mendo.waitForStarted(5000));
    if (!runs) {
        QVERIFY(mendo.waitForFinished(10000));
        QCOMPARE(mendo.exitStatus(), QProcess::NormalExit);
        QCOMPARE(mendo.exitCode(), 1);
        const QList<QByteArray> lines = mendo.readAllStandardError().trimmed().split('\n');
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith("MendoAI needs an X11 session"), lines.first().constData());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(visibleMainWindow() != 0, 10000);
    ::kill(pid_t(mendo.processId()), SIGTERM);
    QVERIFY(mendo.waitForFinished(10000));
    QCOMPARE(mendo.exitCode(), 0);
    const QByteArray errors = mendo.readAllStandardError();
    QVERIFY2(!errors.contains("wayland"), errors.constData());
}

QTEST_MAIN(TestShellDisplay)
#include "test_shell_display.moc"
