#pragma once

#include "platform/PanelDesktop.h"
#include "platform/x11/X11Connection.h"

namespace mendo {

// The floating panels' desktop on X11: RandR monitors less the docks' struts,
// the pointer, the compositing manager's selection, EWMH requests for the
// panels' windows. Converts the server's pixels to Qt's device-independent
// ones.
class X11PanelDesktop final : public PanelDesktop {
public:
    explicit X11PanelDesktop(x11::X11Connection& connection);
    ~X11PanelDesktop() override;

    QList<MonitorFrame> monitors() override;
    QPoint pointerPosition() override;
    bool compositorRunning() override;
    void keepOnEveryDesktop(PanelWindowId window) override;
    void activate(PanelWindowId window) override;

    // The server's time now, read with a round trip; 0 without a server.
    unsigned long serverTime();

private:
    x11::X11Connection& m_connection;
    x11::XWindow m_timeWindow = 0;
};

}  // namespace mendo
