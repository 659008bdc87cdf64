#include "engine/FocusService.h"

namespace mendo {

FocusService::FocusService(Workspace& workspace, QObject* parent) : QObject(parent), m_workspace(workspace)
{
    connect(&m_workspace, &Workspace::applicationActivated, this,
            [this](const RunningApplication& application) { remember(application); });
}

QStringList FocusService::mendoBundleIdentifiers() const
{
    return m_workspace.ownBundleIdentifiers();
}

void FocusService::remember(const RunningApplication& application)
{
    if (application.bundleIdentifier.isEmpty())
        return;
    if (mendoBundleIdentifiers().contains(application.bundleIdentifier))
        return;
    if (m_restoringProcessIdentifier && *m_restoringProcessIdentifier == application.processIdentifier)
        return;
    m_rememberedBundleIdentifier = application.bundleIdentifier;
    // A window without a pid names no process; the id alone then finds it.
    m_rememberedProcessIdentifier = application.processIdentifier > 0
        ? std::optional<qint32>(application.processIdentifier)
        : std::nullopt;
    m_rememberedWindow = application.window != 0 ? std::optional<WindowId>(application.window) : std::nullopt;
}

bool FocusService::activate(const QString& bundleIdentifier)
{
    const QList<RunningApplication> running = m_workspace.runningApplications();
    for (const RunningApplication& application : running) {
        if (application.bundleIdentifier != bundleIdentifier)
            continue;
        if (isFrontmost(application.processIdentifier))
            return true;
        return m_workspace.activate(application);
    }
    return false;
}

std::optional<RunningApplication> FocusService::runningApplication(qint32 processIdentifier) const
{
    const QList<RunningApplication> running = m_workspace.runningApplications();
    for (const RunningApplication& application : running)
        if (application.processIdentifier == processIdentifier)
            return application;
    return std::nullopt;
}

std::optional<RunningApplication> FocusService::rememberedApplication() const
{
    if (!m_rememberedProcessIdentifier)
        return std::nullopt;
    std::optional<RunningApplication> application = runningApplication(*m_rememberedProcessIdentifier);
    if (!application || application->bundleIdentifier != m_rememberedBundleIdentifier)
        return std::nullopt;
    if (m_rememberedWindow)
        application->window = *m_rememberedWindow;
    return application;
}

bool FocusService::activateRemembered()
{
    if (std::optional<RunningApplication> application = rememberedApplication()) {
        if (isFrontmost(application->processIdentifier))
            return true;
        return m_workspace.activate(*application);
    }
    if (m_rememberedBundleIdentifier)
        return activate(*m_rememberedBundleIdentifier);
    return false;
}

bool FocusService::isFrontmost(qint32 processIdentifier) const
{
    const std::optional<RunningApplication> front = m_workspace.frontmostApplication();
    return front && processIdentifier > 0 && front->processIdentifier == processIdentifier;
}

}  // namespace mendo
