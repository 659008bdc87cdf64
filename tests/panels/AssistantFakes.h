#pragma once

#include "engine/AccountCredentials.h"
#include "engine/PasteboardService.h"
#include "fakes/FakeFocusedTextAccess.h"
#include "fakes/FakeKeyboardEvents.h"
#include "fakes/FakeLanguageDetector.h"
#include "fakes/FakePanelDesktop.h"
#include "fakes/FakePasteboard.h"
#include "fakes/RecordingClipboardSuppression.h"
#include "panels/AssistantPanelController.h"
#include "ui/FloatingPanel.h"

#include <QNetworkAccessManager>

namespace mendo {

// The assistant's controller over fakes, for tests of what opens it. Its
// service address leads nowhere: a reply it is asked for fails, which
// changes nothing of what was opened.
struct AssistantFakes {
    FakePanelDesktop desktop;
    FakePasteboard pasteboard;
    FakeKeyboardEvents keyboard;
    RecordingClipboardSuppression history;
    FakeFocusedTextAccess focusedText;
    FakeLanguageDetector languages;
    QNetworkAccessManager network;
    DefaultsAccountCredentials credentials;
    PasteboardService service;
    AssistantPanelController controller;

    AssistantFakes(Clock& clock, UserDefaults& defaults, FocusService& focus)
        : credentials(defaults)
        , service(clock, pasteboard, keyboard, focus, history, focusedText)
        , controller({ clock, defaults, desktop, pasteboard, focus, service, QStringLiteral("http://127.0.0.1:9/macos/ai"),
              credentials, network, languages, nullptr })
    {
    }

    // What is open: "chat [context]", "reply [message] styleId", or "" for
    // nothing.
    QString shown() const
    {
        if (!controller.panel() || !controller.panel()->isVisible())
            return {};
        const AssistantPanelState& state = controller.state();
        if (state.isReplyMode)
            return QStringLiteral("reply [%1] %2").arg(state.contextText, state.selectedReplyStyleID);
        return QStringLiteral("chat [%1]").arg(state.contextText);
    }
};

}  // namespace mendo
