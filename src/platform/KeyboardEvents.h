#pragma once

#include <Qt>

namespace mendo {

// The editing shortcuts MendoAI types into other applications.
enum class EditShortcut {
    SelectAll,  // Control+A
    Copy,       // Control+C
    Paste,      // Control+V; in a terminal emulator its own paste key (EditingStyle)
    CloseTab,   // Control+W, whatever the window
};

// How the focused window takes copy and paste.
enum class EditingStyle {
    // Control+A, Control+C and Control+V over the clipboard.
    Standard,
    // A terminal emulator: Control+C (and in xterm even Control+Shift+C)
    // interrupts the running program and Control+A moves the cursor, so
    // neither is ever sent; the selection is read from PRIMARY, where every
    // X terminal puts it. Control+Shift+V pastes the clipboard.
    TerminalClipboard,
    // A terminal emulator without a clipboard paste key (xterm, rxvt):
    // Shift+Insert pastes PRIMARY.
    TerminalPrimary,
};

enum class ShortcutResult {
    Posted,        // the key events were sent
    Skipped,       // deliberately not sent: select-all or copy in a terminal emulator
    NotPermitted,  // synthetic input is not available (no XTEST on the display)
    Failed,        // the key events could not be created or sent
};

// Synthetic keyboard input to whatever window has the keyboard focus.
//
// Main thread only; nothing here blocks the event loop.
class KeyboardEvents {
public:
    virtual ~KeyboardEvents() = default;

    // Posts the shortcut to the focused window: key-down of the modifier and
    // the letter, then, about 20 ms later, their key-up (an implementation
    // gets the gap without blocking, e.g. from the X server's own delay).
    //
    // The events carry the shortcut's modifiers alone: modifier keys the user
    // still holds (a hotkey's Shift or Alt, say) are released first, or
    // Control+C would arrive as Control+Alt+Shift+C and copy nothing. Which
    // keys make the shortcut is the implementation's choice for the focused
    // window (see EditingStyle).
    virtual ShortcutResult postShortcut(EditShortcut shortcut) = 0;

    // The editing style of the window that has the focus now.
    virtual EditingStyle focusedEditingStyle() = 0;

    // The modifier keys physically held right now, among Shift, Control, Alt
    // and Super (Qt::ShiftModifier, ControlModifier, AltModifier,
    // MetaModifier); other bits are never set.
    virtual Qt::KeyboardModifiers heldModifiers() const = 0;
};

}  // namespace mendo
