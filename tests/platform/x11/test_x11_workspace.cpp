// The front application, activation and its notices over EWMH (openbox), and
// the focus memory following them.

#include "support/X11TestApps.h"
#include "engine/FocusService.h"
#include "platform/x11/Ewmh.h"
#include "platform/x11/X11Workspace.h"

#include <QSignalSpy>
#include <QWidget>

using namespace mendo;
using namespace mendo::testing;

class TestX11Workspace : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void findsAndActivatesOtherApplications();
    void ownWindowsAreRecognisedAndNeverRemembered();
    void staleWindowsAreOrdinaryFailures();

private:
    std::unique_ptr<OtherApp> startFront(X11Workspace& workspace, const QString& className);
    // No desktop entries: ids are the WM_CLASS classes.
    ApplicationIdResolver m_resolver{QStringList{}};
    x11::X11Connection m_connection;
};

void TestX11Workspace::initTestCase()
{
    // Qt takes the WM_CLASS class from the application name when it creates
    // the first window: this process's windows are MendoAI's.
    QCoreApplication::setApplicationName(QStringLiteral("MendoAI"));
}

std::unique_ptr<OtherApp> TestX11Workspace::startFront(X11Workspace& workspace, const QString& className)
{
    auto app = startTargetApp(className, {QStringLiteral("--class"), className});
    if (!waitUntilFrontmost(workspace, app->pid()))
        return nullptr;
    return app;
}

void TestX11Workspace::findsAndActivatesOtherApplications()
{
    X11Workspace workspace(m_connection, m_resolver);
    FocusService focus(workspace);
    QSignalSpy activated(&workspace, &Workspace::applicationActivated);

    auto first = startFront(workspace, QStringLiteral("MendoTargetOne"));
    QVERIFY(first);
    auto second = startFront(workspace, QStringLiteral("MendoTargetTwo"));
    QVERIFY(second);

    const auto front = workspace.frontmostApplication();
    QVERIFY(front);
    QCOMPARE(front->processIdentifier, second->pid());
    QCOMPARE(front->bundleIdentifier, QStringLiteral("MendoTargetTwo"));
    QVERIFY(front->window != 0);
    QTRY_COMPARE(focus.rememberedProcessIdentifier(), std::optional<qint32>(second->pid()));
    QCOMPARE(focus.rememberedBundleIdentifier(), std::optional<QString>(QStringLiteral("MendoTargetTwo")));
    QCOMPARE(focus.rememberedWindow(), std::optional<WindowId>(front->window));

    // Both run, the front one first.
    QList<RunningApplication> running = workspace.runningApplications();
    QVERIFY(running.size() >= 2);
    QCOMPARE(running[0], *front);
    const auto firstApp = std::find_if(running.begin(), running.end(), [&](const RunningApplication& app) {
        return app.processIdentifier == first->pid();
    });
    QVERIFY(firstApp != running.end());
    QCOMPARE(firstApp->bundleIdentifier, QStringLiteral("MendoTargetOne"));

    // Switching back is noticed, and the focus memory follows it.
    activated.clear();
    QVERIFY(focus.activate(QStringLiteral("MendoTargetOne")));
    QVERIFY(waitUntilFrontmost(workspace, first->pid()));
    QTRY_VERIFY(!activated.isEmpty());
    QCOMPARE(activated.last().at(0).value<RunningApplication>(), *firstApp);
    QTRY_COMPARE(focus.rememberedProcessIdentifier(), std::optional<qint32>(first->pid()));
    QCOMPARE(focus.rememberedBundleIdentifier(), std::optional<QString>(QStringLiteral("MendoTargetOne")));
}

void TestX11Workspace::ownWindowsAreRecognisedAndNeverRemembered()
{
    X11Workspace workspace(m_connection, m_resolver);
    FocusService focus(workspace);
    auto other = startFront(workspace, QStringLiteral("MendoTargetThree"));
    QVERIFY(other);
    QTRY_COMPARE(focus.rememberedProcessIdentifier(), std::optional<qint32>(other->pid()));

    QSignalSpy activated(&workspace, &Workspace::applicationActivated);
    QWidget panel;
    panel.setWindowTitle(QStringLiteral("MendoAI panel"));
    panel.resize(200, 100);
    panel.show();
    panel.activateWindow();
    QVERIFY(waitUntilFrontmost(workspace, qint32(QCoreApplication::applicationPid())));
    const auto front = workspace.frontmostApplication();
    QVERIFY(workspace.isOwnApplication(*front));
    QVERIFY(workspace.ownBundleIdentifiers().contains(front->bundleIdentifier));
    QTRY_VERIFY(!activated.isEmpty());
    // The notice went out, but the memory still names the other application.
    QCOMPARE(focus.rememberedProcessIdentifier(), std::optional<qint32>(other->pid()));
    QVERIFY(!workspace.isOwnApplication(workspace.runningApplications().value(1)));
}

void TestX11Workspace::staleWindowsAreOrdinaryFailures()
{
    X11Workspace workspace(m_connection, m_resolver);
    auto gone = startFront(workspace, QStringLiteral("MendoTargetGone"));
    QVERIFY(gone);
    const RunningApplication record = *workspace.frontmostApplication();
    gone.reset();
    QTRY_VERIFY(!workspace.frontmostApplication() || workspace.frontmostApplication()->window != record.window);

    // Every query of the dead window answers "nothing" instead of ending
    // the process.
    QVERIFY(!workspace.activate(record));
    x11::X11Connection connection;
    QCOMPARE(x11::ewmh::processId(connection, record.window), std::nullopt);
    QVERIFY(!x11::ewmh::windowClass(connection, record.window));
    QVERIFY(!x11::ewmh::requestActivation(connection, record.window));
    QVERIFY(!connection.windowExists(record.window));
    for (const RunningApplication& app : workspace.runningApplications())
        QVERIFY(app.window != record.window);

    // The server soon hands the dead window's id to a new client (here it
    // usually does): that one's activation is still noticed, and the old
    // record never activates it.
    QSignalSpy activated(&workspace, &Workspace::applicationActivated);
    auto next = startFront(workspace, QStringLiteral("MendoTargetNext"));
    QVERIFY(next);
    QTRY_VERIFY(!activated.isEmpty());
    QCOMPARE(activated.last().at(0).value<RunningApplication>().processIdentifier, next->pid());
    QVERIFY(!workspace.activate(record));
}

QTEST_MAIN(TestX11Workspace)
#include "test_x11_workspace.moc"
