#include "desktop/BuiltInDisplayService.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDisplays.h"
#include "fakes/MemoryUserDefaults.h"
#include "fakes/RecordingSystemLog.h"

#include <QSignalSpy>
#include <QTest>

using namespace mendo;

using SetUp = std::function<void(FakeDisplays&)>;
Q_DECLARE_METATYPE(SetUp)
Q_DECLARE_METATYPE(mendo::DisplayChange)

namespace {

using Step = DisplaySwitchResult::Step;
const QString key = BuiltInDisplayService::disabledIDKey;
constexpr DisplayId panel = 1;

// A laptop panel (1) with two external monitors (2, 3) unless a test says
// otherwise.
struct Rig {
    FakeClock clock;
    FakeDisplays displays;
    MemoryUserDefaults defaults;
    RecordingSystemLog log;
    int beeps = 0;
    BuiltInDisplayService service { displays, defaults, clock, log, [this] { ++beeps; } };
    QSignalSpy changes { &service, &BuiltInDisplayService::onChange };

    explicit Rig(int externals = 2)
    {
        displays.displays << FakeDisplays::Display { panel, true };
        for (int i = 0; i < externals; ++i)
            displays.displays << FakeDisplays::Display { DisplayId(2 + i), false };
    }
    bool panelActive() { return displays.find(panel)->active; }
    void switchOff()
    {
        service.disableBuiltIn();
        QVERIFY(!panelActive());
        changes.clear();
        displays.calls.clear();
    }
    void notice(QList<DisplayChange> changes)
    {
        displays.notice(changes);
        QCoreApplication::processEvents();
    }
    void expectOff()
    {
        QVERIFY(!panelActive());
        QCOMPARE(service.disabledDisplayID(), std::optional<DisplayId>(panel));
        QCOMPARE(defaults.integer(key), qint64(panel));
        QVERIFY(service.watchdogRunning());
    }
    void expectOn()
    {
        QVERIFY(panelActive());
        QVERIFY(!service.disabledDisplayID());
        QVERIFY(!defaults.contains(key));
        QVERIFY(!service.watchdogRunning());
        QVERIFY(service.removedDisplays().isEmpty());
    }
};

}  // namespace

class TestBuiltInDisplayService : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refusedSwitchOffBeepsAndChangesNothing_data();
    void refusedSwitchOffBeepsAndChangesNothing();
    void switchesOffAndOnAgain();
    void switchFailuresAreLoggedAndChangeNothing_data();
    void switchFailuresAreLoggedAndChangeNothing();
    void failedSwitchOnIsRetriedByTheWatchdog();
    void reconfigurationNotices_data();
    void reconfigurationNotices();
    void sleepingLastExternalBringsThePanelBackWithinTwoSeconds();
    void launchRestore_data();
    void launchRestore();
};

void TestBuiltInDisplayService::refusedSwitchOffBeepsAndChangesNothing_data()
{
    QTest::addColumn<SetUp>("setUp");
    using D = FakeDisplays&;
    QTest::newRow("cannot configure") << SetUp([](D d) { d.canConfigure = false; });
    QTest::newRow("no built-in display active") << SetUp([](D d) { d.find(panel)->active = false; });
    QTest::newRow("no built-in display at all") << SetUp([](D d) { d.find(panel)->builtin = false; });
    QTest::newRow("no external display") << SetUp([](D d) { d.displays.resize(1); });
    QTest::newRow("externals asleep") << SetUp([](D d) { d.find(2)->asleep = d.find(3)->asleep = true; });
    QTest::newRow("externals offline") << SetUp([](D d) { d.find(2)->online = d.find(3)->online = false; });
    QTest::newRow("others built in") << SetUp([](D d) { d.find(2)->builtin = d.find(3)->builtin = true; });
    QTest::newRow("mirrored") << SetUp([](D d) { d.find(panel)->mirrored = true; });
}

void TestBuiltInDisplayService::refusedSwitchOffBeepsAndChangesNothing()
{
    QFETCH(SetUp, setUp);
    Rig rig;
    setUp(rig.displays);
    rig.service.disableBuiltIn();
    QCOMPARE(rig.beeps, 1);
    QVERIFY(rig.displays.calls.isEmpty());
    QVERIFY(!rig.service.disabledDisplayID());
    QVERIFY(!rig.defaults.contains(key));
    QVERIFY(!rig.service.watchdogRunning());
    QCOMPARE(rig.changes.count(), 0);
}

