#pragma once

// The main road's services on the real desktop: X11 for the clipboard, keys
// and windows, AT-SPI for other applications' text, on the real clock.

#include "base/Clock.h"
#include "engine/AccessibilityTextReader.h"
#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "fakes/RecordingClipboardSuppression.h"
#include "platform/atspi/AtspiAccessibility.h"
#include "platform/x11/ApplicationIdResolver.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11KeyboardEvents.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Workspace.h"

namespace mendo::testing {

struct AtspiTextRoad {
    RealClock clock;
    AtspiAccessibility ax { clock };
    x11::X11Connection connection;
    X11Pasteboard pasteboard { connection };
    X11KeyboardEvents keyboard;
    ApplicationIdResolver resolver { QStringList {} };
    X11Workspace workspace { connection, resolver };
    FocusService focus { workspace, ax };
    AccessibilityTextReader reader { ax, workspace, focus };
    RecordingClipboardSuppression history;
    PasteboardService service { clock, pasteboard, keyboard, focus, history, reader };
};

}  // namespace mendo::testing
