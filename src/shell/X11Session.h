#pragma once

#include <QString>

namespace mendo {

// MendoAI works through X11 alone (the clipboard, keystrokes, hotkeys and
// windows of other applications). Settled before Qt starts, since Qt would
// otherwise pick its Wayland platform in a Wayland session, or end with its
// generic plugin message where there is no display at all.
class X11Session {
public:
    // Why no X11 display can be used, in one line for the user; empty when
    // one can.
    static QString unavailableReason();
    // Makes Qt use its X11 platform (through XWayland in a Wayland session)
    // unless another non-Wayland platform was asked for explicitly.
    static void useX11Platform();
};

}  // namespace mendo
