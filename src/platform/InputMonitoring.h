#pragma once

namespace mendo {

// Whether MendoAI may watch global input and post keystrokes. On X11 nothing
// is granted per application: it is possible when the server offers the XTEST
// and XInput 2 extensions. Main thread.
class InputMonitoring {
public:
    virtual ~InputMonitoring() = default;

    virtual bool inputMonitoringGranted() = 0;
    // Asks for the grant and answers it afterwards; X11 has nothing to ask.
    virtual bool requestInputMonitoring() = 0;
};

}  // namespace mendo
