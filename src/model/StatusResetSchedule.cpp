#include "model/StatusResetSchedule.h"

namespace mendo {

StatusResetSchedule::StatusResetSchedule(
    Clock& clock, std::function<ActionStatus()> currentStatus, std::function<void()> setIdle)
    : m_clock(clock)
    , m_currentStatus(std::move(currentStatus))
    , m_setIdle(std::move(setIdle))
{
}

std::optional<Millis> StatusResetSchedule::resetDelay(const ActionStatus& status)
{
    switch (status.kind()) {
    case ActionStatus::Kind::done:
        return Millis(900);
    case ActionStatus::Kind::failed:
        return Millis(1300);
    case ActionStatus::Kind::running:
    case ActionStatus::Kind::idle:
        return std::nullopt;
    }
    return std::nullopt;
}

void StatusResetSchedule::statusChanged(const ActionStatus& status)
{
    m_timer.reset();
    const auto delay = resetDelay(status);
    if (!delay)
        return;
    m_timer = m_clock.singleShot(*delay, [this, scheduled = status] {
        // Setting idle re-enters statusChanged(), which drops this handle:
        // both clocks keep the running callback alive for that.
        if (m_currentStatus() == scheduled)
            m_setIdle();
    });
}

}  // namespace mendo
