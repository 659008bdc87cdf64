#pragma once

#include "base/Async.h"
#include "base/Clock.h"

namespace mendo {

class FocusedTextAccess;
class HotkeyRegistrar;

// Where a read of the user's selection waits after a hotkey. A hotkey fires
// on the press of its key, and until that key is let go its grab holds the
// keyboard: GTK takes that for a loss of focus, and its entry reports no
// focus (so no selection) to the accessibility layer. The read therefore
// waits for the release, then for the remembered application to report a
// focused element again, and reads then.
class HotkeyReadGate {
public:
    // However long a key is held, the read is not put off further: a lost
    // release must not leave the hotkey without an effect.
    static constexpr Millis releaseLimit { 5000 };
    // After the release, the focus comes back within a few event-loop turns
    // of the application; one that never reports it is read anyway.
    static constexpr Millis focusLimit { 300 };
    static constexpr Millis pollStep { 10 };

    HotkeyReadGate(HotkeyRegistrar& registrar, Clock& clock, FocusedTextAccess& focusedText);

    // Returns once the read may go ahead.
    Task<> settle();

private:
    HotkeyRegistrar& m_registrar;
    Clock& m_clock;
    FocusedTextAccess& m_focusedText;
};

}  // namespace mendo
