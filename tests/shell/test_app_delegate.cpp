#include "shell/ApplicationControl.h"
#include "shell/DesktopServiceHooks.h"
#include "shell/MendoAppDelegate.h"
#include "shell/MendoWindowPresenter.h"
#include "fakes/FakeClock.h"
#include "fakes/MemoryUserDefaults.h"

#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QWidget>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

// The application's window list and activation policy, in memory; every
// policy assignment is recorded so that a test sees also the ones that did
// not change the value.
class FakeApplication final : public ApplicationControl {
public:
    QWidgetList windows() const override
    {
        QWidgetList alive;
        for (const auto& w : list)
            if (w)
                alive << w;
        return alive;
    }
    ActivationPolicy activationPolicy() const override { return policy; }
    void setActivationPolicy(ActivationPolicy p) override
    {
        policy = p;
        assignments << p;
    }
    void activate() override { ++activations; }

    QList<QPointer<QWidget>> list;
    ActivationPolicy policy = ActivationPolicy::regular;
    QList<ActivationPolicy> assignments;
    int activations = 0;
};

class RecordingDesktop final : public BuiltInDisplayControl, public DragSwapMonitorControl {
public:
    void restoreAfterPreviousLaunch() override { calls << QStringLiteral("restore"); }
    void enableBuiltIn() override { calls << QStringLiteral("enable"); }
    void start() override { calls << QStringLiteral("dragSwap"); }
    QStringList calls;
};

// A launched delegate with one shown main window.
struct Shell {
    MemoryUserDefaults defaults;
    FakeClock clock;
    FakeApplication app;
    RecordingDesktop desktop;
    MendoWindowPresenter presenter { app, clock };
    MendoAppDelegate delegate { defaults, clock, app, presenter, desktop, desktop };
    std::unique_ptr<QWidget> main = std::make_unique<QWidget>();

    Shell()
    {
        app.list << main.get();
        main->show();
        delegate.applicationDidFinishLaunching();
        clock.flush();  // the windows are configured on the next turn
        app.assignments.clear();
    }
    std::unique_ptr<QWidget> addWindow(Qt::WindowType type)
    {
        auto window = std::make_unique<QWidget>(nullptr, type);
        app.list << window.get();
        return window;
    }
};

}  // namespace

Q_DECLARE_METATYPE(std::optional<QVariant>)

class TestAppDelegate : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void policyFollowsBothKeys_data();
    void policyFollowsBothKeys();
    void closingMainWindowHidesItAndLeavesTheTaskbar();
    void closingReallyClosesWithoutThePolicy_data();
    void closingReallyClosesWithoutThePolicy();
    void minimisedWindowLeavesTheTaskbarWithinASecond();
    void panelsAndDialogsAreNotIntercepted();
    void termination();
    void reopenBringsHiddenWindowBack();
    void showMainWindowOpensOneWhenNoneExists();
    void noPolicyRunsWhileNothingChanges();
};

void TestAppDelegate::policyFollowsBothKeys_data()
{
    QTest::addColumn<std::optional<QVariant>>("closeToMenuBar");
    QTest::addColumn<std::optional<QVariant>>("iconVisible");
    QTest::addColumn<bool>("holds");
    const std::optional<QVariant> absent;
    QTest::newRow("both absent") << absent << absent << true;
    QTest::newRow("both true") << std::optional(QVariant(true)) << std::optional(QVariant(true)) << true;
    QTest::newRow("close off") << std::optional(QVariant(false)) << absent << false;
    QTest::newRow("icon hidden") << absent << std::optional(QVariant(false)) << false;
    QTest::newRow("stored as text no") << std::optional(QVariant(QStringLiteral("no"))) << absent << false;
    QTest::newRow("stored as number 1") << std::optional(QVariant(qint64(1))) << absent << true;
}

void TestAppDelegate::policyFollowsBothKeys()
{
    QFETCH(std::optional<QVariant>, closeToMenuBar);
    QFETCH(std::optional<QVariant>, iconVisible);
    QFETCH(bool, holds);
    Shell shell;
    if (closeToMenuBar)
        shell.defaults.values.insert(QStringLiteral("mendo.closeToMenuBar"), *closeToMenuBar);
    if (iconVisible)
        shell.defaults.values.insert(QStringLiteral("mendo.menuBarIconVisible"), *iconVisible);
    QCOMPARE(shell.delegate.shouldStayInMenuBar(), holds);
    QCOMPARE(shell.delegate.applicationShouldTerminateAfterLastWindowClosed(), !holds);
}

void TestAppDelegate::closingMainWindowHidesItAndLeavesTheTaskbar()
{
    Shell shell;
    QCOMPARE(shell.desktop.calls, (QStringList { "restore", "dragSwap" }));
    QCOMPARE(shell.main->windowTitle(), QStringLiteral("MendoAI"));

    QVERIFY(!shell.main->close());
    QVERIFY(shell.main->isHidden());
    // Hidden, not closed: the same window with its content comes back.
    QCOMPARE(shell.app.policy, ActivationPolicy::accessory);
    QVERIFY(!shell.delegate.applicationShouldTerminateAfterLastWindowClosed());

    // The follow-up checks read the windows afresh: the window shown again
    // at 100 ms makes the 200 ms check regular.
    shell.app.assignments.clear();
    shell.clock.advance(100ms);
    shell.main->show();
    shell.clock.advance(100ms);
    QCOMPARE(shell.app.policy, ActivationPolicy::regular);
}

