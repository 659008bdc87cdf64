#include "app/AppStateFollower.h"

#include "app/MendoAppState.h"

namespace mendo {

void AppStateFollower::attach(MendoAppState& appState)
{
    m_appState = &appState;
    disconnect(m_settingsSubscription);
    disconnect(m_surfaceSubscription);
    m_settingsSubscription = connect(&appState, &MendoAppState::settingsChanged, this, &AppStateFollower::copy);
    m_surfaceSubscription = connect(&appState, &MendoAppState::systemSurfaceModeChanged, this, &AppStateFollower::copy);
    copy();
}

void AppStateFollower::copy()
{
    if (!m_appState)
        return;
    m_settings = m_appState->settings();
    m_look = PanelLook::from(m_settings, m_appState->systemSurfaceMode());
    Q_EMIT followed();
}

MendoAppState* AppStateFollower::appState() const
{
    return m_appState;
}

}  // namespace mendo
