#pragma once

#include "fakes/EventLog.h"
#include "platform/Workspace.h"

namespace mendo {

// Running applications in memory. activate() records the request (in
// `activations` and `log` as "activate <id> <pid>"), brings the application to
// the front and sends the activation notice, as a window manager would.
class FakeWorkspace final : public Workspace {
public:
    std::optional<RunningApplication> frontmostApplication() const override { return front; }
    QList<RunningApplication> runningApplications() const override { return applications; }

    bool activate(const RunningApplication& application) override
    {
        activations << application;
        if (log)
            log->add(QStringLiteral("activate %1 %2").arg(application.bundleIdentifier).arg(application.processIdentifier));
        if (!activationSucceeds)
            return false;
        bringToFront(application);
        return true;
    }

    // Logged as "activate window <id>".
    bool activateWindow(const RunningApplication& application) override
    {
        if (log)
            log->add(QStringLiteral("activate window %1").arg(application.window));
        if (!application.window || closedWindows.contains(application.window) || !activationSucceeds)
            return false;
        activations << application;
        bringToFront(application);
        return true;
    }

    QStringList ownBundleIdentifiers() const override { return ownIdentifiers; }
    bool isOwnApplication(const RunningApplication& application) const override
    {
        return (ownProcessIdentifier > 0 && application.processIdentifier == ownProcessIdentifier)
            || ownIdentifiers.contains(application.bundleIdentifier);
    }

    // The user (or the window manager) activates an application.
    void bringToFront(const RunningApplication& application)
    {
        front = application;
        Q_EMIT applicationActivated(application);
    }

    QList<RunningApplication> applications;
    std::optional<RunningApplication> front;
    QStringList ownIdentifiers{QStringLiteral("ai.mendo.MendoAI")};
    // MendoAI's own process; its windows are its own whatever their class.
    qint32 ownProcessIdentifier = 0;
    bool activationSucceeds = true;
    // Windows that were closed: activateWindow() refuses them.
    QList<WindowId> closedWindows;
    QList<RunningApplication> activations;
    EventLog* log = nullptr;
};

}  // namespace mendo
