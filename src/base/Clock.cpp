#include "base/Clock.h"

#include <QPointer>
#include <QTimer>

namespace mendo {

namespace {

class QtTimer final : public Timer {
public:
    QtTimer(Millis delay, bool repeat, std::function<void()> callback)
        : m_timer(new QTimer), m_callback(std::move(callback))
    {
        m_timer->setTimerType(Qt::PreciseTimer);
        m_timer->setSingleShot(!repeat);
        QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] {
            // Copy first: the callback may destroy this handle.
            auto callback = m_callback;
            callback();
        });
        m_timer->start(std::max<Millis>(delay, Millis(0)));
    }
    ~QtTimer() override { cancel(); }

    void cancel() override
    {
        if (m_timer) {
            m_timer->stop();
            QObject::disconnect(m_timer, nullptr, nullptr, nullptr);
            // The handle may be destroyed from inside the timeout signal.
            m_timer->deleteLater();
            m_timer = nullptr;
        }
    }
    bool isActive() const override { return m_timer && m_timer->isActive(); }

private:
    QPointer<QTimer> m_timer;
    std::function<void()> m_callback;
};

}  // namespace

Millis RealClock::monotonicNow() const
{
    return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
}

QDateTime RealClock::wallNow() const
{
    return QDateTime::currentDateTimeUtc();
}

std::unique_ptr<Timer> RealClock::singleShot(Millis delay, std::function<void()> callback)
{
    return std::make_unique<QtTimer>(delay, false, std::move(callback));
}

std::unique_ptr<Timer> RealClock::repeating(Millis interval, std::function<void()> callback)
{
    return std::make_unique<QtTimer>(interval, true, std::move(callback));
}

}  // namespace mendo
