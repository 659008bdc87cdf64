#pragma once

#include "base/Clock.h"

#include <deque>

namespace mendo::x11 {

// The key events MendoAI posts through XTest, in order, so that the global
// input monitor can tell them from other programs' synthetic input: raw
// events name no sending client. Main thread.
class X11PostedKeys {
public:
    // How long a posted event waits to be seen before it is forgotten (the
    // X server may drop a key-up of a key that is not down).
    static constexpr Millis window { 1000 };

    explicit X11PostedKeys(const Clock& clock)
        : m_clock(clock)
    {
    }

    void record(int keycode, bool down);
    // True when an XTest key event with this key code and direction is one
    // MendoAI posted: the oldest matching record within the window. It and
    // every record before it are used up.
    bool take(int keycode, bool down);
    bool empty() const { return m_posted.empty(); }

private:
    struct Posted {
        int keycode;
        bool down;
        Millis at;
    };
    const Clock& m_clock;
    std::deque<Posted> m_posted;
};

}  // namespace mendo::x11
