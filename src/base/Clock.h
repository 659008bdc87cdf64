#pragma once

#include <QDateTime>
#include <chrono>
#include <coroutine>
#include <functional>
#include <memory>

namespace mendo {

using Millis = std::chrono::milliseconds;

// A scheduled callback. Destroying the handle cancels it; cancelling from
// inside the callback itself is safe.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void cancel() = 0;
    virtual bool isActive() const = 0;
};

// Every wait, delay, timeout and timer goes through a Clock, so that tests can
// run on virtual time (tests/fakes/FakeClock.h) and never sleep.
class Clock {
public:
    virtual ~Clock() = default;

    // Monotonic time since an arbitrary start; it never goes back.
    virtual Millis monotonicNow() const = 0;
    // Wall-clock time (UTC).
    virtual QDateTime wallNow() const = 0;

    // Callbacks run on the thread that owns the clock (the main thread).
    [[nodiscard]] virtual std::unique_ptr<Timer> singleShot(Millis delay, std::function<void()> callback) = 0;
    [[nodiscard]] virtual std::unique_ptr<Timer> repeating(Millis interval, std::function<void()> callback) = 0;

    class SleepAwaiter {
    public:
        SleepAwaiter(Clock& clock, Millis delay) : m_clock(clock), m_delay(delay) {}
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle)
        {
            m_timer = m_clock.singleShot(m_delay, [handle] { handle.resume(); });
        }
        void await_resume() noexcept {}

    private:
        Clock& m_clock;
        Millis m_delay;
        std::unique_ptr<Timer> m_timer;
    };

    // `co_await clock.sleep(50ms);` resumes on the clock's thread after the
    // delay. A zero delay still yields to the event loop once.
    SleepAwaiter sleep(Millis delay) { return SleepAwaiter(*this, delay); }
};

// The application's clock: QTimer on the main thread, steady_clock time.
class RealClock final : public Clock {
public:
    Millis monotonicNow() const override;
    QDateTime wallNow() const override;
    std::unique_ptr<Timer> singleShot(Millis delay, std::function<void()> callback) override;
    std::unique_ptr<Timer> repeating(Millis interval, std::function<void()> callback) override;
};

}  // namespace mendo
