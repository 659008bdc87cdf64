#pragma once

#include "model/QuickAction.h"

namespace mendo {

// The action driver, as the hotkeys reach it.
class QuickActionRunner {
public:
    virtual ~QuickActionRunner() = default;

    // Returns at once; works on the remembered application and reports
    // progress and failure in the status.
    virtual void run(const QuickAction& action, bool pasteResult, bool updateSampleText) = 0;
};

}  // namespace mendo
