#include "input/QuickPanelController.h"

#include "app/MendoAppState.h"

namespace mendo {

void QuickPanelController::toggle(MendoAppState& appState)
{
    if (m_visible) {
        orderOut();
        return;
    }
    m_appState = &appState;
    m_visible = true;
    Q_EMIT panelVisibilityChanged(true);
}

void QuickPanelController::orderOut()
{
    if (!m_visible)
        return;
    m_visible = false;
    Q_EMIT panelVisibilityChanged(false);
}

MendoAppState* QuickPanelController::appState() const
{
    return m_appState;
}

}  // namespace mendo
