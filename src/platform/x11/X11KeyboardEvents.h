#pragma once

#include "platform/KeyboardEvents.h"
#include "platform/x11/X11Connection.h"

#include <QString>

namespace mendo {

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

private:
    void releaseHeldModifiers();

    mutable x11::X11Connection m_connection;
    bool m_hasXTest = false;
};

}  // namespace mendo
