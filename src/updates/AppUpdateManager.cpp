#include "updates/AppUpdateManager.h"

#include "app/MendoAppState.h"

namespace mendo {

AppUpdateManager::AppUpdateManager(Clock& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
{
}

AppUpdateManager::~AppUpdateManager() = default;

void AppUpdateManager::startAutomaticChecks(MendoAppState& appState)
{
    m_appState = &appState;
    m_pendingCheck = m_clock.singleShot(Millis(0), [this] { checkAutomatically(); });
    m_timer = m_clock.repeating(automaticCheckInterval, [this] { checkAutomatically(); });
}

void AppUpdateManager::checkAutomatically()
{
    if (m_appState)
        ++m_automaticChecks;
}

}  // namespace mendo
