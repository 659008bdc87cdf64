#include "desktop/BuiltInDisplayService.h"
#include "fakes/MemoryUserDefaults.h"
#include "fakes/RecordingSystemLog.h"
#include "tray/MenuBarController.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11DisplayGuard.h"
#include "platform/x11/X11Displays.h"
#include "platform/x11/X11Errors.h"
#include "shell/ApplicationControl.h"
#include "shell/BuiltInDisplayBridge.h"
#include "shell/DesktopServiceHooks.h"
#include "shell/MendoAppDelegate.h"
#include "shell/MendoWindowPresenter.h"
#include "support/Xrandr.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QFile>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace mendo;
using mendo::testing::runXrandr;

namespace {

const QString key = BuiltInDisplayService::disabledIDKey;

// What `xrandr` shows of the server's outputs.
QString xrandr(const QString& display)
{
    return runXrandr(display, {}).value_or(QString());
}

// One output's line of `xrandr`, e.g. "DUMMY0 connected primary 1024x768+0+0 ...".
QString outputLine(const QString& display, const QString& output)
{
    for (const QString& line : xrandr(display).split(u'\n'))
        if (line.startsWith(output + u' '))
            return line;
    return {};
}

const QRegularExpression geometry(QStringLiteral(R"(\d+x\d+\+\d+\+\d+)"));

bool showing(const QString& line)
{
    return geometry.match(line).hasMatch();
}

// A service over one server's RandR outputs, with its own settings and beeps.
struct Switch {
    Switch(x11::X11Connection& connection, QStringList builtIn)
        : displays(connection, std::move(builtIn))
    {
    }
    RealClock clock;
    MemoryUserDefaults defaults;
    RecordingSystemLog log;
    X11Displays displays;
    int beeps = 0;
    BuiltInDisplayService service { displays, defaults, clock, log, [this] { ++beeps; } };
};

}  // namespace

class TestBuiltInDisplayX11 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void switchesOffAndComesBackWhenTheExternalGoes();
    void toggleRestoresTheRememberedPlace_data();
    void toggleRestoresTheRememberedPlace();
    void refusedWithoutAnExternalOrWhenMirrored_data();
    void refusedWithoutAnExternalOrWhenMirrored();
    void restoresFromTheStoredIdAtLaunch();
    void terminationSwitchesThePanelOn();
    void theGuardSwitchesThePanelOnWhenMendoIsKilled();
    void theGuardEndsWhenThePanelComesOn();
    void plainXvfbOffersNothing();

private:
    // What `xrandr` shows of DUMMY0 and DUMMY1, and that something shows.
    QString line(const QString& output) { return outputLine(m_display, output); }
    void expectSomethingShows();
    void arrange(const QStringList& arguments);

    QString m_display;
    std::unique_ptr<x11::X11Connection> m_connection;
    std::unique_ptr<Switch> m_switch;
    DisplayId m_panel = 0;
    DisplayId m_external = 0;
};

void TestBuiltInDisplayX11::initTestCase()
{
    x11::installX11ErrorHandler();
    m_display = qEnvironmentVariable("MENDO_XORG_DUMMY_DISPLAY");
    if (m_display.isEmpty())
        return;
    m_connection = std::make_unique<x11::X11Connection>(m_display.toUtf8());
    QVERIFY(m_connection->isOpen());
    // DUMMY1 starts disconnected and without modes; one added connects it.
    QVERIFY(runXrandr(m_display, { "--addmode", "DUMMY1", "1024x768" }));
}

void TestBuiltInDisplayX11::arrange(const QStringList& arguments)
{
    QVERIFY(runXrandr(m_display, arguments));
    // The driver tells a connection that a mode change made only when the
    // server probes its outputs, which a plain query does.
    QVERIFY(runXrandr(m_display, {}));
    // Notices of the arrangement itself must not reach the next service.
    QTest::qWait(100);
}

// DUMMY0 plays the laptop's panel, DUMMY1 the external monitor on its right.
void TestBuiltInDisplayX11::init()
{
    if (QTest::currentTestFunction() == QByteArrayView("plainXvfbOffersNothing"))
        return;
    if (m_display.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no Xorg with the dummy driver: ")
            + qEnvironmentVariable("MENDO_XORG_DUMMY_MISSING", QStringLiteral("run through with-xorg-dummy.sh"))));
    arrange({ "--output", "DUMMY0", "--mode", "1024x768", "--pos", "0x0", "--primary", "--output", "DUMMY1",
        "--mode", "1024x768", "--right-of", "DUMMY0" });
    m_switch = std::make_unique<Switch>(*m_connection, QStringList { QStringLiteral("DUMMY0") });
    QVERIFY(m_switch->service.configureEnabled());
    const auto panel = m_switch->service.activeBuiltInDisplay();
    QVERIFY(panel);
    m_panel = *panel;
    const QList<DisplayId> others = m_switch->service.otherActiveDisplays(m_panel);
    QCOMPARE(others.size(), 1);
    m_external = others.first();
}

