#pragma once

#include "platform/Displays.h"

namespace mendo {

// Something outside MendoAI's process that switches a display MendoAI turned
// off back on should MendoAI end without doing so itself (a crash, a kill, the
// out-of-memory killer): the only way the user could otherwise light the
// panel is by starting MendoAI again, on a screen they cannot see.
class DisplayGuard {
public:
    virtual ~DisplayGuard() = default;
    // `display` has just been switched off.
    virtual void watch(DisplayId display) = 0;
    // MendoAI switched it on again; no guard is needed.
    virtual void release() = 0;
};

}  // namespace mendo
