#pragma once

#include "fakes/FakeWorkspace.h"
#include "hotkeys/HotkeyService.h"
#include "hotkeys/RecordingHotkeyTargets.h"

namespace mendo {

// A hotkey service over `Registrar`, with every call it makes recorded and an
// editor in front that the focus memory does not know yet.
template <class Registrar>
struct HotkeyServiceRig {
    Registrar registrar;
    FakeWorkspace workspace;
    FocusService focus{workspace};
    RecordingHotkeyTargets app;
    HotkeyService service{registrar, focus, app};

    // `args` build the registrar.
    template <class... Args>
    explicit HotkeyServiceRig(Args&&... args) : registrar(std::forward<Args>(args)...)
    {
        app.focus = &focus;
        workspace.front = RunningApplication{42, QStringLiteral("org.example.Editor"), 7};
    }
    void start() { service.start(&app, &app, &app); }
};

}  // namespace mendo
