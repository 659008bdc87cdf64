#include "desktop/AppLayoutSwitchService.h"

#include "app/MendoAppState.h"
#include "base/Error.h"
#include "base/SystemLog.h"
#include "engine/KeyboardLayoutService.h"
#include "platform/Workspace.h"

namespace mendo {

AppLayoutSwitchService::AppLayoutSwitchService(
    Workspace& workspace, KeyboardLayoutService& layouts, SystemLog& log, QObject* parent)
    : QObject(parent)
    , m_workspace(workspace)
    , m_layouts(layouts)
    , m_log(log)
{
}

void AppLayoutSwitchService::start(MendoAppState& appState)
{
    m_appState = &appState;
    if (m_observing)
        return;
    m_observing = true;
    connect(&m_workspace, &Workspace::applicationActivated, this, &AppLayoutSwitchService::applicationDidActivate);
}

void AppLayoutSwitchService::applicationDidActivate(const RunningApplication& application)
{
    if (!m_appState || application.bundleIdentifier.isEmpty())
        return;
    const MendoSettings& settings = m_appState->settings();
    if (!settings.appLayoutSwitchingEnabled)
        return;
    for (const AppLayoutRule& rule : settings.appLayoutRules) {
        if (!rule.isEnabled || rule.bundleIdentifier != application.bundleIdentifier)
            continue;
        try {
            m_layouts.switchLayoutIfNeeded(rule.layoutName);
        } catch (const MendoError& error) {
            m_log.write(QStringLiteral("layout for %1 not switched: %2")
                            .arg(application.bundleIdentifier, error.description()));
        }
        return;
    }
}

}  // namespace mendo
