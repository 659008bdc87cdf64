#pragma once

// The clipboard window's controller over fakes: the real history, notes
// store, focus memory and pasteboard service on an in-memory desktop where
// the user's editor is in front.

#include "clipboard/ClipboardHistoryService.h"
#include "clipboard/ClipboardNotesService.h"
#include "clipboard/ClipboardPanelController.h"
#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "fakes/FakeFocusedTextAccess.h"
#include "fakes/FakeGlobalInputMonitor.h"
#include "fakes/FakeKeyboardEvents.h"
#include "fakes/FakePanelDesktop.h"
#include "fakes/FakePasteboard.h"
#include "fakes/FakeWorkspace.h"

#include <QTemporaryDir>
#include <memory>

namespace mendo {

struct ClipboardPanelRig {
    static inline const RunningApplication editor { 100, QStringLiteral("org.example.Editor"), 0x110001 };
    static inline const RunningApplication other { 200, QStringLiteral("org.example.Other"), 0x210001 };
    static inline const RunningApplication self { 50, QStringLiteral("ai.mendo.MendoAI"), 0x510001 };

    ClipboardPanelRig(Clock& clock, UserDefaults& defaults)
        : history(clock, pasteboard, defaults)
        , service(clock, pasteboard, keyboard, focus, history, focused)
        , notes(dir.path() + QStringLiteral("/notes"), defaults, clock)
        , controller(std::make_unique<ClipboardPanelController>(ClipboardPanelController::Services {
              clock, defaults, desktop, globalInput, focus, service, pasteboard, history, notes }))
    {
        workspace.applications = { self, editor, other };
        workspace.bringToFront(editor);
    }

    FakePanelDesktop desktop;
    FakeGlobalInputMonitor globalInput;
    FakeWorkspace workspace;
    FakePasteboard pasteboard;
    FakeKeyboardEvents keyboard;
    FakeFocusedTextAccess focused;
    FocusService focus { workspace };
    ClipboardHistoryService history;
    PasteboardService service;
    QTemporaryDir dir;
    ClipboardNotesService notes;
    std::unique_ptr<ClipboardPanelController> controller;
};

}  // namespace mendo
