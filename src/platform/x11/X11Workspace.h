#pragma once

#include "platform/Workspace.h"
#include "platform/x11/ApplicationIdResolver.h"
#include "platform/x11/X11Connection.h"

#include <QHash>

namespace mendo {

// The workspace of an EWMH window manager: the front application from
// _NET_ACTIVE_WINDOW (watched on the root window), processes from _NET_WM_PID,
// application ids from WM_CLASS through the ApplicationIdResolver, activation
// by the _NET_ACTIVE_WINDOW client message.
class X11Workspace final : public Workspace {
    Q_OBJECT
public:
    // `connection` and `resolver` are shared with the other X11 classes and
    // users of application ids and must outlive the workspace. Without a
    // display the workspace is empty.
    X11Workspace(x11::X11Connection& connection, ApplicationIdResolver& resolver, QObject* parent = nullptr);
    ~X11Workspace() override;

    std::optional<RunningApplication> frontmostApplication() const override;
    QList<RunningApplication> runningApplications() const override;
    bool activate(const RunningApplication& application) override;
    bool activateWindow(const RunningApplication& application) override;
    QStringList ownBundleIdentifiers() const override;
    // MendoAI's own windows: those of this process or with one of its ids.
    bool isOwnApplication(const RunningApplication& application) const override;

private:
    RunningApplication describe(x11::XWindow window) const;
    void handleEvent(const _XEvent& event);
    // Queries read replies off the socket and with them any events that came
    // first; those then sit in Xlib's queue where the socket cannot wake us
    // for them. Called after every query, it has them handled soon.
    void handleQueuedEventsLater() const;
    void activeWindowMayHaveChanged();

    // Property queries and atom interning through a const workspace do not
    // change what it reports.
    x11::X11Connection& m_connection;
    ApplicationIdResolver& m_resolver;
    int m_eventHandler = 0;
    RunningApplication m_lastActive;
    // Most recently active window per application (pid + id), for activate().
    QHash<QString, x11::XWindow> m_lastActiveWindow;
};

}  // namespace mendo
