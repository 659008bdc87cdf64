#pragma once

#include "base/Clock.h"

#include <functional>
#include <memory>
#include <vector>

namespace mendo {

class ApplicationControl;

// Brings the main window forward, hidden or behind other windows, for the
// tray menu and for a second launch of MendoAI.
class MendoWindowPresenter {
public:
    MendoWindowPresenter(ApplicationControl& application, Clock& clock);
    ~MendoWindowPresenter();

    // Makes the application regular and shows its main window. When none
    // exists, `openWindow` (when given) creates one, and the next turn of the
    // event loop brings it forward.
    void showMainWindow(const std::function<void()>& openWindow = {});
    // True when a main window existed and was brought forward.
    bool showExistingMainWindow();

private:
    ApplicationControl& m_application;
    Clock& m_clock;
    std::vector<std::unique_ptr<Timer>> m_pending;
};

}  // namespace mendo
