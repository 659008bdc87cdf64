#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace mendo {

// An X11 window id; 0 means none.
using WindowId = quint64;

// A running application as the desktop sees it: a process that owns at least
// one managed top-level window.
struct RunningApplication {
    // The process (from _NET_WM_PID on X11); 0 when the window does not say.
    qint32 processIdentifier = 0;
    // The application id: the desktop-entry id whose StartupWMClass (or file
    // name) matches the window's WM_CLASS, else the WM_CLASS class. Empty when
    // the window has no class at all; such an application has no identifier.
    QString bundleIdentifier;
    // The window through which the application was seen: the active window
    // for frontmostApplication() and activation notices, otherwise its most
    // recently active (or else topmost) window.
    WindowId window = 0;

    bool operator==(const RunningApplication&) const = default;
};

// The desktop's running applications, which one is in front, and bringing one
// to the front. Main thread only.
class Workspace : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Workspace() override = default;

    // The application of the active window; nothing when no window is active
    // (or the active window has gone).
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;

    // Every running application, one entry per process and application id, in
    // the window manager's stacking order from the top (the front application
    // first when there is one).
    virtual QList<RunningApplication> runningApplications() const = 0;

    // Asks the window manager to activate the application: its `window` when
    // that still exists and belongs to it, else its most recently active
    // window. True when the request could be made (the window exists); the
    // activation itself follows asynchronously and shows up as an
    // applicationActivated() notice.
    virtual bool activate(const RunningApplication& application) = 0;

    // Asks the window manager to activate exactly `application.window`. False
    // when that window is gone or no longer belongs to the application: never
    // another window of it.
    virtual bool activateWindow(const RunningApplication& application) = 0;

    // The application ids under which MendoAI's own windows appear (one per
    // build of the application); the focus memory never remembers these.
    virtual QStringList ownBundleIdentifiers() const = 0;

    // Whether the application is MendoAI itself: this very process, or a
    // window with one of its ids.
    virtual bool isOwnApplication(const RunningApplication& application) const = 0;

Q_SIGNALS:
    // Another window became active (on X11: _NET_ACTIVE_WINDOW changed to a
    // window of this application). Also sent for MendoAI's own windows.
    void applicationActivated(const mendo::RunningApplication& application);
};

}  // namespace mendo