void TestBuiltInDisplayService::switchesOffAndOnAgain()
{
    Rig rig;
    // Nothing recorded: nothing to switch on, nothing to tell.
    rig.service.enableBuiltIn();
    QVERIFY(rig.displays.calls.isEmpty());
    QCOMPARE(rig.changes.count(), 0);

    QCOMPARE(rig.service.activeBuiltInDisplay(), std::optional<DisplayId>(panel));
    QCOMPARE(rig.service.otherActiveDisplays(panel), (QList<DisplayId> { 2, 3 }));
    rig.service.disableBuiltIn();
    QCOMPARE(rig.displays.calls, QStringList { "off 1" });
    QVERIFY(rig.displays.watching);
    rig.expectOff();
    QCOMPARE(rig.changes.count(), 1);
    QCOMPARE(rig.beeps, 0);

    // Off already: no active built-in display is left to switch off.
    rig.service.disableBuiltIn();
    QCOMPARE(rig.beeps, 1);
    QCOMPARE(rig.displays.calls.size(), 1);
    rig.expectOff();

    rig.service.enableBuiltIn();
    QCOMPARE(rig.displays.calls, (QStringList { "off 1", "on 1" }));
    rig.expectOn();
    QCOMPARE(rig.changes.count(), 2);
    QVERIFY(rig.log.lines.isEmpty());
}

void TestBuiltInDisplayService::switchFailuresAreLoggedAndChangeNothing_data()
{
    QTest::addColumn<bool>("switchingOn");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("line");
    QTest::newRow("off, configure") << false << int(Step::configure)
                                    << "MendoAI built-in display: configure false failed 8";
    QTest::newRow("off, complete") << false << int(Step::complete)
                                   << "MendoAI built-in display: complete false result 8";
    QTest::newRow("on, configure") << true << int(Step::configure)
                                   << "MendoAI built-in display: configure true failed 8";
    QTest::newRow("on, complete") << true << int(Step::complete)
                                  << "MendoAI built-in display: complete true result 8";
    QTest::newRow("off, no server") << false << int(Step::unavailable) << QString();
}

void TestBuiltInDisplayService::switchFailuresAreLoggedAndChangeNothing()
{
    QFETCH(bool, switchingOn);
    QFETCH(int, step);
    QFETCH(QString, line);
    Rig rig;
    if (switchingOn)
        rig.switchOff();
    rig.displays.nextResult = DisplaySwitchResult { Step(step), 8 };
    if (switchingOn)
        rig.service.enableBuiltIn();
    else
        rig.service.disableBuiltIn();

    QCOMPARE(rig.log.lines, line.isEmpty() ? QStringList() : QStringList { line });
    QCOMPARE(rig.beeps, 0);
    QCOMPARE(rig.changes.count(), 0);
    if (switchingOn) {
        rig.expectOff();
    } else {
        QVERIFY(rig.panelActive());
        QVERIFY(!rig.service.disabledDisplayID());
        QVERIFY(!rig.defaults.contains(key));
        QVERIFY(!rig.service.watchdogRunning());
    }
}

void TestBuiltInDisplayService::failedSwitchOnIsRetriedByTheWatchdog()
{
    Rig rig(1);
    rig.switchOff();
    rig.displays.find(2)->active = false;
    rig.displays.nextResult = DisplaySwitchResult { Step::configure, 3 };
    rig.clock.advance(BuiltInDisplayService::watchdogInterval);
    QCOMPARE(rig.displays.calls, QStringList { "on 1" });
    rig.expectOff();

    rig.clock.advance(BuiltInDisplayService::watchdogInterval);
    QCOMPARE(rig.displays.calls, (QStringList { "on 1", "on 1" }));
    rig.expectOn();
    QCOMPARE(rig.changes.count(), 1);
}

void TestBuiltInDisplayService::reconfigurationNotices_data()
{
    QTest::addColumn<QList<QList<DisplayChange>>>("notices");
    QTest::addColumn<QSet<DisplayId>>("removed");
    QTest::addColumn<bool>("backOn");
    using N = QList<QList<DisplayChange>>;
    QTest::newRow("one external removed") << N { { { 2, true, false } } } << QSet<DisplayId> { 2 } << false;
    QTest::newRow("removed, then added again")
        << N { { { 2, true, false } }, { { 2, false, true } } } << QSet<DisplayId>() << false;
    QTest::newRow("removed and added in one notice") << N { { { 2, true, true } } } << QSet<DisplayId>() << false;
    QTest::newRow("the built-in display removed") << N { { { panel, true, false } } } << QSet<DisplayId>() << false;
    QTest::newRow("a notice of nothing") << N { {} } << QSet<DisplayId>() << false;
    QTest::newRow("both externals removed, one notice each")
        << N { { { 2, true, false } }, { { 3, true, false } } } << QSet<DisplayId>() << true;
    QTest::newRow("both externals removed in one notice")
        << N { { { 2, true, false }, { 3, true, false } } } << QSet<DisplayId>() << true;
}

