#pragma once

#include <QtGlobal>

namespace mendo {

// The delays that pace one read or paste through the pasteboard, in
// milliseconds. Callers pick `standard()` for everything the user watches and
// `quick()` for the silent layout fix and the reply hotkey's read.
struct PasteboardTiming {
    // Pause after bringing the target application to the front.
    qint64 activationDelay = 0;
    // Pause after select-all.
    qint64 selectAllDelay = 0;
    // Pause after copy before the pasteboard is read; 0 polls every 2 ms for
    // up to 120 ms instead.
    qint64 copyDelay = 0;
    // Added to copyDelay once per repeated copy attempt.
    qint64 copyRetryStep = 0;
    // Pause between writing the pasteboard and the paste shortcut.
    qint64 pasteDelay = 0;
    // Pause after the paste shortcut before the saved contents go back.
    qint64 restoreDelay = 0;
    // Wait (at most 16 x 35 ms) for held modifier keys to be released before
    // each shortcut.
    bool waitForModifiers = false;

    static constexpr PasteboardTiming standard() { return {180, 120, 180, 120, 180, 1300, true}; }
    static constexpr PasteboardTiming quick() { return {0, 0, 0, 0, 0, 60, false}; }

    bool operator==(const PasteboardTiming&) const = default;
};

}  // namespace mendo
