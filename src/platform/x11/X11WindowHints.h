#pragma once

class QWindow;

namespace mendo::x11 {

// Whether a compositing manager runs on the application's screen (it owns the
// _NET_WM_CM_Sn selection). False when the application is not on X11.
bool compositorRunning();

// Keeps `window` out of (or puts it back into) the taskbar and pager through
// _NET_WM_STATE. A hidden window is only ever taken off the list (so that it
// comes back with a taskbar entry); hiding it from the taskbar waits until it
// is shown, since a withdrawn window has no entry. Does nothing when
// the application is not on X11 or the window has no native handle yet.
void setSkipTaskbar(QWindow* window, bool skip);

}  // namespace mendo::x11