void TestBuiltInDisplayService::reconfigurationNotices()
{
    QFETCH(QList<QList<DisplayChange>>, notices);
    QFETCH(QSet<DisplayId>, removed);
    QFETCH(bool, backOn);
    Rig rig;
    rig.switchOff();
    // The displays still look active: only the notices tell they are gone.
    for (const QList<DisplayChange>& notice : notices)
        rig.notice(notice);
    QCOMPARE(rig.service.removedDisplays(), removed);
    if (backOn)
        rig.expectOn();
    else
        rig.expectOff();
    // Every notice is told on, as is the switch back on.
    QCOMPARE(rig.changes.count(), notices.size() + (backOn ? 1 : 0));
}

void TestBuiltInDisplayService::sleepingLastExternalBringsThePanelBackWithinTwoSeconds()
{
    Rig rig(1);
    rig.switchOff();
    rig.displays.find(2)->asleep = true;
    rig.clock.advance(BuiltInDisplayService::watchdogInterval - Millis(1));
    rig.expectOff();
    rig.clock.advance(Millis(1));
    rig.expectOn();
    QCOMPARE(rig.clock.pendingTimers(), 0);
}

void TestBuiltInDisplayService::launchRestore_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("panelOff");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("keyKept");
    QTest::addColumn<bool>("recordedOff");
    const int none = -1;
    QTest::newRow("no key") << QVariant() << false << none << QStringList() << false << false;
    QTest::newRow("zero") << QVariant(qint64(0)) << false << none << QStringList() << true << false;
    QTest::newRow("not a number") << QVariant(QStringLiteral("x")) << false << none << QStringList() << true
                                  << false;
    QTest::newRow("stale: no such display") << QVariant(qint64(77)) << false << none << QStringList() << false
                                            << false;
    QTest::newRow("stale: an external display") << QVariant(qint64(2)) << false << none << QStringList() << false
                                                << false;
    QTest::newRow("off, switched on") << QVariant(qint64(panel)) << true << none << QStringList { "on 1" } << false
                                      << false;
    QTest::newRow("already on") << QVariant(qint64(panel)) << false << none << QStringList { "on 1" } << false
                                << false;
    QTest::newRow("high bits ignored") << QVariant(qint64(panel) | (qint64(1) << 32)) << true << none
                                       << QStringList { "on 1" } << false << false;
    QTest::newRow("switch-on fails") << QVariant(qint64(panel)) << true << int(Step::configure)
                                     << QStringList { "on 1" } << true << true;
}

void TestBuiltInDisplayService::launchRestore()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, panelOff);
    QFETCH(int, failure);
    QFETCH(QStringList, calls);
    QFETCH(bool, keyKept);
    QFETCH(bool, recordedOff);
    Rig rig;
    if (stored.isValid())
        rig.defaults.set(key, stored);
    rig.displays.find(panel)->active = !panelOff;
    if (failure >= 0)
        rig.displays.nextResult = DisplaySwitchResult { Step(failure), 8 };

    rig.service.restoreAfterPreviousLaunch();
    QVERIFY(rig.displays.watching);
    QCOMPARE(rig.displays.calls, calls);
    QCOMPARE(rig.defaults.contains(key), keyKept);
    QCOMPARE(rig.service.disabledDisplayID().has_value(), recordedOff);
    QCOMPARE(rig.service.watchdogRunning(), recordedOff);
    if (!recordedOff)
        return;
    // The toggle now finds the dark panel recorded and switches it on.
    QCOMPARE(rig.log.lines, QStringList { "MendoAI built-in display: configure true failed 8" });
    QCOMPARE(rig.changes.count(), 1);
    rig.service.enableBuiltIn();
    rig.expectOn();
}

QTEST_MAIN(TestBuiltInDisplayService)
#include "test_builtin_display_service.moc"
