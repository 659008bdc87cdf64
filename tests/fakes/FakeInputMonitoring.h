#pragma once

#include "platform/InputMonitoring.h"

namespace mendo {

// A request grants what `grantOnRequest` says.
class FakeInputMonitoring final : public InputMonitoring {
public:
    bool inputMonitoringGranted() override { return granted; }
    bool requestInputMonitoring() override
    {
        ++requests;
        granted = granted || grantOnRequest;
        return granted;
    }

    bool granted = false;
    bool grantOnRequest = true;
    int requests = 0;
};

}  // namespace mendo
