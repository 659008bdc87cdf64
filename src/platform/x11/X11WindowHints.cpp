#include "platform/x11/X11WindowHints.h"

#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace mendo::x11 {

namespace {

Display* display()
{
    auto* native = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return native ? native->display() : nullptr;
}

}  // namespace

bool compositorRunning()
{
    Display* dpy = display();
    if (!dpy)
        return false;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(dpy));
    const Atom selection = XInternAtom(dpy, name.constData(), False);
    return XGetSelectionOwner(dpy, selection) != 0;
}

void setSkipTaskbar(QWindow* window, bool skip)
{
    Display* dpy = display();
    if (!dpy || !window || !window->handle())
        return;
    const ::Window id = ::Window(window->winId());
    const Atom state = XInternAtom(dpy, "_NET_WM_STATE", False);
    const Atom atoms[2] = { XInternAtom(dpy, "_NET_WM_STATE_SKIP_TASKBAR", False),
        XInternAtom(dpy, "_NET_WM_STATE_SKIP_PAGER", False) };

    if (window->isVisible()) {
        // A mapped window's state belongs to the window manager: ask it.
        XEvent event {};
        event.xclient.type = ClientMessage;
        event.xclient.window = id;
        event.xclient.message_type = state;
        event.xclient.format = 32;
        event.xclient.data.l[0] = skip ? 1 : 0;  // _NET_WM_STATE_ADD / _REMOVE
        event.xclient.data.l[1] = long(atoms[0]);
        event.xclient.data.l[2] = long(atoms[1]);
        event.xclient.data.l[3] = 1;  // source: an application
        XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else if (!skip) {
        // A withdrawn window carries its state in the property itself. Only a
        // removal is written: the window manager may clear the property as it
        // withdraws the window, which would lose an addition, and a hidden
        // window has no taskbar entry to hide anyway.
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<Atom> current;
        if (XGetWindowProperty(dpy, id, state, 0, 64, False, XA_ATOM, &type, &format, &count, &after, &data) == Success
            && data) {
            if (type == XA_ATOM && format == 32) {
                const auto* list = reinterpret_cast<const Atom*>(data);
                current.assign(list, list + count);
            }
            XFree(data);
        }
        std::erase_if(current, [&](Atom a) { return a == atoms[0] || a == atoms[1]; });
        XChangeProperty(dpy, id, state, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(current.data()),
            int(current.size()));
    }
    XFlush(dpy);
}

}  // namespace mendo::x11
