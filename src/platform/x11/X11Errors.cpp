#include "platform/x11/X11Errors.h"

#include <QDebug>

#include <X11/Xlib.h>

namespace mendo::x11 {

int dispatchX11Error(_XDisplay* display, const X11Error& error);

namespace {

X11ErrorTrap* innermostTrap = nullptr;

int handleXError(Display* display, XErrorEvent* event)
{
    const X11Error error{event->error_code, event->request_code, event->resourceid};
    if (dispatchX11Error(display, error))
        return 0;
    qDebug().noquote() << "MendoAI ignored X error:" << describeX11Error(display, error);
    return 0;
}

}  // namespace

int dispatchX11Error(_XDisplay* display, const X11Error& error)
{
    for (X11ErrorTrap* trap = innermostTrap; trap; trap = trap->m_outer) {
        if (trap->m_display == display) {
            trap->m_errors.push_back(error);
            return 1;
        }
    }
    return 0;
}

void installX11ErrorHandler()
{
    XSetErrorHandler(handleXError);
}

X11ErrorTrap::X11ErrorTrap(_XDisplay* display) : m_display(display), m_outer(innermostTrap)
{
    // Qt installs its own (silent) handler when it opens its connection; a
    // trap puts ours back so that it sees the errors it is waiting for.
    installX11ErrorHandler();
    innermostTrap = this;
}

X11ErrorTrap::~X11ErrorTrap()
{
    // No XSync here: a trap around requests with replies knows its errors
    // already, and one that sends requests without replies calls sync(). An
    // error that arrives later is ignored, never fatal.
    innermostTrap = m_outer;
}

bool X11ErrorTrap::sync()
{
    XSync(m_display, False);
    return failed();
}

bool X11ErrorTrap::hasError(int errorCode) const
{
    for (const X11Error& error : m_errors) {
        if (error.errorCode == errorCode)
            return true;
    }
    return false;
}

QString describeX11Error(_XDisplay* display, const X11Error& error)
{
    char text[256] = {};
    if (display)
        XGetErrorText(display, error.errorCode, text, sizeof text);
    return QStringLiteral("%1 (code %2, request %3, resource 0x%4)")
        .arg(QString::fromLocal8Bit(text))
        .arg(error.errorCode)
        .arg(error.requestCode)
        .arg(error.resourceId, 0, 16);
}

}  // namespace mendo::x11
