#pragma once

#include <Qt>

namespace mendo {

// The editing shortcuts MendoAI types into other applications.
enum class EditShortcut {
    SelectAll,  // Control+A
    Copy,       // Control+C (Control+Shift+C in a terminal emulator)
    Paste,      // Control+V (Control+Shift+V in a terminal emulator)
};

enum class ShortcutResult {
    Posted,        // the key events were sent
    Skipped,       // deliberately not sent: select-all in a terminal emulator, where
                   // Control+A would move the cursor instead of selecting
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
    // window (terminal emulators use Control+Shift for copy and paste).
    virtual ShortcutResult postShortcut(EditShortcut shortcut) = 0;

    // The modifier keys physically held right now, among Shift, Control, Alt
    // and Super (Qt::ShiftModifier, ControlModifier, AltModifier,
    // MetaModifier); other bits are never set.
    virtual Qt::KeyboardModifiers heldModifiers() const = 0;
};

}  // namespace mendo
