#pragma once

#include <QObject>
#include <QtGlobal>
#include <optional>

namespace mendo {

// The modifier bits of a hotkey chord. The values are those of the stored
// modifier mask and never change.
enum HotkeyModifier : quint32 {
    hotkeyCommand = 0x100,
    hotkeyShift = 0x200,
    hotkeyOption = 0x800,
    hotkeyControl = 0x1000,
};

// One key with its modifiers. `keyCode` is the virtual key code by which the
// hotkey text format numbers its keys (A = 0, S = 1, Left = 123, F5 = 96 ...);
// `modifiers` is an OR of HotkeyModifier bits.
struct HotkeyChord {
    quint16 keyCode = 0;
    quint32 modifiers = 0;

    friend bool operator==(const HotkeyChord&, const HotkeyChord&) = default;
};

// System-wide hotkeys. Each registered chord fires `pressed` with its id once
// per physical press, whichever application is in front and whichever keyboard
// layout is active. Statuses are 0 for success, otherwise a non-zero code that
// is shown to the user as it stands.
class HotkeyRegistrar : public QObject {
    Q_OBJECT
public:
    // The chord is held by another program (or already by another id here).
    static constexpr int refused = 10;
    // The key does not exist on the current keyboard.
    static constexpr int noSuchKey = -1;
    // No connection to the desktop, or `install` was not called.
    static constexpr int notConnected = -2;

    using QObject::QObject;
    ~HotkeyRegistrar() override = default;

    // Prepares delivery of presses; must succeed before anything registers.
    virtual int install() = 0;
    // Releases every chord and stops delivery.
    virtual void uninstall() = 0;

    virtual int registerHotkey(quint32 id, HotkeyChord chord) = 0;
    virtual void unregisterHotkey(quint32 id) = 0;

    // The two directions of the key resolution, for recording a chord from a
    // key press. `keyCodeForNativeKey` names the key with this native key code
    // (the X key code) by the symbol it has in the first layout group where
    // that symbol is a key of the hotkey text format and registering it would
    // grab this very key; none for any other key. `nativeKeyForKeyCode` is
    // the key that registering a virtual key code grabs. Both are none while
    // nothing is installed.
    virtual std::optional<quint16> keyCodeForNativeKey(quint32 nativeKey)
    {
        Q_UNUSED(nativeKey);
        return std::nullopt;
    }
    virtual std::optional<quint32> nativeKeyForKeyCode(quint16 keyCode)
    {
        Q_UNUSED(keyCode);
        return std::nullopt;
    }

    // Whether the key of a chord that fired is still down. While it is, its
    // grab holds the whole keyboard, and toolkits (GTK) take that for a loss
    // of focus: what the user selected reads as unfocused until it is let go.
    virtual bool isAnyHeld() const { return false; }

Q_SIGNALS:
    // Emitted from the event loop, never from inside a register call.
    void pressed(quint32 id);
    // The key of a chord that fired was let go (its repeats do not count).
    // Emitted from the event loop.
    void released(quint32 id);
    // A registered chord could not be held again after a change of the
    // keyboard (its key moved and another program holds it there, or the key
    // is gone). It fires no more until a later change or registration brings
    // it back; the other chords are not affected. Emitted from the event loop.
    void lost(quint32 id, int status);
};

}  // namespace mendo
