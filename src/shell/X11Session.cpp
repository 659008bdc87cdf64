#include "shell/X11Session.h"

#include <QByteArray>

#include <X11/Xlib.h>

namespace mendo {

QString X11Session::unavailableReason()
{
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return QStringLiteral("MendoAI needs an X11 session: this Wayland session offers no X11 display "
                                  "(XWayland).");
        return QStringLiteral("MendoAI needs an X11 session: no display is set (DISPLAY).");
    }
    Display* connection = XOpenDisplay(display.constData());
    if (!connection)
        return QStringLiteral("MendoAI needs an X11 session: cannot open the display %1.")
            .arg(QString::fromLocal8Bit(display));
    XCloseDisplay(connection);
    return {};
}

void X11Session::useX11Platform()
{
    const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
    if (asked.isEmpty() || asked.contains("wayland"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

}  // namespace mendo
