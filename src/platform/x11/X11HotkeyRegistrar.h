#pragma once

#include "platform/HotkeyRegistrar.h"

#include <memory>

namespace mendo {

class SystemLog;

namespace x11 {
class X11Connection;
}

// Global hotkeys as passive key grabs on the root window, over MendoAI's own
// X connection (not Qt's), so that the grabs and their key events never mix
// with Qt's.
// Each chord is grabbed four times, with and without CapsLock and NumLock, so
// that it fires whatever the lock state. Key names resolve through the first
// keyboard layout group: "Alt+A" is the key that types "a" in the first
// layout, and it fires when another layout (Russian, say) is active. When the
// keyboard mapping changes, every chord is grabbed again on its new key.
class X11HotkeyRegistrar final : public HotkeyRegistrar {
    Q_OBJECT
public:
    // `connection` must outlive the registrar. `log` may be null.
    explicit X11HotkeyRegistrar(x11::X11Connection& connection, SystemLog* log = nullptr, QObject* parent = nullptr);
    ~X11HotkeyRegistrar() override;

    int install() override;
    void uninstall() override;
    int registerHotkey(quint32 id, HotkeyChord chord) override;
    void unregisterHotkey(quint32 id) override;
    std::optional<quint16> keyCodeForNativeKey(quint32 nativeKey) override;
    std::optional<quint32> nativeKeyForKeyCode(quint16 keyCode) override;
    bool isAnyHeld() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace mendo
