#include "platform/x11/X11PostedKeys.h"

namespace mendo::x11 {

void X11PostedKeys::record(int keycode, bool down)
{
    m_posted.push_back({ keycode, down, m_clock.monotonicNow() });
}

bool X11PostedKeys::take(int keycode, bool down)
{
    const Millis now = m_clock.monotonicNow();
    while (!m_posted.empty() && now - m_posted.front().at > window)
        m_posted.pop_front();
    for (auto it = m_posted.begin(); it != m_posted.end(); ++it) {
        if (it->keycode == keycode && it->down == down) {
            m_posted.erase(m_posted.begin(), it + 1);
            return true;
        }
    }
    return false;
}

}  // namespace mendo::x11
