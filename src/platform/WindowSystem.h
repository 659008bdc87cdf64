#pragma once

#include "platform/VisibleFrame.h"
#include "platform/Workspace.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <optional>

namespace mendo {

// What tiling needs to know of one window.
struct WindowFacts {
    // An ordinary application window: not a dialog, a panel, a menu.
    bool standard = false;
    bool minimized = false;
    bool fullScreen = false;
    // Maximized in either direction: the window manager would hold it at the
    // monitor's size until that is taken off.
    bool maximized = false;
};

// One entry of the stacking list: a managed window of the current desktop
// that is mapped and is neither a dock nor the desktop itself.
struct StackedWindow {
    WindowId id = 0;
    QRect frame;
    // From 0 (invisible) to 1; nothing when the window does not say.
    std::optional<double> opacity;
    // One of MendoAI's own windows.
    bool own = false;
    // Its facts when they were read together with the list; nothing means
    // facts() answers for it.
    std::optional<WindowFacts> facts;
};

// The monitors and the stacking list, read together.
struct StackingSnapshot {
    QList<MonitorFrame> screens;
    QList<StackedWindow> windows;
};

// Other applications' top-level windows: where they are, in which order, and
// moving them. Frames are outer frames (decorations included, client-side
// shadows left out) in the X server's pixels, origin at the top-left of the
// whole screen. A window that has gone answers nothing. Main thread.
class WindowSystem : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~WindowSystem() override = default;

    // Every monitor, the primary one first.
    virtual QList<MonitorFrame> screens() = 0;
    virtual std::optional<QPoint> pointerPosition() = 0;
    // The active window; nothing when none is.
    virtual std::optional<WindowId> focusedWindow() = 0;
    virtual std::optional<WindowFacts> facts(WindowId window) = 0;
    virtual std::optional<QRect> frame(WindowId window) = 0;
    // Front to back.
    virtual QList<StackedWindow> stackingOrder() = 0;
    // screens() and stackingOrder() at once; an implementation that can ask
    // about every window in one go does so here, facts included.
    virtual StackingSnapshot stackingSnapshot() { return { screens(), stackingOrder() }; }

    // Asks for the window's outer frame. The window manager answers later, and
    // may keep the window larger (a minimum size) or smaller (a size
    // increment); windowConfigured() follows. False when the window has gone.
    virtual bool setFrame(WindowId window, const QRect& frame) = 0;
    // Takes the window out of its maximized state; windowConfigured() follows.
    virtual bool removeMaximized(WindowId window) = 0;

Q_SIGNALS:
    // The window manager moved or resized the window.
    void windowConfigured(mendo::WindowId window);
};

}  // namespace mendo
