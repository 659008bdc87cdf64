#include "platform/x11/X11InputMonitoring.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

namespace mendo {

bool X11InputMonitoring::inputMonitoringGranted()
{
    Display* display = XOpenDisplay(m_displayName.isEmpty() ? nullptr : m_displayName.constData());
    if (!display)
        return false;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0, opcode = 0;
    const bool xtest = XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
    bool xinput2 = false;
    if (XQueryExtension(display, "XInputExtension", &opcode, &eventBase, &errorBase)) {
        major = 2;
        minor = 0;
        xinput2 = XIQueryVersion(display, &major, &minor) == Success && major >= 2;
    }
    XCloseDisplay(display);
    return xtest && xinput2;
}

}  // namespace mendo
