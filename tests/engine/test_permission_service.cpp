#include "engine/PermissionService.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeInputMonitoring.h"
#include "fakes/FakeProcesses.h"
#include "platform/QtProcesses.h"

#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

template <class T> Task<> store(Task<T> task, std::optional<Outcome<T>>& into)
{
    into = co_await capture(std::move(task));
}

struct Rig {
    FakeClock clock;
    FakePermissions accessibility;
    FakeInputMonitoring input;
    FakeProcesses processes;
    PermissionService service { accessibility, input, processes, QStringLiteral("ubuntu:GNOME"),
        { QStringLiteral("ai.mendo.MendoAI"), QStringLiteral("mendo") } };
    std::vector<Task<>> tasks;

    Rig() { processes.clock = &clock; }

    template <class T> std::optional<Outcome<T>> finish(Task<T> task)
    {
        std::optional<Outcome<T>> outcome;
        tasks.push_back(store(std::move(task), outcome));
        clock.advance(10s);
        return outcome;
    }
};

}  // namespace

class TestPermissionService : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resetLines();
    void launchFailureStopsTheReset();
    void realResetToolIsMissingOnLinux();
    void grants();
    void readsWaitForARunningReset();
    void openSettings_data();
    void openSettings();
};

void TestPermissionService::resetLines()
{
    Rig rig;
    // The second reset is refused silently, the third with a message.
    rig.processes.exits = { {}, { 1, false, {} }, { 1, false, "  No such bundle\n" }, { 0, true, "killed" } };
    const auto outcome = rig.finish(rig.service.resetMendoPermissions());
    QVERIFY(outcome && outcome->ok());
    QCOMPARE(*outcome->value,
        QStringList({
            "reset Accessibility ai.mendo.MendoAI",
            "skip Accessibility mendo ",
            "skip ListenEvent ai.mendo.MendoAI No such bundle",
            "skip ListenEvent mendo killed",
        }));
    QCOMPARE(rig.processes.runs,
        QStringList({
            "/usr/bin/tccutil reset Accessibility ai.mendo.MendoAI",
            "/usr/bin/tccutil reset Accessibility mendo",
            "/usr/bin/tccutil reset ListenEvent ai.mendo.MendoAI",
            "/usr/bin/tccutil reset ListenEvent mendo",
        }));
    QCOMPARE(PermissionService::defaultBundleIds().size(), 5);
    QCOMPARE(PermissionService::defaultBundleIds().first(), QStringLiteral("ai.mendo.MendoAI"));
}

void TestPermissionService::launchFailureStopsTheReset()
{
    Rig rig;
    rig.processes.launchError = QStringLiteral("execve: No such file or directory");
    const auto outcome = rig.finish(rig.service.resetMendoPermissions());
    QVERIFY(outcome && !outcome->ok());
    QCOMPARE(outcome->error, QStringLiteral("execve: No such file or directory"));
    QCOMPARE(rig.processes.runs.size(), 1);
}

void TestPermissionService::realResetToolIsMissingOnLinux()
{
    FakePermissions accessibility;
    FakeInputMonitoring input;
    QtProcesses processes;
    PermissionService service { accessibility, input, processes };
    std::optional<Outcome<QStringList>> outcome;
    Task<> task = store(service.resetMendoPermissions(), outcome);
    QTRY_VERIFY(outcome.has_value());
    QVERIFY(!outcome->ok());
    QVERIFY2(!outcome->error.isEmpty(), "the launch failure carries the platform's message");

    // A program that does run reports its exit code and error output.
    std::optional<Outcome<ProcessExit>> shell;
    Task<> run = store(
        processes.run(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), QStringLiteral("echo nope >&2; exit 3") }),
        shell);
    QTRY_VERIFY(shell.has_value());
    QVERIFY(shell->ok());
    QCOMPARE(shell->value->exitCode, 3);
    QCOMPARE(shell->value->standardError, QByteArray("nope\n"));
}

void TestPermissionService::grants()
{
    Rig rig;
    rig.accessibility.granted = false;

    auto current = rig.finish(rig.service.currentAccess());
    QCOMPARE(*current->value, (PermissionState { false, false }));
    QCOMPARE(rig.accessibility.requests + rig.input.requests, 0);

    auto requested = rig.finish(rig.service.requestAccess());
    QCOMPARE(*requested->value, (PermissionState { true, true }));
    QCOMPARE(rig.accessibility.requests, 1);
    QCOMPARE(rig.input.requests, 1);
}

void TestPermissionService::readsWaitForARunningReset()
{
    Rig rig;
    rig.processes.runTime = 100ms;
    std::optional<Outcome<QStringList>> reset;
    std::optional<Outcome<PermissionState>> read;
    rig.tasks.push_back(store(rig.service.resetMendoPermissions(), reset));
    rig.tasks.push_back(store(rig.service.currentAccess(), read));
    rig.clock.advance(399ms);
    QVERIFY(!reset && !read);
    rig.clock.advance(1ms);
    QVERIFY(reset && read);
}

void TestPermissionService::openSettings_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QStringList>("started");

    QTest::newRow("the running desktop's own first")
        << "KDE" << QStringList { "gnome-control-center", "systemsettings" }
        << QStringList { "/usr/bin/systemsettings kcm_access" };
    QTest::newRow("another desktop's when that is all there is")
        << "XFCE" << QStringList { "gnome-control-center" }
        << QStringList { "/usr/bin/gnome-control-center universal-access" };
    QTest::newRow("none installed") << "GNOME" << QStringList {} << QStringList {};
}

void TestPermissionService::openSettings()
{
    QFETCH(QString, desktop);
    QFETCH(QStringList, installed);
    QFETCH(QStringList, started);

    FakePermissions accessibility;
    FakeInputMonitoring input;
    FakeProcesses processes;
    for (const QString& name : installed)
        processes.installed.insert(name, QStringLiteral("/usr/bin/") + name);
    PermissionService service { accessibility, input, processes, desktop };

    QCOMPARE(service.openSettings(PermissionSettingsTarget::inputMonitoring), !started.isEmpty());
    QCOMPARE(processes.started, started);

    // A program that will not start counts as none.
    processes.startSucceeds = false;
    QVERIFY(!service.openSettings(PermissionSettingsTarget::privacy));
}

QTEST_GUILESS_MAIN(TestPermissionService)
#include "test_permission_service.moc"
