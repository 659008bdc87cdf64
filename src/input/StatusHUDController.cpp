#include "input/StatusHUDController.h"

#include "app/MendoAppState.h"

namespace mendo {

void StatusHUDController::attach(MendoAppState& appState)
{
    m_appState = &appState;
    disconnect(m_subscription);
    m_subscription = connect(
        &appState, &MendoAppState::statusChanged, this, [this](const ActionStatus& status) { show(status); },
        Qt::QueuedConnection);
}

void StatusHUDController::show(const ActionStatus& status)
{
    m_shown = status;
    Q_EMIT statusShown(status);
}

MendoAppState* StatusHUDController::appState() const
{
    return m_appState;
}

}  // namespace mendo