void TestAppDelegate::closingReallyClosesWithoutThePolicy_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("close to tray off") << QStringLiteral("mendo.closeToMenuBar");
    QTest::newRow("tray icon hidden") << QStringLiteral("mendo.menuBarIconVisible");
}

void TestAppDelegate::closingReallyClosesWithoutThePolicy()
{
    QFETCH(QString, key);
    Shell shell;
    // Read at every use: switching the key after launch is obeyed at once.
    shell.defaults.set(key, false);
    QVERIFY(shell.main->close());
    QVERIFY(shell.delegate.applicationShouldTerminateAfterLastWindowClosed());
    shell.clock.advance(5s);
    QVERIFY(shell.app.assignments.isEmpty());
}

void TestAppDelegate::minimisedWindowLeavesTheTaskbarWithinASecond()
{
    Shell shell;
    shell.main->showMinimized();
    shell.clock.advance(999ms);
    QCOMPARE(shell.app.policy, ActivationPolicy::regular);
    shell.clock.advance(1ms);
    QCOMPARE(shell.app.policy, ActivationPolicy::accessory);

    shell.presenter.showMainWindow();
    QCOMPARE(shell.app.policy, ActivationPolicy::regular);
    QVERIFY(shell.main->isVisible() && !shell.main->isMinimized());
    shell.clock.advance(1s);
    QCOMPARE(shell.app.policy, ActivationPolicy::regular);
}

// Nothing is checked while no window changes: an idle process sleeps.
void TestAppDelegate::noPolicyRunsWhileNothingChanges()
{
    Shell shell;
    shell.clock.advance(2s);
    shell.app.assignments.clear();
    QCOMPARE(shell.clock.pendingTimers(), 0);
    shell.clock.advance(10s);
    QVERIFY(shell.app.assignments.isEmpty());
}

void TestAppDelegate::panelsAndDialogsAreNotIntercepted()
{
    Shell shell;
    auto panel = shell.addWindow(Qt::Tool);
    auto dialog = shell.addWindow(Qt::Dialog);
    dialog->setWindowTitle(QStringLiteral("Choose an application"));
    panel->show();
    dialog->show();
    QEvent activation(QEvent::WindowActivate);
    QCoreApplication::sendEvent(dialog.get(), &activation);
    shell.clock.flush();
    // Only main windows take the application's title.
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Choose an application"));

    // A panel closes for real and sets off no policy run.
    QVERIFY(panel->close());
    shell.clock.advance(500ms);
    QVERIFY(shell.app.assignments.isEmpty());

    // A dialog closes for real too, but as a window of the application its
    // closing sets off the policy run.
    QVERIFY(dialog->close());
    shell.clock.flush();
    QCOMPARE(shell.app.assignments, QList<ActivationPolicy> { ActivationPolicy::regular });
    QVERIFY(!shell.delegate.isDelegateOf(dialog.get()));

    // A visible panel never keeps the application in the taskbar.
    panel->show();
    shell.main->hide();
    shell.clock.advance(1s);
    QCOMPARE(shell.app.policy, ActivationPolicy::accessory);
}

void TestAppDelegate::termination()
{
    Shell shell;
    QVERIFY(shell.delegate.applicationShouldTerminate());
    // Once agreed, the main window closes instead of hiding.
    QVERIFY(shell.main->close());
    shell.clock.advance(600ms);

    shell.delegate.applicationWillTerminate();
    QCOMPARE(shell.desktop.calls.last(), QStringLiteral("enable"));
    shell.app.assignments.clear();
    shell.clock.advance(5s);
    QVERIFY(shell.app.assignments.isEmpty());
    QCOMPARE(shell.clock.pendingTimers(), 0);
}

void TestAppDelegate::reopenBringsHiddenWindowBack()
{
    Shell shell;
    shell.main->close();
    QCOMPARE(shell.app.policy, ActivationPolicy::accessory);

    QVERIFY(shell.delegate.applicationShouldHandleReopen(false));
    QVERIFY(shell.main->isVisible());
    QCOMPARE(shell.app.policy, ActivationPolicy::regular);
    QVERIFY(shell.app.activations > 0);
}

void TestAppDelegate::showMainWindowOpensOneWhenNoneExists()
{
    MemoryUserDefaults defaults;
    FakeClock clock;
    FakeApplication app;
    MendoWindowPresenter presenter(app, clock);
    std::unique_ptr<QWidget> opened;
    int opens = 0;

    presenter.showMainWindow([&] {
        ++opens;
        opened = std::make_unique<QWidget>();
        app.list << opened.get();
    });
    QCOMPARE(opens, 1);
    QVERIFY(!opened->isVisible());
    clock.flush();
    QVERIFY(opened->isVisible());
    QCOMPARE(opened->windowTitle(), QStringLiteral("MendoAI"));
    QCOMPARE(app.policy, ActivationPolicy::regular);

    // With a window there, the action is not called again.
    opened->hide();
    presenter.showMainWindow([&] { ++opens; });
    QCOMPARE(opens, 1);
    QVERIFY(opened->isVisible());
}

QTEST_MAIN(TestAppDelegate)
#include "test_app_delegate.moc"
