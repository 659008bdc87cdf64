#pragma once

#include "platform/KeyboardEvents.h"
#include "platform/x11/X11Connection.h"

#include <QString>

namespace mendo {

namespace x11 {
class X11PostedKeys;
}

// Terminal emulators, by WM_CLASS class or instance (compared without case):
// there Control+C interrupts the program, so copy and paste use Control+Shift.
bool isTerminalWindowClass(const QString& wmInstance, const QString& wmClass);

// Editing shortcuts through XTest into the window that has the focus.
class X11KeyboardEvents final : public KeyboardEvents {
public:
    X11KeyboardEvents();

    ShortcutResult postShortcut(EditShortcut shortcut) override;
    Qt::KeyboardModifiers heldModifiers() const override;

    // Every key event posted from now on is recorded there, so that the
    // global input monitor knows them for MendoAI's own.
    void setPostedKeys(x11::X11PostedKeys* posted) { m_posted = posted; }

private:
    void fakeKey(unsigned int keycode, bool down, unsigned long delay);

    bool focusIsInTerminal();
    void releaseHeldModifiers();

    mutable x11::X11Connection m_connection;
    bool m_hasXTest = false;
    x11::X11PostedKeys* m_posted = nullptr;
};

}  // namespace mendo
