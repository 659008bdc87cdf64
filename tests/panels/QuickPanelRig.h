#pragma once

// The quick panel's controller over fakes: the application state in memory
// and an in-memory desktop where the user's editor is in front.

#include "app/AppStateRig.h"
#include "engine/FocusService.h"
#include "fakes/FakeGlobalInputMonitor.h"
#include "fakes/FakeHotkeyRegistrar.h"
#include "fakes/FakePanelDesktop.h"
#include "fakes/FakeWorkspace.h"
#include "panels/QuickPanelController.h"

#include <functional>

namespace mendo {

struct QuickPanelRig {
    static inline const RunningApplication editor { 100, QStringLiteral("org.example.Editor"), 11 };
    static inline const RunningApplication other { 200, QStringLiteral("org.example.Other"), 21 };

    AppStateRig app;
    FakePanelDesktop desktop;
    FakeGlobalInputMonitor globalInput;
    FakeWorkspace workspace;
    FocusService focus { workspace };
    FakeHotkeyRegistrar hotkeys;
    int hotkeysInstalled = hotkeys.install();
    QuickPanelController quick { { desktop, globalInput, app.defaults, focus, app.focused, &hotkeys } };

    explicit QuickPanelRig(const std::function<void(MendoSettings&)>& prepare = {})
        : app(prepare)
    {
        workspace.applications = { editor, other };
        workspace.front = editor;
    }
};

}  // namespace mendo
