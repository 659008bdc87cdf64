#pragma once

#include "platform/Permissions.h"

namespace mendo {

// The accessibility grant on a Linux desktop: whether the session's
// accessibility bus is switched on (org.a11y.Status.IsEnabled of org.a11y.Bus
// on the session bus). Each call waits at most callTimeoutMs for the bus.
class AtspiPermissions final : public Permissions {
public:
    static constexpr int callTimeoutMs = 500;

    bool accessibilityGranted() override;
    bool requestAccessibility() override;
};

}  // namespace mendo
