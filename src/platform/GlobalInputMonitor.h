#pragma once

#include <QFlags>
#include <QPoint>
#include <Qt>

#include <functional>

namespace mendo {

// One mouse or key event of another application, as the desktop saw it.
struct GlobalInputEvent {
    enum class Type {
        leftMouseDown = 0x1,
        leftMouseUp = 0x2,
        rightMouseDown = 0x4,
        rightMouseUp = 0x8,
        otherMouseDown = 0x10,
        otherMouseUp = 0x20,
        mouseMoved = 0x40,
        keyDown = 0x80,
        keyUp = 0x100,
    };
    Q_DECLARE_FLAGS(Types, Type)

    Type type = Type::leftMouseDown;
    // The pointer in device-independent pixels of the virtual desktop when the
    // event was read.
    QPoint position;
    // Shift, Control, Alt and Super held when the event happened (the state
    // after the keys before it, not the keyboard's state when it is read).
    Qt::KeyboardModifiers modifiers;
    // The X key code of a key event (8..255); the button (1 left, 2 middle,
    // 3 right, ...) of a mouse button event; 0 otherwise.
    int detail = 0;

    static constexpr Types mouseDowns()
    {
        return Types(int(Type::leftMouseDown) | int(Type::rightMouseDown) | int(Type::otherMouseDown));
    }
    static constexpr Types mouseUps()
    {
        return Types(int(Type::leftMouseUp) | int(Type::rightMouseUp) | int(Type::otherMouseUp));
    }
};

Q_DECLARE_OPERATORS_FOR_FLAGS(GlobalInputEvent::Types)

// Watches the mouse and the keyboard while other applications have them.
// A click on one of MendoAI's own windows, or a key while one of them has the
// focus, is not reported here: Qt delivers those to the application (watch
// them with an application-wide event filter). Keystrokes MendoAI posts
// itself are never reported; synthetic input of other programs (xdotool, VNC
// servers, on-screen keyboards) is, like any other.
//
// Main thread. Handlers run from the event loop, never inside addMonitor or
// removeMonitor, and may add or remove monitors themselves.
class GlobalInputMonitor {
public:
    using Handler = std::function<void(const GlobalInputEvent&)>;

    virtual ~GlobalInputMonitor() = default;

    // Starts delivering the events of `types` to `handler`; the desktop is
    // watched only while at least one monitor is installed. Returns the
    // token for removeMonitor (never 0), or 0 when the desktop cannot be
    // watched.
    virtual int addMonitor(GlobalInputEvent::Types types, Handler handler) = 0;
    // Harmless for 0, an unknown token or one already removed.
    virtual void removeMonitor(int token) = 0;
};

}  // namespace mendo
