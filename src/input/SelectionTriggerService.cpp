#include "input/SelectionTriggerService.h"

#include "app/MendoAppState.h"
#include "input/FloatingButtonController.h"
#include "input/QuickPanelController.h"

namespace mendo {

void SelectionTriggerService::start(
    MendoAppState& appState, QuickPanelController& quickPanel, FloatingButtonController& floatingButton)
{
    if (m_started)
        return;
    m_started = true;
    m_appState = &appState;
    m_quickPanel = &quickPanel;
    m_floatingButton = &floatingButton;
}

}  // namespace mendo
