#pragma once

namespace mendo {

// The desktop grants MendoAI works with.
struct PermissionState {
    // Other applications' text can be read and replaced (on Linux: the
    // accessibility bus is on).
    bool accessibilityGranted = false;
    // Global input can be watched and keystrokes posted.
    bool inputMonitoringGranted = false;

    bool operator==(const PermissionState&) const = default;
};

}  // namespace mendo