void TestBuiltInDisplayX11::cleanup()
{
    m_switch.reset();
}

void TestBuiltInDisplayX11::expectSomethingShows()
{
    bool any = false;
    for (const QString& text : xrandr(m_display).split(u'\n'))
        any = any || (text.startsWith(QStringLiteral("DUMMY")) && showing(text));
    QVERIFY2(any, "every output is dark");
}

void TestBuiltInDisplayX11::switchesOffAndComesBackWhenTheExternalGoes()
{
    BuiltInDisplayService& service = m_switch->service;
    service.disableBuiltIn();
    QVERIFY2(!showing(line("DUMMY0")), qPrintable(line("DUMMY0")));
    QVERIFY(line("DUMMY1").contains(QStringLiteral(" primary ")));
    QCOMPARE(m_switch->defaults.integer(key), qint64(m_panel));
    QCOMPARE(service.disabledDisplayID(), std::optional<DisplayId>(m_panel));
    QCOMPARE(m_switch->beeps, 0);
    QVERIFY(m_switch->log.lines.isEmpty());
    expectSomethingShows();
    // As the service sees the outputs at once, before the notices of its own
    // switch were read.
    QVERIFY(!service.activeBuiltInDisplay());
    QCOMPARE(service.otherActiveDisplays(m_panel), QList<DisplayId> { m_external });

    QSignalSpy notices(&m_switch->displays, &Displays::reconfigured);
    arrange({ "--output", "DUMMY1", "--off" });
    QTRY_VERIFY2_WITH_TIMEOUT(showing(line("DUMMY0")), qPrintable(m_switch->log.lines.join(u'\n')), 2000);
    // It came back on the server's notice, not only on a watchdog tick.
    const DisplayChange gone { m_external, true, false };
    QVERIFY(std::any_of(notices.cbegin(), notices.cend(),
        [&](const QList<QVariant>& notice) { return notice[0].value<QList<DisplayChange>>().contains(gone); }));
    QVERIFY(!m_switch->defaults.contains(key));
    QVERIFY(!service.disabledDisplayID());
    expectSomethingShows();
}

void TestBuiltInDisplayX11::toggleRestoresTheRememberedPlace_data()
{
    QTest::addColumn<QStringList>("arrangement");
    QTest::addColumn<QString>("externalAt");
    QTest::newRow("monitor right of the panel") << QStringList {} << QStringLiteral("1024x768+1024+0");
    QTest::newRow("monitor below the panel")
        << QStringList { "--output", "DUMMY1", "--pos", "0x768" } << QStringLiteral("1024x768+0+768");
}

void TestBuiltInDisplayX11::toggleRestoresTheRememberedPlace()
{
    QFETCH(QStringList, arrangement);
    QFETCH(QString, externalAt);
    if (!arrangement.isEmpty())
        arrange(arrangement);
    QVERIFY2(line("DUMMY1").contains(externalAt), qPrintable(line("DUMMY1")));
    m_switch->service.disableBuiltIn();
    QVERIFY(!showing(line("DUMMY0")));
    // The monitor alone, from 0,0, on a screen of its size: no dark strip
    // where the panel was.
    QVERIFY2(line("DUMMY1").contains(QStringLiteral("1024x768+0+0")), qPrintable(line("DUMMY1")));
    const QString screen = xrandr(m_display).section(u'\n', 0, 0);
    QVERIFY2(screen.contains(QStringLiteral("current 1024 x 768")), qPrintable(screen));

    m_switch->service.enableBuiltIn();
    QVERIFY2(line("DUMMY0").contains(QStringLiteral("connected primary 1024x768+0+0")), qPrintable(line("DUMMY0")));
    QVERIFY2(line("DUMMY1").contains(externalAt), qPrintable(line("DUMMY1")));
    QVERIFY(!m_switch->defaults.contains(key));
    QVERIFY(m_switch->log.lines.isEmpty());
}

void TestBuiltInDisplayX11::refusedWithoutAnExternalOrWhenMirrored_data()
{
    QTest::addColumn<QStringList>("arrangement");
    QTest::newRow("alone") << QStringList { "--output", "DUMMY1", "--off" };
    QTest::newRow("mirrored") << QStringList { "--output", "DUMMY1", "--mode", "1024x768", "--same-as", "DUMMY0" };
}

void TestBuiltInDisplayX11::refusedWithoutAnExternalOrWhenMirrored()
{
    QFETCH(QStringList, arrangement);
    arrange(arrangement);
    const QString before = xrandr(m_display);
    m_switch->service.disableBuiltIn();
    QCOMPARE(m_switch->beeps, 1);
    QCOMPARE(xrandr(m_display), before);
    QVERIFY(!m_switch->defaults.contains(key));
    expectSomethingShows();
}

