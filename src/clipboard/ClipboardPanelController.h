#pragma once

#include "app/AppStateFollower.h"

namespace mendo {

// The clipboard window's controller, one per process. The window is not built
// yet: the controller follows the look it would wear and whether it shows.
class ClipboardPanelController : public AppStateFollower {
    Q_OBJECT
public:
    using AppStateFollower::AppStateFollower;

    // Shows the window, or hides it when it is showing.
    void toggle();
    // Shows the window; it stays where it is when it is showing.
    virtual void show() { m_visible = true; }
    bool isPanelVisible() const { return m_visible; }

private:
    bool m_visible = false;
};

}  // namespace mendo
