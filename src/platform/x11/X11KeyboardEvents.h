#pragma once

#include "platform/KeyboardEvents.h"
#include "platform/x11/X11Connection.h"

#include <QString>

namespace mendo {

namespace x11 {
class X11PostedKeys;
}

// The editing style of a window by its WM_CLASS class or instance (compared
// without case): terminal emulators are known by name, everything else is
// Standard.
EditingStyle editingStyleOfWindowClass(const QString& wmInstance, const QString& wmClass);

// Editing shortcuts through XTest into the window that has the focus.
class X11KeyboardEvents final : public KeyboardEvents {
public:
    X11KeyboardEvents();

    ShortcutResult postShortcut(EditShortcut shortcut) override;
    EditingStyle focusedEditingStyle() override;
    Qt::KeyboardModifiers heldModifiers() const override;

    // Every key event posted from now on is recorded there, so that the
    // global input monitor knows them for MendoAI's own.
    void setPostedKeys(x11::X11PostedKeys* posted) { m_posted = posted; }

private:
    void fakeKey(unsigned int keycode, bool down, unsigned long delay);

    void releaseHeldModifiers();

    mutable x11::X11Connection m_connection;
    bool m_hasXTest = false;
    x11::X11PostedKeys* m_posted = nullptr;
};

}  // namespace mendo