void TestBuiltInDisplayX11::restoresFromTheStoredIdAtLaunch()
{
    // A run that switched the panel off and crashed: only the key is left.
    arrange({ "--output", "DUMMY0", "--off", "--output", "DUMMY1", "--pos", "0x0", "--primary" });
    QVERIFY(!showing(line("DUMMY0")));
    m_switch.reset();
    Switch next(*m_connection, { QStringLiteral("DUMMY0") });
    next.defaults.set(key, qint64(m_panel));
    next.service.restoreAfterPreviousLaunch();
    // Its best mode, to the right of the monitor.
    QVERIFY2(line("DUMMY0").contains(QStringLiteral("2048x1536+1024+0")), qPrintable(line("DUMMY0")));
    QVERIFY(!next.defaults.contains(key));
    QVERIFY(!next.service.disabledDisplayID());
    QVERIFY(next.log.lines.isEmpty());
    expectSomethingShows();
}

void TestBuiltInDisplayX11::terminationSwitchesThePanelOn()
{
    BuiltInDisplayBridge bridge(m_switch->service);
    QtApplicationControl application;
    MendoWindowPresenter presenter(application, m_switch->clock);
    struct : DragSwapMonitorControl {
        void start() override { }
    } dragSwap;
    MendoAppDelegate delegate(m_switch->defaults, m_switch->clock, application, presenter, bridge, dragSwap);

    bridge.disableBuiltIn();
    QVERIFY(!showing(line("DUMMY0")));
    expectSomethingShows();
    delegate.applicationWillTerminate();
    QVERIFY(showing(line("DUMMY0")));
    QVERIFY(!m_switch->defaults.contains(key));
}

void TestBuiltInDisplayX11::theGuardSwitchesThePanelOnWhenMendoIsKilled()
{
    m_switch.reset();
    // MendoAI in a process of its own, which switches the panel off and is
    // then killed outright: nothing of it runs any more.
    int ready[2];
    QCOMPARE(::pipe(ready), 0);
    const pid_t mendo = ::fork();
    QVERIFY(mendo >= 0);
    if (mendo == 0) {
        ::close(ready[0]);
        x11::X11Connection connection(m_display.toUtf8());
        Switch own(connection, { QStringLiteral("DUMMY0") });
        X11DisplayGuard guard(QStringLiteral(MENDO_DISPLAY_GUARD), m_display.toUtf8());
        own.service.setGuard(&guard);
        own.service.disableBuiltIn();
        const char off = own.service.disabledDisplayID() && guard.pid() > 0 ? '1' : '0';
        if (::write(ready[1], &off, 1) != 1)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char off = 0;
    QCOMPARE(::read(ready[0], &off, 1), ssize_t(1));
    ::close(ready[0]);
    QCOMPARE(off, '1');
    QVERIFY2(!showing(line("DUMMY0")), qPrintable(line("DUMMY0")));
    ::kill(mendo, SIGKILL);
    ::waitpid(mendo, nullptr, 0);
    QTRY_VERIFY2_WITH_TIMEOUT(showing(line("DUMMY0")), qPrintable(xrandr(m_display).left(400)), 15000);
    expectSomethingShows();
}

void TestBuiltInDisplayX11::theGuardEndsWhenThePanelComesOn()
{
    X11DisplayGuard guard(QStringLiteral(MENDO_DISPLAY_GUARD), m_display.toUtf8());
    m_switch->service.setGuard(&guard);
    m_switch->service.disableBuiltIn();
    const pid_t pid = guard.pid();
    QVERIFY(pid > 0);
    QTest::qWait(200);
    QCOMPARE(::kill(pid, 0), 0);
    // What the guard holds: resident, and of it its own (not shared).
    QFile memory(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    QVERIFY(memory.open(QIODevice::ReadOnly));
    for (const QByteArray& field : memory.readAll().split('\n'))
        if (field.startsWith("Rss:") || field.startsWith("Private_") || field.startsWith("Pss:"))
            qInfo("guard %s", field.simplified().constData());
    m_switch->service.enableBuiltIn();
    QVERIFY(showing(line("DUMMY0")));
    QCOMPARE(guard.pid(), 0);
    QVERIFY(::kill(pid, 0) != 0);
}

// The session's Xvfb: one output, "screen", which is not built in.
void TestBuiltInDisplayX11::plainXvfbOffersNothing()
{
    x11::X11Connection session;
    QVERIFY(session.isOpen());
    const QString display = QString::fromUtf8(qgetenv("DISPLAY"));
    Switch xvfb(session, X11Displays::standardBuiltInPrefixes);
    QCOMPARE(xvfb.service.activeDisplays().size(), 1);
    QVERIFY(!xvfb.service.activeBuiltInDisplay());

    BuiltInDisplayBridge bridge(xvfb.service);
    MenuBarController menuBar(bridge);
    const MenuBarMenu menu = menuBar.makeMenu();
    for (const MenuBarEntry& entry : menu.entries)
        QVERIFY2(!entry.title.contains(QStringLiteral("Display")), qPrintable(entry.title));

    const QString before = xrandr(display);
    xvfb.service.disableBuiltIn();
    QCOMPARE(xvfb.beeps, 1);
    QCOMPARE(xrandr(display), before);
}

QTEST_MAIN(TestBuiltInDisplayX11)
#include "test_builtin_display_x11.moc"
