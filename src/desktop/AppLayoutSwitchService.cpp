#include "desktop/AppLayoutSwitchService.h"

#include "app/MendoAppState.h"
#include "base/Error.h"
#include "base/SystemLog.h"
#include "engine/KeyboardLayoutService.h"
#include "platform/InputSources.h"

namespace mendo {

AppLayoutSwitchService::AppLayoutSwitchService(Workspace& workspace, InputSources& inputSources,
    KeyboardLayoutService& layouts, Clock& clock, SystemLog& log, QObject* parent)
    : QObject(parent)
    , m_workspace(workspace)
    , m_inputSources(inputSources)
    , m_layouts(layouts)
    , m_clock(clock)
    , m_log(log)
{
}

void AppLayoutSwitchService::start(MendoAppState& appState)
{
    m_appState = &appState;
    if (m_observing)
        return;
    m_observing = true;
    // Notices are answered on a later turn of the event loop, never inside
    // the code that sent them; a service that is gone by then ignores them.
    connect(&m_workspace, &Workspace::applicationActivated, this, [this](const RunningApplication& application) {
        QMetaObject::invokeMethod(
            this, [this, application] { activationNoticed(application); }, Qt::QueuedConnection);
    });
    connect(&m_inputSources, &InputSources::changed, this, &AppLayoutSwitchService::handleInputSourceChange,
        Qt::QueuedConnection);
    if (const auto front = m_workspace.frontmostApplication())
        activationNoticed(*front);
}

void AppLayoutSwitchService::activationNoticed(const RunningApplication& application)
{
    // Another window of the application in front keeps the layout the user
    // chose there.
    const bool sameApplication = m_front && m_front->processIdentifier == application.processIdentifier
        && m_front->bundleIdentifier == application.bundleIdentifier;
    m_front = application;
    if (!sameApplication)
        handleActivation(application);
}

void AppLayoutSwitchService::handleActivation(const RunningApplication& application)
{
    m_pendingReapply.clear();
    m_guardedBundleIdentifier.clear();
    if (!applyRule(application))
        return;
    m_guardedBundleIdentifier = application.bundleIdentifier;
    m_guardUntil = m_clock.monotonicNow() + guardPeriod;
    for (const Millis delay : reapplyDelays)
        m_pendingReapply.push_back(
            m_clock.singleShot(delay, [this, application] { reapplyIfStillFrontmost(application); }));
}

bool AppLayoutSwitchService::applyRule(const RunningApplication& application)
{
    if (!m_appState)
        return false;
    const MendoSettings settings = m_appState->settings();
    if (!settings.appLayoutSwitchingEnabled || application.bundleIdentifier.isEmpty())
        return false;
    for (const AppLayoutRule& rule : settings.appLayoutRules) {
        if (!rule.isEnabled || rule.bundleIdentifier != application.bundleIdentifier)
            continue;
        try {
            m_layouts.switchLayoutIfNeeded(rule.layoutName);
        } catch (const MendoError& error) {
            m_log.write(QStringLiteral("app layout rule failed for %1: %2")
                            .arg(application.bundleIdentifier, error.description()));
        }
        return true;
    }
    return false;
}

void AppLayoutSwitchService::reapplyIfStillFrontmost(const RunningApplication& application)
{
    const auto front = m_workspace.frontmostApplication();
    if (front && front->processIdentifier == application.processIdentifier)
        applyRule(application);
}

void AppLayoutSwitchService::handleInputSourceChange()
{
    if (m_guardedBundleIdentifier.isEmpty() || m_clock.monotonicNow() >= m_guardUntil)
        return;
    const auto front = m_workspace.frontmostApplication();
    if (front && front->bundleIdentifier == m_guardedBundleIdentifier)
        applyRule(*front);
}

}  // namespace mendo
