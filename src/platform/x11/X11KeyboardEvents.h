#pragma once

#include "platform/KeyboardEvents.h"
#include "platform/x11/X11Connection.h"

#include <QString>

namespace mendo {

// Terminal emulators, by WM_CLASS class or instance (compared without case):
// there Control+C interrupts the program, so copy and paste use Control+Shift.
bool isTerminalWindowClass(const QString& wmInstance, const QString& wmClass);

// Editing shortcuts through XTest into the window that has the focus.
class X11KeyboardEvents final : public KeyboardEvents {
public:
    X11KeyboardEvents();

    ShortcutResult postShortcut(EditShortcut shortcut) override;
    Qt::KeyboardModifiers heldModifiers() const override;

private:
    bool focusIsInTerminal();
    void releaseHeldModifiers();

    mutable x11::X11Connection m_connection;
    bool m_hasXTest = false;
};

}  // namespace mendo
