#include "engine/FocusService.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeWorkspace.h"

#include <QTest>

using namespace mendo;

namespace {

const RunningApplication kSelf{50, QStringLiteral("ai.mendo.MendoAI"), 5};
const RunningApplication kEditor{100, QStringLiteral("org.example.Editor"), 11};
const RunningApplication kEditorSecondWindow{100, QStringLiteral("org.example.Editor"), 12};
const RunningApplication kOther{200, QStringLiteral("org.example.Other"), 21};
const RunningApplication kNoId{300, QString(), 31};
const RunningApplication kNoPid{0, QStringLiteral("org.example.NoPid"), 41};

}  // namespace

class TestFocusService : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void remembersForeignActivations_data();
    void remembersForeignActivations();
    void activateByIdentifier_data();
    void activateByIdentifier();
    void readsTheAccessibleWindowOnceTheEventLoopRuns();
};

void TestFocusService::remembersForeignActivations_data()
{
    QTest::addColumn<QList<RunningApplication>>("activations");
    QTest::addColumn<int>("restoringPid");  // 0: none
    QTest::addColumn<QString>("bundle");
    QTest::addColumn<int>("pid");      // 0: absent
    QTest::addColumn<quint64>("window");  // 0: absent

    QTest::newRow("another application replaces the memory")
        << QList<RunningApplication>{kEditor, kOther} << 0 << kOther.bundleIdentifier << 200 << quint64(21);
    QTest::newRow("MendoAI's own windows are never remembered")
        << QList<RunningApplication>{kEditor, kSelf} << 0 << kEditor.bundleIdentifier << 100 << quint64(11);
    QTest::newRow("an application without id is never remembered")
        << QList<RunningApplication>{kEditor, kNoId} << 0 << kEditor.bundleIdentifier << 100 << quint64(11);
    QTest::newRow("the process a reply goes into keeps the remembered window")
        << QList<RunningApplication>{kEditor, kEditorSecondWindow} << 100 << kEditor.bundleIdentifier << 100
        << quint64(11);
    QTest::newRow("while restoring, other applications still replace it")
        << QList<RunningApplication>{kEditor, kOther} << 100 << kOther.bundleIdentifier << 200 << quint64(21);
    QTest::newRow("a window without pid names no process")
        << QList<RunningApplication>{kEditor, kNoPid} << 0 << kNoPid.bundleIdentifier << 0 << quint64(41);
}

void TestFocusService::remembersForeignActivations()
{
    QFETCH(QList<RunningApplication>, activations);
    QFETCH(int, restoringPid);
    QFETCH(QString, bundle);
    QFETCH(int, pid);
    QFETCH(quint64, window);

    FakeWorkspace workspace;
    FocusService focus(workspace);
    QVERIFY(!focus.rememberedBundleIdentifier());
    workspace.bringToFront(activations.first());
    if (restoringPid)
        focus.setRestoringProcessIdentifier(restoringPid);
    for (qsizetype i = 1; i < activations.size(); ++i)
        workspace.bringToFront(activations[i]);

    QCOMPARE(focus.rememberedBundleIdentifier(), std::optional<QString>(bundle));
    QCOMPARE(focus.rememberedProcessIdentifier(), pid ? std::optional<qint32>(pid) : std::nullopt);
    QCOMPARE(focus.rememberedWindow(), window ? std::optional<WindowId>(window) : std::nullopt);
}

void TestFocusService::activateByIdentifier_data()
{
    QTest::addColumn<QString>("bundle");
    QTest::addColumn<bool>("activationSucceeds");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<QList<qint32>>("activatedPids");

    QTest::newRow("already in front: nothing to do") << kSelf.bundleIdentifier << true << true << QList<qint32>{};
    QTest::newRow("first running instance is activated")
        << kEditor.bundleIdentifier << true << true << QList<qint32>{100};
    QTest::newRow("activation refused") << kEditor.bundleIdentifier << false << false << QList<qint32>{100};
    QTest::newRow("not running") << QStringLiteral("org.example.Gone") << true << false << QList<qint32>{};
    QTest::newRow("empty id names no application") << QString() << true << false << QList<qint32>{};
}

void TestFocusService::activateByIdentifier()
{
    QFETCH(QString, bundle);
    QFETCH(bool, activationSucceeds);
    QFETCH(bool, expected);
    QFETCH(QList<qint32>, activatedPids);

    FakeWorkspace workspace;
    workspace.applications = {kSelf, kNoId, kOther, kEditor, RunningApplication{101, kEditor.bundleIdentifier, 13}};
    workspace.front = kSelf;
    workspace.activationSucceeds = activationSucceeds;
    FocusService focus(workspace);

    QCOMPARE(focus.activate(bundle), expected);
    QList<qint32> pids;
    for (const RunningApplication& application : workspace.activations)
        pids << application.processIdentifier;
    QCOMPARE(pids, activatedPids);
}

// The accessibility bus is asked after the remembering call has returned: a
// hotkey's action starts without waiting for it.
void TestFocusService::readsTheAccessibleWindowOnceTheEventLoopRuns()
{
    FakeWorkspace workspace;
    FakeAccessibility ax;
    FocusService focus(workspace, ax);
    FakeAXNodePtr windows[2];
    for (const RunningApplication& application : { kEditor, kOther }) {
        FakeAXNodePtr app = ax.addApplication(application.processIdentifier);
        FakeAXNodePtr& window = windows[application == kEditor ? 0 : 1];
        window = ax.addChild(app, ax::WindowRole, application.bundleIdentifier);
        ax.application(application.processIdentifier)->focusedWindow = window.get();
    }

    focus.remember(kEditor);
    QVERIFY(!focus.rememberedAccessibleWindow());
    QCoreApplication::processEvents();
    QCOMPARE(focus.rememberedAccessibleWindow(), AXElement(windows[0]));

    // A later application's window replaces it, read the same way.
    focus.remember(kOther);
    QVERIFY(!focus.rememberedAccessibleWindow());
    QCoreApplication::processEvents();
    QCOMPARE(focus.rememberedAccessibleWindow(), AXElement(windows[1]));
}

QTEST_GUILESS_MAIN(TestFocusService)
#include "test_focus_service.moc"
