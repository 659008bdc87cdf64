#pragma once

#include "base/Clock.h"

#include <QTimeZone>
#include <map>
#include <memory>

namespace mendo {

// Virtual time. Nothing fires until the test calls advance(); then every timer
// due within the step fires in deadline order (ties in scheduling order),
// including timers scheduled by callbacks during the step, with now() set to
// each timer's deadline as it fires. Coroutines sleeping on this clock resume
// inside advance().
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime wallStart = QDateTime(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC));
    ~FakeClock() override;

    Millis monotonicNow() const override { return m_now; }
    QDateTime wallNow() const override { return m_wallStart.addMSecs(m_now.count()); }
    std::unique_ptr<Timer> singleShot(Millis delay, std::function<void()> callback) override;
    std::unique_ptr<Timer> repeating(Millis interval, std::function<void()> callback) override;

    void advance(Millis by);
    // Fires what is due now (a zero-delay timer) without moving time.
    void flush() { advance(Millis(0)); }
    int pendingTimers() const;

    struct Entry;

private:
    std::unique_ptr<Timer> schedule(Millis delay, Millis interval, std::function<void()> callback);

    Millis m_now{0};
    QDateTime m_wallStart;
    quint64 m_sequence = 0;
    // Ordered by (deadline, sequence).
    std::map<std::pair<Millis, quint64>, std::shared_ptr<Entry>> m_queue;
};

}  // namespace mendo
