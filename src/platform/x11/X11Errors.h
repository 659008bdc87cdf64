#pragma once

#include <QString>

#include <vector>

// Xlib's Display, declared without pulling Xlib's macros into Qt code.
struct _XDisplay;

namespace mendo::x11 {

// One protocol error as Xlib reported it.
struct X11Error {
    int errorCode = 0;    // BadWindow = 3, BadAccess = 10, ...
    int requestCode = 0;  // the major opcode of the failed request
    unsigned long resourceId = 0;
};

// Installs MendoAI's handler for X protocol errors, replacing Xlib's default
// one, which ends the process. Errors that no trap is waiting for (a window
// that vanished between two requests) are ignored: they are ordinary
// failures of the operation that caused them, never a reason to exit.
// Safe to call more than once.
void installX11ErrorHandler();

// Collects the protocol errors of one stretch of requests on one connection.
// Traps nest; the innermost trap on the failing connection gets the error.
// Not thread-safe: X11 is driven from the main thread only.
//
//     X11ErrorTrap trap(display);
//     XGrabKey(display, ...);
//     if (trap.sync()) ...  // BadAccess: another client holds the chord
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(_XDisplay* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server to process every request sent so far (XSync) and
    // tells whether any of them failed.
    bool sync();
    // The errors seen so far, without a round trip: only those of requests
    // whose replies have already arrived (a request with a reply, such as
    // XGetWindowProperty, has).
    const std::vector<X11Error>& errors() const { return m_errors; }
    bool failed() const { return !m_errors.empty(); }
    bool hasError(int errorCode) const;

private:
    friend int dispatchX11Error(_XDisplay*, const X11Error&);
    _XDisplay* m_display;
    X11ErrorTrap* m_outer;
    std::vector<X11Error> m_errors;
};

QString describeX11Error(_XDisplay* display, const X11Error& error);

}  // namespace mendo::x11
