#include "hotkeys/HotkeyReadGate.h"

#include "engine/FocusedTextAccess.h"
#include "platform/HotkeyRegistrar.h"

namespace mendo {

HotkeyReadGate::HotkeyReadGate(HotkeyRegistrar& registrar, Clock& clock, FocusedTextAccess& focusedText)
    : m_registrar(registrar)
    , m_clock(clock)
    , m_focusedText(focusedText)
{
}

Task<> HotkeyReadGate::settle()
{
    const Millis heldSince = m_clock.monotonicNow();
    while (m_registrar.isAnyHeld() && m_clock.monotonicNow() - heldSince < releaseLimit)
        co_await m_clock.sleep(pollStep);
    const Millis releasedAt = m_clock.monotonicNow();
    while (!m_focusedText.reportsFocusedElement() && m_clock.monotonicNow() - releasedAt < focusLimit)
        co_await m_clock.sleep(pollStep);
}

}  // namespace mendo
