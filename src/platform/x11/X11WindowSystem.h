#pragma once

#include "platform/WindowSystem.h"
#include "platform/x11/X11Connection.h"

#include <QMargins>

namespace mendo {

// Other applications' windows under an EWMH window manager: the active
// window, _NET_CLIENT_LIST_STACKING, window types and states, frame extents,
// moves by _NET_MOVERESIZE_WINDOW (XMoveResizeWindow without such a window
// manager), RandR monitors less the docks' struts. In the X server's pixels.
class X11WindowSystem final : public WindowSystem {
    Q_OBJECT
public:
    // `connection` is shared with the other X11 classes and must outlive this.
    explicit X11WindowSystem(x11::X11Connection& connection, QObject* parent = nullptr);
    ~X11WindowSystem() override;

    QList<MonitorFrame> screens() override;
    std::optional<QPoint> pointerPosition() override;
    std::optional<WindowId> focusedWindow() override;
    std::optional<WindowFacts> facts(WindowId window) override;
    std::optional<QRect> frame(WindowId window) override;
    QList<StackedWindow> stackingOrder() override;
    // Two round trips to the X server however many windows there are: the
    // root window's lists, then every window's properties and placement
    // together with the monitors.
    StackingSnapshot stackingSnapshot() override;
    bool setFrame(WindowId window, const QRect& frame) override;
    bool removeMaximized(WindowId window) override;

private:
    struct Extents {
        // The window manager's decorations around the client.
        QMargins decorations;
        // The invisible shadow a client-side decorated window draws inside
        // its own edges.
        QMargins shadow;
        // From the client's rectangle out to the frame the user sees.
        QMargins outward() const { return decorations - shadow; }
    };
    Extents extents(x11::XWindow window);
    std::optional<QRect> clientRect(x11::XWindow window);
    StackingSnapshot readStacking(bool withScreens);
    // The first of the window's types that the window manager knows.
    std::optional<x11::XAtom> knownType(const std::optional<std::vector<unsigned long>>& types);
    // Decides a window's facts from its properties as read.
    WindowFacts factsFrom(const std::optional<std::vector<unsigned long>>& types,
        const std::optional<std::vector<unsigned long>>& transientFor,
        const std::optional<std::vector<unsigned long>>& states,
        const std::optional<std::vector<unsigned long>>& wmState);
    bool hasEwmhWindowManager();
    // Starts listening for the window manager's answers to moves of `window`.
    void watch(x11::XWindow window);
    void handleEvent(const _XEvent& event);

    x11::X11Connection& m_connection;
    int m_eventHandler = 0;
};

}  // namespace mendo
