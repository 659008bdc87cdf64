#include "base/Async.h"
#include "fakes/FakeClock.h"

#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

class TestClock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firesTimersInDeadlineOrder();
    void repeatingAndCancelledTimers();
    void sleepingCoroutineResumesOnAdvance();
    void realClockSleepResumes();
};

void TestClock::firesTimersInDeadlineOrder()
{
    FakeClock clock;
    QStringList fired;
    auto late = clock.singleShot(300ms, [&] { fired << QStringLiteral("300"); });
    auto early = clock.singleShot(100ms, [&] { fired << QStringLiteral("100@") + QString::number(clock.monotonicNow().count()); });
    auto tieA = clock.singleShot(200ms, [&] { fired << QStringLiteral("200a"); });
    auto tieB = clock.singleShot(200ms, [&] { fired << QStringLiteral("200b"); });
    // A timer scheduled by a callback inside the step still fires in it.
    std::unique_ptr<Timer> nested;
    auto spawner = clock.singleShot(150ms, [&] { nested = clock.singleShot(10ms, [&] { fired << QStringLiteral("160"); }); });

    clock.advance(250ms);
    QCOMPARE(fired, (QStringList{QStringLiteral("100@100"), QStringLiteral("160"), QStringLiteral("200a"), QStringLiteral("200b")}));
    QCOMPARE(clock.monotonicNow(), 250ms);
    QVERIFY(late->isActive());
    clock.advance(50ms);
    QCOMPARE(fired.last(), QStringLiteral("300"));
    QCOMPARE(clock.pendingTimers(), 0);
    QCOMPARE(clock.wallNow(), QDateTime(QDate(2026, 1, 1), QTime(12, 0, 0, 300), Qt::UTC));
}

void TestClock::repeatingAndCancelledTimers()
{
    FakeClock clock;
    int ticks = 0;
    std::unique_ptr<Timer> repeating;
    repeating = clock.repeating(100ms, [&] {
        if (++ticks == 3)
            repeating->cancel();  // cancelling from inside its own callback
    });
    int cancelledFired = 0;
    auto cancelled = clock.singleShot(50ms, [&] { ++cancelledFired; });
    cancelled.reset();  // destroying the handle cancels

    clock.advance(1000ms);
    QCOMPARE(ticks, 3);
    QCOMPARE(cancelledFired, 0);
    QVERIFY(!repeating->isActive());
}

static Task<int> sleeper(Clock& clock, QStringList& log)
{
    log << QStringLiteral("start");
    co_await clock.sleep(900ms);
    log << QStringLiteral("after 900");
    co_await clock.sleep(0ms);
    log << QStringLiteral("after 0");
    co_return int(log.size());
}

void TestClock::sleepingCoroutineResumesOnAdvance()
{
    FakeClock clock;
    QStringList log;
    auto task = sleeper(clock, log);
    QCOMPARE(log, QStringList{QStringLiteral("start")});
    clock.advance(899ms);
    QCOMPARE(log.size(), 1);
    // The zero-delay sleep is due within the same step, so it resumes there too.
    clock.advance(1ms);
    QCOMPARE(log, (QStringList{QStringLiteral("start"), QStringLiteral("after 900"), QStringLiteral("after 0")}));
    QVERIFY(task.isReady());
    QCOMPARE(QCoro::waitFor(task), 3);
}

void TestClock::realClockSleepResumes()
{
    RealClock clock;
    QStringList log;
    const Millis start = clock.monotonicNow();
    auto task = sleeper(clock, log);
    QTRY_VERIFY_WITH_TIMEOUT(task.isReady(), 5000);
    QVERIFY(clock.monotonicNow() - start >= 900ms);
}

QTEST_GUILESS_MAIN(TestClock)
#include "test_clock.moc"
