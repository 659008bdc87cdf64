#pragma once

#include "platform/GlobalInputMonitor.h"
#include "platform/x11/X11Connection.h"

#include <QObject>
#include <QSet>

#include <map>
#include <memory>
#include <vector>

union _XEvent;

namespace mendo {

class Clock;

namespace x11 {
class X11PostedKeys;
}

// Global input on X11: XInput 2 raw button, motion and key events of the
// root window, selected only while a monitor is installed. Raw events carry
// neither the pointer position nor the modifiers: the position is read as
// each event is handled, the modifiers are tracked from the key events in
// their order (reading them later would race the next keys). Raw events name
// no client either: XTest key events that match what X11KeyboardEvents
// posted (X11PostedKeys) are dropped, other programs' XTest input is
// reported. A click on one of this process's windows, or a key while one
// has the input focus, is left to Qt.
class X11GlobalInputMonitor final : public QObject, public GlobalInputMonitor {
    Q_OBJECT
public:
    X11GlobalInputMonitor(x11::X11Connection& connection, x11::X11PostedKeys& posted);
    ~X11GlobalInputMonitor() override;

    int addMonitor(GlobalInputEvent::Types types, Handler handler) override;
    void removeMonitor(int token) override;

    bool available() const { return m_opcode != 0; }
    // One event of the connection, as its dispatcher hands each one.
    void handleEvent(const _XEvent& event);
    // Whether the top-level window under the root point is one of this
    // process's windows, in the server's pixels (the own-window test).
    bool ownWindowAt(x11::XWindow topLevel);

private:
    struct Monitor {
        GlobalInputEvent::Types types;
        Handler handler;
    };
    void updateSelection();
    void deliver(GlobalInputEvent event);
    void readModifierMap();
    void findXTestDevices();
    void deliverPendingMotion();

    x11::X11Connection& m_connection;
    x11::X11PostedKeys& m_posted;
    int m_opcode = 0;
    std::map<int, Monitor> m_monitors;
    int m_nextToken = 0;
    int m_selectedMask = 0;
    int m_handlerId = 0;
    QSet<int> m_xtestDevices;
    std::vector<std::pair<int, Qt::KeyboardModifier>> m_modifierKeys;  // key code and the modifier it sets
    std::map<int, int> m_heldModifierKeys;  // key code -> presses not yet released
    bool m_motionPending = false;
};

}  // namespace mendo
