#pragma once

#include "platform/Platform.h"

#include <memory>

namespace mendo {

// The desktop as MendoAI really meets it: X11 for the clipboard, keystrokes,
// windows, hotkeys and keyboard layouts, AT-SPI for other applications' text,
// the user defaults in their JSON file, syslog, the real clock. Owns every
// implementation; the bundle it hands out points into it.
class RealPlatform {
public:
    RealPlatform();
    ~RealPlatform();
    RealPlatform(const RealPlatform&) = delete;
    RealPlatform& operator=(const RealPlatform&) = delete;

    const Platform& platform() const { return m_platform; }

private:
    struct Parts;
    std::unique_ptr<Parts> d;
    Platform m_platform;
};

}  // namespace mendo
