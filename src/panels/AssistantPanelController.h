#pragma once

#include "app/AppStateFollower.h"

namespace mendo {

// The assistant chat panel's controller, one per process. The panel is not
// built yet: the controller follows the settings it would show.
class AssistantPanelController : public AppStateFollower {
public:
    using AppStateFollower::AppStateFollower;
};

}  // namespace mendo
