#pragma once

#include "model/ActionStatus.h"
#include "base/Clock.h"

#include <functional>
#include <memory>
#include <optional>

namespace mendo {

// Returns a finished status to idle after a pause: 0.9 s after done, 1.3 s
// after failed. The owner of the status calls statusChanged() after every
// assignment; a newer assignment always cancels the pending reset, and the
// reset only happens while the status is still the one it was scheduled for.
// Owned by the status holder, so a pending reset dies with it.
class StatusResetSchedule {
public:
    StatusResetSchedule(Clock& clock, std::function<ActionStatus()> currentStatus, std::function<void()> setIdle);

    void statusChanged(const ActionStatus& status);
    bool isPending() const { return m_timer && m_timer->isActive(); }

    // How long a status stays before it returns to idle; nothing when it stays.
    static std::optional<Millis> resetDelay(const ActionStatus& status);

private:
    Clock& m_clock;
    std::function<ActionStatus()> m_currentStatus;
    std::function<void()> m_setIdle;
    std::unique_ptr<Timer> m_timer;
};

}  // namespace mendo
