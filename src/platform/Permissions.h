#pragma once

namespace mendo {

// The desktop's grants MendoAI depends on. Main thread; every call answers
// within a short timeout and a facility that does not answer counts as not
// granted.
class Permissions {
public:
    virtual ~Permissions() = default;

    // Whether other applications expose their accessibility trees (on Linux:
    // the accessibility bus is enabled, org.a11y.Status.IsEnabled).
    virtual bool accessibilityGranted() = 0;
    // Asks for it (on Linux: switches org.a11y.Status.IsEnabled on; toolkits
    // that start later register their trees). Returns the grant afterwards.
    virtual bool requestAccessibility() = 0;
};

}  // namespace mendo
